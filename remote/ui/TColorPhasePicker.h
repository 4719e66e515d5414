#pragma once

#include <QWidget>

// The colour phase hue picker: a hue band from 0 to 360 degrees with a marker. Dragging or the
// arrow keys (steps of 20) move the hue; letting go of the mouse or a key reports it, so the camera
// is told once per choice.
class TColorPhasePicker : public QWidget
{
    Q_OBJECT

public:
    explicit TColorPhasePicker(QWidget* parent = nullptr);

    int Hue() const { return m_hue; }
    void SetHue(int hue);
    QSize sizeHint() const override;

signals:
    // After the mouse button or a key was released on the picker.
    void HueReleased(int hue);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QRect bandRect() const;
    int hueAt(int x) const;

    int m_hue = 120;
    bool m_dragging = false;
};
