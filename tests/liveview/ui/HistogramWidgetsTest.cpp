#include "base/ui/TKmImageHistogram.h"
#include "liveview/JpegDec.h"
#include "liveview/ui/TKmExposureMeter.h"

#include "common/TestPaths.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>

namespace {

QImage grabbed(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

quint64 total(const HistogramCounter::Counts& counts)
{
    return std::accumulate(counts.begin(), counts.end(), quint64(0));
}

// The rows of column x, from the top of the area down to its last row, that show colour.
int columnHeight(const QImage& image, int x, const QRect& area, QRgb colour)
{
    int rows = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        rows += image.pixel(x, y) == colour ? 1 : 0;
    return rows;
}

const QRgb kBackdrop = qRgb(41, 41, 41);
const QRgb kWhite = qRgb(255, 255, 255);

class HistogramDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QPalette palette = histogram.palette();
        palette.setColor(histogram.backgroundRole(), QColor(29, 29, 29));
        histogram.setPalette(palette);
    }

    TKmImageHistogram histogram;
};

} // namespace

// Two grey values, 64 twice and 192 once: full height for 64, 75 * 1/2 = 37.5 rounded to even for
// 192; each bar stands on the area's last row and the area's top row stays free.
TEST_F(HistogramDrawing, BarsStandOnTheLastRowWithProportionalHeights)
{
    QImage picture(3, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(64, 64, 64));
    picture.setPixel(1, 0, qRgb(64, 64, 64));
    picture.setPixel(2, 0, qRgb(192, 192, 192));
    histogram.SetBitmap(picture);
    ASSERT_EQ(histogram.size(), QSize(2 * 128 + 3 * 10 + 2, 2 * 75 + 3 * 10 + 2));

    const QImage image = grabbed(histogram);
    const auto& layout = HistogramCounter::layout(10, 128, 75);
    struct Area
    {
        QRect rect;
        QRgb colour;
    };
    for (const Area& area : { Area { layout.composite, kWhite }, Area { layout.red, qRgb(255, 0, 0) },
             Area { layout.green, qRgb(0, 255, 0) }, Area { layout.blue, qRgb(0, 0, 255) } }) {
        SCOPED_TRACE(area.rect.topLeft().x() * 1000 + area.rect.topLeft().y());
        ASSERT_EQ(area.rect.size(), QSize(129, 76));
        const int x64 = area.rect.left() + 32;
        const int x192 = area.rect.left() + 96;
        EXPECT_EQ(columnHeight(image, x64, area.rect, area.colour), 75);
        EXPECT_EQ(image.pixel(x64, area.rect.bottom()), area.colour);
        EXPECT_EQ(image.pixel(x64, area.rect.top()), kBackdrop);
        EXPECT_EQ(columnHeight(image, x192, area.rect, area.colour), 38);
        EXPECT_EQ(image.pixel(x192, area.rect.bottom() - 37), area.colour);
        EXPECT_EQ(image.pixel(x192, area.rect.bottom() - 38), kBackdrop);
        // Nothing for values that did not occur.
        EXPECT_EQ(columnHeight(image, x64 + 1, area.rect, area.colour), 0);
        EXPECT_EQ(columnHeight(image, area.rect.left(), area.rect, area.colour), 0);
    }
    // Gaps around and between the areas keep the panel's colour.
    EXPECT_EQ(image.pixel(5, 5), qRgb(29, 29, 29));
    EXPECT_EQ(image.pixel(layout.composite.right() + 5, 50), qRgb(29, 29, 29));
    EXPECT_EQ(image.pixel(50, layout.composite.bottom() + 5), qRgb(29, 29, 29));
}

// Pure red: the red bar at 255 takes the area's last column, green and blue stand at 0, the composite
// at 85 (mean of the channels) or 127 (lightness). An 8-bit picture fills the composite area only.
TEST_F(HistogramDrawing, ChannelsSummariesAndGreyPictures)
{
    histogram.SetMargin(2); // as the live view sets it
    const auto& layout = HistogramCounter::layout(2, 128, 75);
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));

    histogram.SetBitmap(red);
    QImage image = grabbed(histogram);
    EXPECT_EQ(columnHeight(image, layout.red.right(), layout.red, qRgb(255, 0, 0)), 75);
    EXPECT_EQ(columnHeight(image, layout.green.left(), layout.green, qRgb(0, 255, 0)), 75);
    EXPECT_EQ(columnHeight(image, layout.blue.left(), layout.blue, qRgb(0, 0, 255)), 75);
    EXPECT_EQ(columnHeight(image, layout.composite.left() + HistogramCounter::barOffset(85, 128),
                  layout.composite, kWhite),
        75);
    EXPECT_DOUBLE_EQ(histogram.RedMean(), 1.0);
    EXPECT_DOUBLE_EQ(histogram.MaxMean(), 1.0);

    histogram.SetSummaryHistogram(HistogramCounter::shLightness);
    histogram.SetBitmap(red);
    image = grabbed(histogram);
    EXPECT_EQ(columnHeight(image, layout.composite.left() + HistogramCounter::barOffset(127, 128),
                  layout.composite, kWhite),
        75);
    EXPECT_EQ(columnHeight(image, layout.composite.left() + HistogramCounter::barOffset(85, 128),
                  layout.composite, kWhite),
        0);

    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(200);
    histogram.SetBitmap(grey);
    image = grabbed(histogram);
    EXPECT_EQ(columnHeight(image, layout.composite.left() + HistogramCounter::barOffset(200, 128),
                  layout.composite, kWhite),
        75);
    for (const QRect& area : { layout.red, layout.green, layout.blue })
        for (int x = area.left(); x <= area.right(); ++x)
            ASSERT_EQ(columnHeight(image, x, area, kBackdrop), area.height()) << x;

    // A null bitmap clears: empty areas, zero means.
    histogram.SetBitmap(QImage());
    image = grabbed(histogram);
    EXPECT_EQ(columnHeight(image, layout.composite.left() + HistogramCounter::barOffset(200, 128),
                  layout.composite, kBackdrop),
        76);
    EXPECT_EQ(histogram.MaxMean(), 0.0);
}

// A wider histogram moves the areas and widens the pen; the control keeps its size.
TEST_F(HistogramDrawing, GeometryChangesMoveTheAreasNotTheControl)
{
    const QSize initial = histogram.size();
    histogram.SetHistogramWidth(300); // pen width 2
    histogram.SetHistogramHeight(20);
    histogram.resize(2 * 300 + 3 * 10 + 2, 2 * 20 + 3 * 10 + 2);
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.fill(qRgb(128, 128, 128));
    histogram.SetBitmap(picture);
    const auto& layout = HistogramCounter::layout(10, 300, 20);
    const QImage image = grabbed(histogram);
    const int x = layout.blue.left() + HistogramCounter::barOffset(128, 300);
    EXPECT_EQ(columnHeight(image, x, layout.blue, qRgb(0, 0, 255)), 20);
    EXPECT_EQ(columnHeight(image, x + 1, layout.blue, qRgb(0, 0, 255)), 20);
    EXPECT_EQ(columnHeight(image, x + 2, layout.blue, qRgb(0, 0, 255)), 0);

    TKmImageHistogram fresh;
    fresh.SetMargin(2);
    fresh.SetHistogramWidth(200);
    EXPECT_EQ(fresh.size(), initial);
}

TEST_F(HistogramDrawing, CalculateOnlyHidesAndPaintsNoHistogram)
{
    histogram.show();
    histogram.SetCalculateOnly(true);
    EXPECT_TRUE(histogram.isHidden());
    QImage white(8, 8, QImage::Format_RGB32);
    white.fill(qRgb(255, 255, 255));
    histogram.SetBitmap(white);
    // The figures are there...
    EXPECT_DOUBLE_EQ(histogram.LRTimelapseValue(), 64.0);
    EXPECT_DOUBLE_EQ(histogram.MaxMean(), 1.0);
    // ...but only the panel is painted.
    const QImage image = grabbed(histogram);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(29, 29, 29)) << x << "," << y;
}

// A real camera JPEG, 500 x 333: counted whole, or at one eighth (63 x 42, the decoder rounds up)
// with nearly the same means; a missing or broken file leaves nothing from the previous picture.
TEST_F(HistogramDrawing, JpegFileNameExactAndFast)
{
    const QString file = lumivar::test::fixturePath(QStringLiteral("exif/olympus_tg-830_gps.jpg"));
    histogram.SetJpegFileName(file);
    ASSERT_EQ(histogram.JpegFileName(), file);
    EXPECT_TRUE(histogram.Bitmap().isNull());
    EXPECT_EQ(total(histogram.Counter().Red()), 500u * 333u);
    EXPECT_EQ(total(histogram.Counter().Composite()), 500u * 333u);
    const double exactMean = histogram.GreenMean();
    EXPECT_GT(exactMean, 0.05);
    EXPECT_LT(exactMean, 0.95);

    histogram.SetFastCalculation(true);
    histogram.SetJpegFileName(file);
    ASSERT_EQ(histogram.JpegFileName(), file);
    EXPECT_EQ(total(histogram.Counter().Green()), 63u * 42u);
    EXPECT_NEAR(histogram.GreenMean(), exactMean, 0.02);
    // Fast is what the thumbnail path decodes, pixel for pixel.
    TKmImageHistogram reference;
    reference.SetBitmap(LoadThumbnailBitmap(file, 63));
    EXPECT_EQ(histogram.Counter().Blue(), reference.Counter().Blue());

    // Setting a bitmap forgets the file.
    QImage grey(2, 2, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    histogram.SetBitmap(grey);
    EXPECT_TRUE(histogram.JpegFileName().isEmpty());

    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.jpg"));
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    const QByteArray whole = lumivar::test::readFixture(QStringLiteral("exif/olympus_tg-830_gps.jpg"));
    out.write(whole.left(whole.size() * 6 / 10)); // cut in the middle of the picture data
    out.close();
    for (bool fast : { false, true }) {
        histogram.SetFastCalculation(fast);
        for (const QString& name : { broken, dir.filePath(QStringLiteral("missing.jpg")), dir.path() }) {
            histogram.SetJpegFileName(file);
            histogram.SetJpegFileName(name);
            EXPECT_TRUE(histogram.JpegFileName().isEmpty()) << name.toStdString();
            EXPECT_EQ(total(histogram.Counter().Red()), 0u) << name.toStdString();
            EXPECT_EQ(histogram.MaxMean(), 0.0);
        }
    }
}

namespace {

// The live view's meter: 180 x 14, bar 140 x 14 (s 6, g 2, e 3, f 7), centred, no caption, so the
// scale starts at 90 - 3 - 70 = 17 with a segment every 8 pixels and the position bar on rows 11 to 13.
class ExposureMeterDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QPalette palette = meter.palette();
        palette.setColor(meter.backgroundRole(), QColor(41, 41, 41));
        meter.setPalette(palette);
        meter.resize(180, 14);
        meter.SetBarGraphWidth(140);
        meter.SetBarGraphHeight(14);
        meter.SetFullStopColor(QColor(153, 153, 131));
        meter.SetPartStopColor(QColor(101, 101, 82));
        meter.SetShowScaleCaption(false);
    }

    std::vector<int> litFromGrab()
    {
        const QImage image = grabbed(meter);
        std::vector<int> lit;
        for (int i = 0; i < ExposureMeterScale::kSegments; ++i) {
            const int x = 17 + i * 8;
            bool whole = true;
            for (int dx = 0; dx < 6; ++dx)
                for (int y = 11; y <= 13; ++y)
                    whole = whole && image.pixel(x + dx, y) == qRgb(0, 255, 0);
            if (whole)
                lit.push_back(i);
            else
                EXPECT_NE(image.pixel(x + 3, 12), qRgb(0, 255, 0)) << "segment " << i << " partly lit";
        }
        // Nothing of the bar between the segments.
        for (int i = 0; i + 1 < ExposureMeterScale::kSegments; ++i)
            EXPECT_NE(image.pixel(17 + i * 8 + 6, 12), qRgb(0, 255, 0)) << "gap after " << i;
        return lit;
    }

    TKmExposureMeter meter;
};

} // namespace

TEST_F(ExposureMeterDrawing, LitSegmentsFollowThePosition)
{
    EXPECT_EQ(litFromGrab(), std::vector<int>({ 9 }));
    meter.SetPosition(-10);
    EXPECT_EQ(litFromGrab(), std::vector<int>({ 6, 7, 8, 9 }));
    meter.SetPosition(5);
    EXPECT_EQ(litFromGrab(), std::vector<int>({ 9, 10 }));
    meter.SetPosition(0);
    EXPECT_EQ(litFromGrab(), std::vector<int>({ 9 }));
    meter.SetPosition(-50);
    EXPECT_EQ(litFromGrab(), std::vector<int>({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
}

// The marks above the bar: whole stops from t - g = 2 down f rows, thirds on rows t to t + e - 1, the
// centre a triangle pointing down.
TEST_F(ExposureMeterDrawing, ScaleMarks)
{
    const QImage image = grabbed(meter);
    const QRgb full = qRgb(153, 153, 131);
    const QRgb part = qRgb(101, 101, 82);
    const QRgb panel = qRgb(41, 41, 41);
    for (int i : { 0, 3, 6, 12, 15, 18 }) {
        const int x = 17 + i * 8;
        EXPECT_EQ(image.pixel(x, 2), full) << i;
        EXPECT_EQ(image.pixel(x + 5, 8), full) << i;
        EXPECT_EQ(image.pixel(x + 5, 9), panel) << i;
        EXPECT_EQ(image.pixel(x + 6, 5), panel) << i;
    }
    for (int i : { 1, 2, 4, 8, 10, 17 }) {
        const int x = 17 + i * 8;
        EXPECT_EQ(image.pixel(x, 4), part) << i;
        EXPECT_EQ(image.pixel(x + 5, 6), part) << i;
        EXPECT_EQ(image.pixel(x + 2, 3), panel) << i;
        EXPECT_EQ(image.pixel(x + 2, 7), panel) << i;
    }
    const int centre = 17 + 9 * 8;
    EXPECT_EQ(image.pixel(centre + 3, 2), full); // wide at the top
    EXPECT_EQ(image.pixel(centre + 3, 7), full); // the tip
    EXPECT_EQ(image.pixel(centre, 7), panel);
}

// Left and right put the scale's centre half the bar width from that edge (x0 = 70 - 73 and 110 - 73).
TEST_F(ExposureMeterDrawing, Alignment)
{
    const QRgb lime = qRgb(0, 255, 0);
    meter.SetPosition(10); // segments 9 to 12
    meter.SetAlignment(Qt::AlignLeft);
    QImage image = grabbed(meter);
    EXPECT_EQ(image.pixel(-3 + 9 * 8 + 3, 12), lime);
    EXPECT_EQ(image.pixel(-3 + 12 * 8 + 3, 12), lime);
    EXPECT_NE(image.pixel(-3 + 13 * 8 + 3, 12), lime);
    meter.SetAlignment(Qt::AlignRight);
    image = grabbed(meter);
    EXPECT_EQ(image.pixel(37 + 9 * 8 + 3, 12), lime);
    EXPECT_EQ(image.pixel(37 + 12 * 8 + 3, 12), lime);
    EXPECT_NE(image.pixel(-3 + 9 * 8 + 3, 12), lime);
}
