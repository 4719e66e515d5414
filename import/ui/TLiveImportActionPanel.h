#pragma once

#include <QPixmap>
#include <QWidget>

class QToolButton;

// The panel under the live import page's columns: the switch that sends new pictures to the viewer
// at once.
class TLiveImportActionPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveImportActionPanel(QWidget* parent = nullptr);

    // The switch's picture for its state.
    void ShowAutoView(bool on);
    // A screen with a picture on it; filled when new pictures go to the viewer by themselves.
    static QPixmap AutoViewPicture(bool on);

    QToolButton* btnAutoView;
};
