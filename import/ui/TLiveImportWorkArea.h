#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;
class TKmImageGrid;
class TLiveImportInfoPanel;

// The live import page's work area: the target folder row, the notices, the grid of the pictures
// copied with the information panel beside it, and the queue line with the busy picture and the
// kinds of the last shot.
class TLiveImportWorkArea : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveImportWorkArea(QWidget* parent = nullptr);

    QLabel* lblTargetDir;
    QLineEdit* edtTargetDir;
    QToolButton* btnTargetDir;
    QLabel* lblNotice;
    QLabel* lblDebug;
    QLabel* lblWrongDirectory;
    QWidget* pnlThumbnailsArea;
    TKmImageGrid* igrThumbnails;
    TLiveImportInfoPanel* pnlInfo;
    QLabel* lblQueue;
    QLabel* imgLoading;
    QLabel* lblRAW;
    QLabel* lblJPEG;
};
