#include "exif/ui/ExifOrientation.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>

namespace ExifOrientation {

QImageIOHandler::Transformations Read(const QByteArray& jpeg)
{
    QByteArray copy = jpeg; // QBuffer wants a non-const array; shared, not copied
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImageIOHandler::TransformationNone;
    QImageReader reader(&buffer, "jpeg");
    return reader.canRead() ? reader.transformation() : QImageIOHandler::TransformationNone;
}

QImage Apply(const QImage& picture, QImageIOHandler::Transformations turn)
{
    // The EXIF turns are a mirror and/or a flip, then a quarter turn clockwise.
    QImage turned = picture.mirrored(turn.testFlag(QImageIOHandler::TransformationMirror),
        turn.testFlag(QImageIOHandler::TransformationFlip));
    if (turn.testFlag(QImageIOHandler::TransformationRotate90))
        turned = turned.transformed(QTransform().rotate(90));
    return turned;
}

TExifRect Apply(const TExifRect& rect, const QSize& source, QImageIOHandler::Transformations turn)
{
    if (rect == TExifRect())
        return rect;
    // On pixel edges: a rectangle covers [Left, Right) and [Top, Bottom).
    int left = rect.Left, right = rect.Right, top = rect.Top, bottom = rect.Bottom;
    if (turn.testFlag(QImageIOHandler::TransformationMirror)) {
        left = source.width() - rect.Right;
        right = source.width() - rect.Left;
    }
    if (turn.testFlag(QImageIOHandler::TransformationFlip)) {
        top = source.height() - rect.Bottom;
        bottom = source.height() - rect.Top;
    }
    if (!turn.testFlag(QImageIOHandler::TransformationRotate90))
        return { left, top, right, bottom };
    // Clockwise: a point (x, y) goes to (height - y, x).
    return { source.height() - bottom, left, source.height() - top, right };
}

} // namespace ExifOrientation
