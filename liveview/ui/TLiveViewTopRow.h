#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class TKmExposureMeter;
class TLiveViewScreen;

// The row above the live view picture: the toggles of the histogram and of the grid chooser on the
// left, the exposure meter in the middle, the focal length on the right.
class TLiveViewTopRow : public QWidget
{
    Q_OBJECT

public:
    // The toggles show and hide the screen's histogram and grid chooser.
    explicit TLiveViewTopRow(TLiveViewScreen& screen, QWidget* parent = nullptr);

    void ToggleHistogram();
    void ToggleGridChooser();
    // The arrows as the screen shows histogram and grid chooser now.
    void UpdateArrows();

    QToolButton* lblHistogram = nullptr;
    QToolButton* lblGridLines = nullptr;
    TKmExposureMeter* KmExposureMeter = nullptr;
    QLabel* lblFocalLength = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateTexts();
    void layoutRow();

    TLiveViewScreen& m_screen;
};
