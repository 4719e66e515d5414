#pragma once

#include <QWidget>

class QToolButton;

// The panel under the photo import page's columns: import the selection into a folder the user
// picks, or into the download folder.
class TPhotoImportActionPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TPhotoImportActionPanel(QWidget* parent = nullptr);

    QToolButton* btnExecuteImport;
    QToolButton* btnHomeImport;
};
