#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

// The picture control of the live view: shows its bitmap stretched to its own size without smoothing.
// The panel sizes it to the bitmap times the magnification and moves it inside its clipping panel.
class TLiveViewPicture : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveViewPicture(QWidget* parent = nullptr);

    const QImage& Bitmap() const { return m_bitmap; }
    void SetBitmap(const QImage& bitmap);

    // Paints so far and their summed time; OnPainted, when set, is told after each paint (measurements).
    quint64 PaintCount() const { return m_paints; }
    qint64 PaintNs() const { return m_paintNs; }
    std::function<void()> OnPainted;

signals:
    // In the control's own pixels.
    void Clicked(const QPoint& position, Qt::MouseButton button);
    void Released(const QPoint& position, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_bitmap;
    quint64 m_paints = 0;
    qint64 m_paintNs = 0;
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
