// Pictures are shown turned as their EXIF orientation says, like the camera's thumbnails; the focus and
// face frames turn with them.
#include "exif/ui/ExifOrientation.h"
#include "exif/ui/TfrmViewer.h"

#include "base/TSetup.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// A picture as the sensor saw it: left half red, right half blue, 80 by 40; with an APP1 "Exif"
// segment whose IFD0 holds only the orientation tag (0x0112), as cameras write it.
QByteArray sensorPicture(quint16 orientation)
{
    QImage image(80, 40, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);

    QByteArray tiff("MM\0\x2a\0\0\0\x08", 8);
    const auto be16 = [&tiff](quint16 v) { tiff.append(char(v >> 8)).append(char(v & 0xff)); };
    be16(1); // one entry
    be16(0x0112);
    be16(3); // SHORT
    tiff.append(QByteArray("\0\0\0\x01", 4)); // count
    be16(orientation);
    be16(0);
    tiff.append(QByteArray(4, '\0')); // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xff\xe1", 2);
    const quint16 length = quint16(payload.size() + 2);
    app1.append(char(length >> 8)).append(char(length & 0xff)).append(payload);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

bool reddish(QRgb c)
{
    return qRed(c) > 180 && qBlue(c) < 80;
}

} // namespace

TEST(ExifOrientationTest, ViewerTurnsThePictureAsItsOrientationSays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TSetup setup;
    for (const bool fastDecoder : { true, false }) {
        setup.UseJpegDec = fastDecoder;
        TfrmViewer viewer(&setup);
        struct Case
        {
            quint16 orientation;
            QSize size;
            QPoint red; // a point inside the red half once turned
        };
        // 1 upright, 3 half a turn, 6 "rotate 90 CW", 8 "rotate 270 CW".
        for (const Case& c : { Case { 1, { 80, 40 }, { 10, 20 } }, Case { 3, { 80, 40 }, { 70, 20 } },
                 Case { 6, { 40, 80 }, { 20, 10 } }, Case { 8, { 40, 80 }, { 20, 70 } } }) {
            const QString path = dir.filePath(QStringLiteral("P%1.JPG").arg(c.orientation));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(sensorPicture(c.orientation));
            file.close();

            ASSERT_TRUE(viewer.LoadImage(path)) << c.orientation;
            const QImage& shown = viewer.Picture();
            EXPECT_EQ(shown.size(), c.size) << c.orientation;
            EXPECT_TRUE(reddish(shown.pixel(c.red))) << c.orientation << " fast " << fastDecoder;
        }
    }
}

TEST(ExifOrientationTest, FramesTurnWithThePicture)
{
    using T = QImageIOHandler;
    const QSize stored(80, 40);
    const TExifRect frame { 10, 5, 30, 15 };
    EXPECT_EQ(ExifOrientation::Apply(frame, stored, T::TransformationNone), frame);
    EXPECT_EQ(
        ExifOrientation::Apply(frame, stored, T::TransformationRotate180), (TExifRect { 50, 25, 70, 35 }));
    // A quarter turn clockwise: the top edge becomes the right one.
    EXPECT_EQ(
        ExifOrientation::Apply(frame, stored, T::TransformationRotate90), (TExifRect { 25, 10, 35, 30 }));
    EXPECT_EQ(
        ExifOrientation::Apply(frame, stored, T::TransformationRotate270), (TExifRect { 5, 50, 15, 70 }));
    // No frame stays no frame.
    EXPECT_EQ(ExifOrientation::Apply(TExifRect(), stored, T::TransformationRotate90), TExifRect());

    // The frame lands on the same picture pixels as the image turn moves them.
    QImage marked(stored, QImage::Format_RGB32);
    marked.fill(Qt::black);
    marked.setPixel(frame.Left, frame.Top, qRgb(255, 255, 255));
    for (const T::Transformations turn : { T::TransformationRotate90, T::TransformationRotate270,
             T::TransformationMirror, T::TransformationFlipAndRotate90 }) {
        const QImage turned = ExifOrientation::Apply(marked, turn);
        const TExifRect moved = ExifOrientation::Apply(frame, stored, turn);
        // The marked pixel is one of the four corner pixels of the turned frame.
        int hits = 0;
        for (const QPoint p : { QPoint(moved.Left, moved.Top), QPoint(moved.Right - 1, moved.Top),
                 QPoint(moved.Left, moved.Bottom - 1), QPoint(moved.Right - 1, moved.Bottom - 1) })
            hits += qRed(turned.pixel(p)) == 255;
        EXPECT_EQ(hits, 1) << int(turn);
    }
    EXPECT_EQ(ExifOrientation::Read(QByteArray("not a picture")), T::TransformationNone);
}
