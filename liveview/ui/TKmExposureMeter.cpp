#include "liveview/ui/TKmExposureMeter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

TKmExposureMeter::TKmExposureMeter(QWidget* parent)
    : QWidget(parent)
    , m_lit(ExposureMeterScale::litSegments(0))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    resize(200, 48);
}

void TKmExposureMeter::SetAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

void TKmExposureMeter::SetBarGraphHeight(int height)
{
    if (height == m_barGraphHeight)
        return;
    m_barGraphHeight = height;
    update();
}

void TKmExposureMeter::SetBarGraphWidth(int width)
{
    if (width == m_barGraphWidth)
        return;
    m_barGraphWidth = width;
    update();
}

void TKmExposureMeter::SetFullStopColor(const QColor& color)
{
    if (color == m_fullStopColor)
        return;
    m_fullStopColor = color;
    update();
}

void TKmExposureMeter::SetPartStopColor(const QColor& color)
{
    if (color == m_partStopColor)
        return;
    m_partStopColor = color;
    update();
}

void TKmExposureMeter::SetPositionColor(const QColor& color)
{
    if (color == m_positionColor)
        return;
    m_positionColor = color;
    update();
}

void TKmExposureMeter::SetPosition(int position)
{
    if (position == m_position)
        return;
    m_position = position;
    m_lit = ExposureMeterScale::litSegments(position);
    update();
}

void TKmExposureMeter::SetShowScaleCaption(bool show)
{
    if (show == m_showScaleCaption)
        return;
    m_showScaleCaption = show;
    update();
}

int TKmExposureMeter::scaleCentre() const
{
    if (m_alignment & Qt::AlignLeft)
        return m_barGraphWidth / 2;
    if (m_alignment & Qt::AlignRight)
        return width() - m_barGraphWidth / 2;
    return width() / 2;
}

void TKmExposureMeter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(backgroundRole()));

    const auto [s, g, e, f] = ExposureMeterScale::geometry(m_barGraphWidth, m_barGraphHeight);
    const int t = m_showScaleCaption ? height() / 2 : g + 2;
    const int x0 = ExposureMeterScale::startX(scaleCentre(), m_barGraphWidth, s);
    const int step = s + g;

    // Texts only where there is a size to give the font; a tiny scale draws its marks alone.
    const bool texts = f > 0;
    if (texts) {
        QFont caption(QStringLiteral("Courier New"));
        caption.setStyleHint(QFont::TypeWriter);
        caption.setBold(true);
        caption.setPointSize(f);
        painter.setFont(caption);
    }
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(m_fullStopColor);
    // Texts beside the scale are centred vertically on the middle of the part-stop marks.
    auto drawBeside = [&](int x, const QString& text) {
        const int middle = t + e / 2;
        const QRect cell(x, middle - metrics.height() / 2, metrics.horizontalAdvance(text), metrics.height());
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    if (texts)
        drawBeside(x0 - metrics.horizontalAdvance(QStringLiteral("-")) - g, QStringLiteral("-"));

    for (int i = 0; i < ExposureMeterScale::kSegments; ++i) {
        const int x = x0 + i * step;
        if (i == ExposureMeterScale::kCentre) {
            const QPolygon triangle({ QPoint(x, t - g), QPoint(x + s, t - g), QPoint(x + s / 2, t + f - g) });
            painter.setBrush(m_fullStopColor);
            painter.drawPolygon(triangle);
        } else if (i % 3 == 0) {
            painter.fillRect(QRect(x, t - g, s, f), m_fullStopColor);
        } else {
            painter.fillRect(QRect(x, t, s, e), m_partStopColor);
        }
    }
    if (texts)
        drawBeside(x0 + ExposureMeterScale::kSegments * step, QStringLiteral("+"));

    for (int i = 0; i < ExposureMeterScale::kSegments; ++i) {
        if (m_lit[size_t(i)])
            painter.fillRect(QRect(x0 + i * step, t + f, s, e), m_positionColor);
    }

    if (texts && m_showScaleCaption) {
        const int middle = x0 + ExposureMeterScale::kCentre * step + s / 2;
        const QString zero = QStringLiteral("0");
        const int w = metrics.horizontalAdvance(zero);
        painter.drawText(QRect(middle - w / 2, t - g - metrics.height(), w, metrics.height()),
            Qt::AlignHCenter | Qt::AlignBottom, zero);
    }
}
