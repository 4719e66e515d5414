#pragma once

#include "exif/TExifReader.h"

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>

// Cameras store a picture as the sensor saw it and name in the EXIF orientation how to turn it for
// viewing; the camera's own thumbnails are already turned. The viewer turns the decoded picture and
// the frames drawn on it the same way, so it agrees with the grid.
namespace ExifOrientation {

// The turn the picture's EXIF orientation asks for; none when there is no or an unknown one.
QImageIOHandler::Transformations Read(const QByteArray& jpeg);

QImage Apply(const QImage& picture, QImageIOHandler::Transformations turn);

// A rectangle in the pixels of the unturned picture of size source, in those of the turned one.
TExifRect Apply(const TExifRect& rect, const QSize& source, QImageIOHandler::Transformations turn);

} // namespace ExifOrientation
