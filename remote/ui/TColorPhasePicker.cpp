#include "remote/ui/TColorPhasePicker.h"

#include "base/ui/DarkStyle.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kMarkerHalf = 5;
constexpr int kHueStep = 20;

} // namespace

TColorPhasePicker::TColorPhasePicker(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("cpiColorPhase"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(22);
    setCursor(Qt::PointingHandCursor);
}

QSize TColorPhasePicker::sizeHint() const
{
    return QSize(180, 24);
}

void TColorPhasePicker::SetHue(int hue)
{
    hue = qBound(0, hue, 360);
    if (hue == m_hue)
        return;
    m_hue = hue;
    update();
}

QRect TColorPhasePicker::bandRect() const
{
    return rect().adjusted(kMarkerHalf, 4, -kMarkerHalf - 1, -6);
}

int TColorPhasePicker::hueAt(int x) const
{
    const QRect band = bandRect();
    if (band.width() <= 0)
        return m_hue;
    const int offset = qBound(0, x - band.left(), band.width());
    return qRound(offset * 360.0 / band.width());
}

void TColorPhasePicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), DarkStyle::Panel());
    const QRect band = bandRect();
    QLinearGradient gradient(band.topLeft(), band.topRight());
    for (int h = 0; h <= 360; h += 30)
        gradient.setColorAt(
            h / 360.0, QColor::fromHsv(h % 360, isEnabled() ? 200 : 60, isEnabled() ? 230 : 120));
    p.fillRect(band, gradient);
    p.setPen(QPen(DarkStyle::Control(), 1));
    p.drawRect(band.adjusted(0, 0, -1, -1));
    // The marker below the band points at the hue.
    const int x = band.left() + qRound(m_hue * band.width() / 360.0);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(hasFocus() ? DarkStyle::Active() : DarkStyle::Text());
    p.drawPolygon(QPolygonF({ QPointF(x, band.bottom() - 2), QPointF(x - kMarkerHalf, height() - 1),
        QPointF(x + kMarkerHalf, height() - 1) }));
    p.setPen(QPen(DarkStyle::Active(), 1));
    p.drawLine(QPointF(x, band.top()), QPointF(x, band.bottom()));
}

void TColorPhasePicker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    SetHue(hueAt(event->position().toPoint().x()));
}

void TColorPhasePicker::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        SetHue(hueAt(event->position().toPoint().x()));
}

void TColorPhasePicker::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    SetHue(hueAt(event->position().toPoint().x()));
    emit HueReleased(m_hue);
}

void TColorPhasePicker::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        SetHue(m_hue - kHueStep);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        SetHue(m_hue + kHueStep);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TColorPhasePicker::keyReleaseEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (!event->isAutoRepeat()
        && (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)) {
        emit HueReleased(m_hue);
        return;
    }
    QWidget::keyReleaseEvent(event);
}
