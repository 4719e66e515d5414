#include "LiveViewTestSupport.h"

#include "liveview/JpegDec.h"
#include "sim/SimJpeg.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace lvtest;

namespace {

const uchar* bytes(const QByteArray& b)
{
    return reinterpret_cast<const uchar*>(b.constData());
}

// Largest and mean channel difference of two pictures of the same size.
struct Difference
{
    int max = 0;
    double mean = 0;
};

Difference compare(const QImage& a, const QImage& b)
{
    Difference d;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int diffs[] = { std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                std::abs(qBlue(p) - qBlue(q)) };
            for (int v : diffs) {
                d.max = std::max(d.max, v);
                sum += v;
            }
        }
    }
    d.mean = sum / (3.0 * a.width() * a.height());
    return d;
}

// Position of the frame header's precision byte.
qsizetype sofAt(const QByteArray& jpeg)
{
    const qsizetype at = jpeg.indexOf(QByteArray::fromHex("FFC0"));
    return at < 0 ? -1 : at + 4;
}

QByteArray fromSim(int width, int height)
{
    camsim::SimJpeg sim;
    const auto frame = sim.liveFrame(width, height, 3, 1.0);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

bool opaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}

} // namespace

TEST(JpegDecTest, DecodesSubsampledFramesLikeTheLibrary)
{
    const QImage source = gradient(160, 120);
    for (int sampling : { TJSAMP_420, TJSAMP_422, TJSAMP_444, TJSAMP_440 }) {
        const QByteArray jpeg = encode(source, sampling);
        ASSERT_TRUE(checkJpegMarkers(bytes(jpeg), jpeg.size()).accepted) << sampling;
        const QImage fast = DecodeJpegToBitmap(jpeg);
        QString error;
        const QImage general = decodeJpegWithLibrary(jpeg, &error);
        ASSERT_FALSE(fast.isNull()) << sampling;
        ASSERT_FALSE(general.isNull()) << error.toStdString();
        EXPECT_EQ(fast.format(), QImage::Format_RGB32);
        EXPECT_EQ(fast.size(), QSize(160, 120));
        const Difference d = compare(fast, general);
        EXPECT_LE(d.max, 24) << sampling;
        EXPECT_LT(d.mean, 1.5) << sampling;
        EXPECT_TRUE(opaque(fast));
    }
}

TEST(JpegDecTest, SimulatorFramesDecode)
{
    const QByteArray jpeg = fromSim(640, 480);
    ASSERT_TRUE(jpeg.startsWith(QByteArray::fromHex("FFD8FFDB")));
    const QImage image = DecodeJpegToBitmap(jpeg);
    ASSERT_EQ(image.size(), QSize(640, 480));
    const Difference d = compare(image, decodeJpegWithLibrary(jpeg));
    EXPECT_LT(d.mean, 1.5);
}

TEST(JpegDecTest, WidthsThatAreNoMultipleOf16KeepTheFrameSize)
{
    const QImage source = gradient(100, 75);
    const QByteArray jpeg = encode(source, TJSAMP_420);
    const QImage image = DecodeJpegToBitmap(jpeg);
    ASSERT_EQ(image.size(), QSize(100, 75));
    // The last column is picture, not padding.
    const QRgb right = image.pixel(99, 37);
    EXPECT_GT(qRed(right), 200);
    const Difference d = compare(image, decodeJpegWithLibrary(jpeg));
    EXPECT_LT(d.mean, 1.5);
}

TEST(JpegDecTest, GreyscaleDecodesToGrey)
{
    const QByteArray jpeg = encode(gradient(64, 48), TJSAMP_GRAY);
    const JpegDecCheck check = checkJpegMarkers(bytes(jpeg), jpeg.size());
    EXPECT_TRUE(check.accepted);
    EXPECT_EQ(check.components, 1);
    const QImage image = DecodeJpegToBitmap(jpeg);
    ASSERT_FALSE(image.isNull());
    const QRgb p = image.pixel(40, 30);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));
}

TEST(JpegDecTest, RejectsWhatTheFastDecoderDoesNotTake)
{
    const QImage source = gradient(96, 64);
    const QByteArray good = encode(source, TJSAMP_420);

    const QByteArray progressive = encode(source, TJSAMP_420, 90, TJFLAG_PROGRESSIVE);
    EXPECT_FALSE(checkJpegMarkers(bytes(progressive), progressive.size()).accepted);
    EXPECT_TRUE(DecodeJpegToBitmap(progressive).isNull());
    EXPECT_FALSE(decodeJpegWithLibrary(progressive).isNull()); // the general decoder takes it

    const QByteArray fourOneOne = encode(source, TJSAMP_411);
    const JpegDecCheck check411 = checkJpegMarkers(bytes(fourOneOne), fourOneOne.size());
    EXPECT_FALSE(check411.accepted);
    EXPECT_TRUE(check411.reason.contains("sampling")) << check411.reason.toStdString();
    EXPECT_TRUE(DecodeJpegToBitmap(fourOneOne).isNull());

    const QByteArray noEoi = good.left(good.size() - 2);
    EXPECT_FALSE(checkJpegMarkers(bytes(noEoi), noEoi.size()).accepted);
    EXPECT_TRUE(DecodeJpegToBitmap(noEoi).isNull());
    QString error;
    EXPECT_TRUE(decodeJpegWithLibrary(good.left(good.size() / 2), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    for (qsizetype cut : { qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(20), good.size() / 2 })
        EXPECT_TRUE(DecodeJpegToBitmap(good.left(cut)).isNull()) << cut;
    EXPECT_TRUE(DecodeJpegToBitmap(QByteArray(1, '\0') + good).isNull()); // no FF D8 at the start
    EXPECT_TRUE(DecodeJpegToBitmap(nullptr, 0).isNull());

    // Four components (CMYK).
    QImage cmykSource(32, 32, QImage::Format_RGB32);
    cmykSource.fill(Qt::gray);
    tjhandle h = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(
        tjCompress2(h, cmykSource.constBits(), 32, 128, 32, TJPF_CMYK, &out, &size, TJSAMP_444, 90, 0), 0);
    const QByteArray cmyk(reinterpret_cast<const char*>(out), qsizetype(size));
    tjFree(out);
    tjDestroy(h);
    EXPECT_FALSE(checkJpegMarkers(bytes(cmyk), cmyk.size()).accepted);

    // A second scan after the first (marker other than RST or EOI in the scan).
    QByteArray twoScans = noEoi + QByteArray::fromHex("FFDA0008010100003F00") + QByteArray::fromHex("FFD9");
    EXPECT_FALSE(checkJpegMarkers(bytes(twoScans), twoScans.size()).accepted);
}

TEST(JpegDecTest, FrameHeaderRules)
{
    const QByteArray good = encode(gradient(48, 32), TJSAMP_420);
    const qsizetype at = sofAt(good);
    ASSERT_GT(at, 0);

    QByteArray twelve = good;
    twelve[at] = 12;
    const JpegDecCheck check12 = checkJpegMarkers(bytes(twelve), twelve.size());
    EXPECT_TRUE(check12.accepted);
    EXPECT_EQ(check12.precision, 12);

    QByteArray sixteen = good;
    sixteen[at] = 16;
    EXPECT_FALSE(checkJpegMarkers(bytes(sixteen), sixteen.size()).accepted);

    QByteArray extended = good; // SOF1, extended sequential
    extended[at - 3] = char(0xC1);
    EXPECT_TRUE(checkJpegMarkers(bytes(extended), extended.size()).accepted);

    QByteArray lossless = good;
    lossless[at - 3] = char(0xC3);
    EXPECT_FALSE(checkJpegMarkers(bytes(lossless), lossless.size()).accepted);

    // Luma sampled 2x2, chroma 1x1 is half-both; luma 4x2 against 1x1 is a quarter: rejected.
    const qsizetype lumaSampling = at + 7;
    ASSERT_EQ(quint8(good[lumaSampling]), 0x22);
    QByteArray quarter = good;
    quarter[lumaSampling] = 0x42;
    EXPECT_FALSE(checkJpegMarkers(bytes(quarter), quarter.size()).accepted);
    QByteArray zero = good;
    zero[lumaSampling] = 0x02;
    EXPECT_FALSE(checkJpegMarkers(bytes(zero), zero.size()).accepted);

    QByteArray noSize = good;
    noSize[at + 1] = 0;
    noSize[at + 2] = 0;
    EXPECT_FALSE(checkJpegMarkers(bytes(noSize), noSize.size()).accepted);

    // A segment length running past the end.
    QByteArray longSegment = good;
    longSegment[at - 2] = char(0x7F);
    EXPECT_FALSE(checkJpegMarkers(bytes(longSegment), longSegment.size()).accepted);

    // Application and comment segments and fill bytes are skipped.
    QByteArray withApp = good.left(2) + QByteArray::fromHex("FFE10004ABCDFFFE0003") + "c"
        + QByteArray::fromHex("FF") + good.mid(2);
    EXPECT_TRUE(checkJpegMarkers(bytes(withApp), withApp.size()).accepted);
    EXPECT_FALSE(DecodeJpegToBitmap(withApp).isNull());
}

TEST(JpegDecTest, RestartMarkersAreAccepted)
{
    const QImage source = gradient(64, 64);
    const QByteArray jpeg = encode(source, TJSAMP_420);
    // TurboJPEG writes no restart markers, so the scan is made up: a DRI segment in the header and
    // RST0 in the entropy data are walked over, stuffed bytes are data.
    QByteArray fake
        = jpeg.left(jpeg.indexOf(QByteArray::fromHex("FFDA"))) + QByteArray::fromHex("FFDD00040010");
    fake += QByteArray::fromHex("FFDA000C03010002110311003F00") + "data" + QByteArray::fromHex("FFD0")
        + "more" + QByteArray::fromHex("FF00FFD9");
    EXPECT_TRUE(checkJpegMarkers(bytes(fake), fake.size()).accepted);
}

TEST(JpegDecTest, ThumbnailsKeepTheAspectRatio)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, int w, int h) {
        const std::string jpeg = camsim::SimJpeg::still(w, h, 7, 80);
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(jpeg.data(), qsizetype(jpeg.size()));
        return file.fileName();
    };
    const QString landscape = write("landscape.jpg", 4000, 3000);
    const QString portrait = write("portrait.jpg", 3000, 4000);
    EXPECT_EQ(LoadThumbnailBitmap(landscape, 160).size(), QSize(160, 120));
    EXPECT_EQ(LoadThumbnailBitmap(portrait, 160).size(), QSize(120, 160));
    EXPECT_TRUE(LoadThumbnailBitmap(dir.filePath("missing.jpg"), 160).isNull());

    const QByteArray thumb = LoadThumbnailJpeg(landscape, 160);
    ASSERT_FALSE(thumb.isEmpty());
    EXPECT_EQ(DecodeJpegToBitmap(thumb).size(), QSize(160, 120));
    EXPECT_TRUE(LoadThumbnailJpeg(dir.filePath("missing.jpg"), 160).isEmpty());
}

// A few hundred bytes claiming 65000 x 65000 pixels: refused before the picture's memory is taken,
// by both decoders (anyone on the camera's network can send such a frame to the live view port).
TEST(JpegDecTest, HeaderClaimingMorePixelsThanTheDataHoldsIsRefused)
{
    const QByteArray good = encode(gradient(48, 32), TJSAMP_420);
    const qsizetype at = sofAt(good);
    ASSERT_GT(at, 0);
    QByteArray huge = good;
    for (qsizetype i : { at + 1, at + 3 }) {
        huge[i] = char(0xFD);
        huge[i + 1] = char(0xE8);
    }
    EXPECT_TRUE(checkJpegMarkers(bytes(huge), huge.size()).accepted); // the markers themselves are fine
    EXPECT_TRUE(DecodeJpegToBitmap(huge).isNull());
    QString error;
    EXPECT_TRUE(decodeJpegWithLibrary(huge, &error).isNull());
    EXPECT_TRUE(error.contains(QLatin1String("claimed"))) << error.toStdString();
    EXPECT_FALSE(DecodeJpegToBitmap(good).isNull());
}
