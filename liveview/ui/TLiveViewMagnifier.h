#pragma once

#include <QImage>
#include <QWidget>

// The picture control of the live view: shows its bitmap stretched to its own size without smoothing.
// The panel sizes it to the bitmap times the magnification and moves it inside its clipping panel.
class TLiveViewPicture : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveViewPicture(QWidget* parent = nullptr);

    const QImage& Bitmap() const { return m_bitmap; }
    void SetBitmap(const QImage& bitmap);

signals:
    // In the control's own pixels.
    void Clicked(const QPoint& position, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage m_bitmap;
};

// The navigator of the magnifier: a small frame with a draggable section standing for the part of the
// picture that is visible.
class TLiveViewNavigator : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveViewNavigator(QWidget* parent = nullptr);

    // Resets the section to the top left with the navigator's size divided by the factor.
    void SetMagnification(int factor);
    int Magnification() const { return m_factor; }
    QRect Section() const { return m_section; }
    // Moves the section, limited to the navigator, as a drag would.
    void MoveSection(const QPoint& topLeft);

signals:
    void SectionMoved(const QRect& section);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect m_section;
    QPoint m_grab;
    bool m_dragging = false;
    int m_factor = 1;
};
