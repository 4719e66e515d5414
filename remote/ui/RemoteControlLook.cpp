#include "remote/ui/RemoteControlLook.h"

#include <QComboBox>
#include <QPainter>
#include <QPainterPath>

namespace {

QPen pen(const QColor& colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A focus frame's four corners inside r.
void corners(QPainter& p, const QRectF& r, qreal arm)
{
    const QPointF tl = r.topLeft(), tr = r.topRight(), bl = r.bottomLeft(), br = r.bottomRight();
    p.drawPolyline(QPolygonF({ tl + QPointF(0, arm), tl, tl + QPointF(arm, 0) }));
    p.drawPolyline(QPolygonF({ tr - QPointF(arm, 0), tr, tr + QPointF(0, arm) }));
    p.drawPolyline(QPolygonF({ bl - QPointF(0, arm), bl, bl + QPointF(arm, 0) }));
    p.drawPolyline(QPolygonF({ br - QPointF(arm, 0), br, br - QPointF(0, arm) }));
}

void arrowDown(QPainter& p, qreal x, qreal top, qreal bottom, qreal head)
{
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    p.drawPolyline(QPolygonF(
        { QPointF(x - head, bottom - head), QPointF(x, bottom), QPointF(x + head, bottom - head) }));
}

// A small switch in the lower right: lit when on.
void switchMark(QPainter& p, bool on, const QColor& colour)
{
    const QRectF track(17, 22, 14, 8);
    p.setPen(pen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(track, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(0, 255, 0) : colour);
    p.drawEllipse(QPointF(on ? 27 : 21, 26), 2.6, 2.6);
}

} // namespace

namespace RemoteControlLook {

QPixmap LargeGlyph(int index, const QColor& colour)
{
    QPixmap pixmap = canvas(LargeSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen(colour, 3));
    const QPointF centre(32, 32);
    switch (index) {
    case 1: // the release ring with a clock hand: the self-timer waits
        p.drawEllipse(centre, 26, 26);
        p.drawEllipse(centre, 17, 17);
        p.drawLine(centre, QPointF(32, 20));
        p.drawLine(centre, QPointF(41, 32));
        break;
    case 2: // stop: a square in the ring, red
        p.drawEllipse(centre, 26, 26);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 40));
        p.drawRoundedRect(QRectF(20, 20, 24, 24), 3, 3);
        break;
    case 3: // movie camera
    case 4: // recording: the same with a red dot
        p.drawRoundedRect(QRectF(8, 20, 34, 26), 4, 4);
        p.drawPolygon(QPolygonF({ QPointF(42, 29), QPointF(56, 21), QPointF(56, 45), QPointF(42, 37) }));
        if (index == 4) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(230, 30, 30));
            p.drawEllipse(QPointF(25, 33), 7, 7);
        }
        break;
    default: // the release ring with its button
        p.drawEllipse(centre, 26, 26);
        p.setBrush(colour);
        p.drawEllipse(centre, 15, 15);
        break;
    }
    return pixmap;
}

QPixmap SmallGlyph(int index, const QColor& colour)
{
    QPixmap pixmap = canvas(SmallSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen(colour, 2));
    switch (index) {
    case 0: // focus point: frame corners with a cross
        corners(p, QRectF(5, 5, 22, 22), 6);
        p.drawLine(QPointF(16, 12), QPointF(16, 20));
        p.drawLine(QPointF(12, 16), QPointF(20, 16));
        break;
    case 1: // release: a finger's tap on a button
        p.drawEllipse(QPointF(16, 19), 9, 9);
        p.setBrush(colour);
        p.drawEllipse(QPointF(16, 19), 4, 4);
        p.setBrush(Qt::NoBrush);
        arrowDown(p, 16, 1, 8, 3);
        break;
    case 2: // focus point set: green frame
        p.setPen(pen(QColor(0, 255, 0), 2));
        corners(p, QRectF(5, 5, 22, 22), 6);
        p.drawEllipse(QPointF(16, 16), 3, 3);
        break;
    case 4: // automatic download off / on
    case 5:
        arrowDown(p, 11, 3, 19, 4);
        p.drawLine(QPointF(3, 22), QPointF(3, 27));
        p.drawLine(QPointF(3, 27), QPointF(15, 27));
        switchMark(p, index == 5, colour);
        break;
    case 7: // automatic preview off / on
    case 8:
        p.drawRect(QRectF(2, 5, 18, 14));
        p.drawPolyline(QPolygonF({ QPointF(4, 17), QPointF(9, 11), QPointF(13, 15), QPointF(18, 9) }));
        switchMark(p, index == 8, colour);
        break;
    case 9: // last shot as preview
        p.drawRect(QRectF(4, 7, 24, 18));
        p.drawPolyline(QPolygonF({ QPointF(7, 22), QPointF(13, 14), QPointF(18, 19), QPointF(25, 11) }));
        break;
    case 10: // download the last shot
        arrowDown(p, 16, 3, 21, 5);
        p.drawPolyline(QPolygonF({ QPointF(5, 20), QPointF(5, 27), QPointF(27, 27), QPointF(27, 20) }));
        break;
    case 11: // zoom wide: arrows outwards from a small frame
    case 12: // zoom tele: a large frame with a small one inside
        if (index == 11) {
            p.drawRect(QRectF(11, 11, 10, 10));
            p.drawLine(QPointF(3, 3), QPointF(9, 9));
            p.drawLine(QPointF(29, 29), QPointF(23, 23));
        } else {
            p.drawRect(QRectF(4, 4, 24, 24));
            p.drawRect(QRectF(12, 12, 8, 8));
        }
        break;
    case 13: // previous page
        p.drawPolyline(QPolygonF({ QPointF(20, 7), QPointF(11, 16), QPointF(20, 25) }));
        break;
    case 14: // next page
        p.drawPolyline(QPolygonF({ QPointF(12, 7), QPointF(21, 16), QPointF(12, 25) }));
        break;
    default:
        break;
    }
    return pixmap;
}

void NarrowChoice(QComboBox* choice, int characters)
{
    choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    choice->setMinimumContentsLength(characters);
}

void FillChoice(QComboBox* choice, const QStringList& items, int current)
{
    QStringList now;
    for (int i = 0; i < choice->count(); ++i)
        now << choice->itemText(i);
    if (now != items) {
        choice->clear();
        choice->addItems(items);
    }
    choice->setCurrentIndex(current);
}

} // namespace RemoteControlLook
