#include "remote/ui/RemoteReleaseLook.h"

#include "base/ui/DarkStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPen artPen(const QColor& colour, qreal width = 3)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

namespace RemoteReleaseLook {

QPixmap TakeIcon(const QColor& colour)
{
    QPixmap pixmap = canvas(TakeButtonSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(artPen(colour));
    // The camera's top with its shutter button, the body below with the lens.
    p.drawRoundedRect(QRectF(6, 24, 52, 34), 5, 5);
    p.drawRect(QRectF(38, 18, 12, 6));
    p.drawEllipse(QPointF(30, 41), 11, 11);
    p.setBrush(colour);
    p.drawEllipse(QPointF(30, 41), 4, 4);
    // The finger's press onto the shutter button.
    p.setBrush(Qt::NoBrush);
    p.setPen(artPen(colour, 4));
    p.drawLine(QPointF(44, 2), QPointF(44, 12));
    p.drawLine(QPointF(39, 7), QPointF(44, 12));
    p.drawLine(QPointF(49, 7), QPointF(44, 12));
    return pixmap;
}

QPixmap LiveIcon(const QColor& colour)
{
    QPixmap pixmap = canvas(LiveButtonSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(artPen(colour, 2));
    p.drawRoundedRect(QRectF(3, 7, 28, 20), 3, 3);
    p.drawLine(QPointF(12, 31), QPointF(22, 31));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(17, 17), 4.5, 4.5);
    return pixmap;
}

QPixmap CameraPicture(int size)
{
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 200.0, size / 200.0);
    const QColor line = DarkStyle::Dimmed();
    const QColor fill = DarkStyle::Control();
    p.setPen(artPen(line, 3));
    // Tripod legs and head.
    p.drawLine(QPointF(100, 120), QPointF(60, 196));
    p.drawLine(QPointF(100, 120), QPointF(140, 196));
    p.drawLine(QPointF(100, 120), QPointF(100, 192));
    p.setBrush(fill);
    p.drawRect(QRectF(88, 110, 24, 12));
    // Body with its finder hump, grip and lens.
    QPainterPath body;
    body.moveTo(30, 50);
    body.lineTo(78, 50);
    body.lineTo(86, 34);
    body.lineTo(114, 34);
    body.lineTo(122, 50);
    body.lineTo(170, 50);
    body.lineTo(170, 110);
    body.lineTo(30, 110);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRoundedRect(QRectF(34, 54, 18, 52), 6, 6);
    p.setBrush(DarkStyle::Panel());
    p.drawEllipse(QPointF(100, 80), 26, 26);
    p.drawEllipse(QPointF(100, 80), 16, 16);
    p.setBrush(fill);
    p.drawRect(QRectF(140, 42, 16, 8));
    return pixmap;
}

} // namespace RemoteReleaseLook
