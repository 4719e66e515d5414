#include "liveview/ui/TLiveViewMagnifier.h"

#include "base/ui/DarkStyle.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <chrono>

TLiveViewPicture::TLiveViewPicture(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("imgLiveView32"));
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLiveViewPicture::SetBitmap(const QImage& bitmap)
{
    m_bitmap = bitmap;
    update();
}

void TLiveViewPicture::paintEvent(QPaintEvent*)
{
    const auto started = std::chrono::steady_clock::now();
    {
        QPainter painter(this);
        if (m_bitmap.isNull()) {
            painter.fillRect(rect(), DarkStyle::Control());
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.drawImage(rect(), m_bitmap);
        }
    }
    ++m_paints;
    m_paintNs
        += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started)
               .count();
    if (OnPainted)
        OnPainted();
}

void TLiveViewPicture::mousePressEvent(QMouseEvent* event)
{
    emit Clicked(event->position().toPoint(), event->button());
}

void TLiveViewPicture::mouseReleaseEvent(QMouseEvent* event)
{
    emit Released(event->position().toPoint(), event->button());
}

TLiveViewNavigator::TLiveViewNavigator(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlMagnifierControl"));
    setFixedSize(120, 90);
    m_section = rect();
}

void TLiveViewNavigator::SetMagnification(int factor)
{
    m_factor = std::clamp(factor, 1, 4);
    m_section = QRect(0, 0, width() / m_factor, height() / m_factor);
    m_dragging = false;
    setVisible(m_factor > 1);
    update();
}

void TLiveViewNavigator::MoveSection(const QPoint& topLeft)
{
    const int left = std::clamp(topLeft.x(), 0, width() - m_section.width());
    const int top = std::clamp(topLeft.y(), 0, height() - m_section.height());
    m_section.moveTo(left, top);
    update();
    emit SectionMoved(m_section);
}

void TLiveViewNavigator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), DarkStyle::Panel());
    painter.fillRect(m_section, DarkStyle::Text());
}

void TLiveViewNavigator::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (!m_section.contains(at))
        return;
    m_dragging = true;
    m_grab = at - m_section.topLeft();
}

void TLiveViewNavigator::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && m_factor > 1)
        MoveSection(event->position().toPoint() - m_grab);
}

void TLiveViewNavigator::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}
