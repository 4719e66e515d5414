#include "liveview/HistogramCounter.h"
#include "liveview/ExposureMeterScale.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(HistogramCounterTest, UniformGrey)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(128, 128, 128));
    HistogramCounter h;
    h.Count(image);
    EXPECT_EQ(h.Composite()[128], 1200u);
    EXPECT_EQ(h.Red()[128], 1200u);
    EXPECT_EQ(h.Green()[128], 1200u);
    EXPECT_EQ(h.Blue()[128], 1200u);
    EXPECT_EQ(h.MaxComposite(), 1200u);
    EXPECT_EQ(h.MaxColor(), 1200u);
    EXPECT_NEAR(h.RedMean(), 128.0 / 255, 1e-12);
    EXPECT_NEAR(h.MaxMean(), 128.0 / 255, 1e-12);
}

TEST(HistogramCounterTest, PureRedInBothSummaries)
{
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    HistogramCounter h;
    h.Count(image, HistogramCounter::shComposite);
    EXPECT_EQ(h.Red()[255], 100u);
    EXPECT_EQ(h.Green()[0], 100u);
    EXPECT_EQ(h.Blue()[0], 100u);
    EXPECT_EQ(h.Composite()[85], 100u);
    EXPECT_DOUBLE_EQ(h.RedMean(), 1.0);
    EXPECT_DOUBLE_EQ(h.GreenMean(), 0.0);
    EXPECT_DOUBLE_EQ(h.MaxMean(), 1.0);
    h.Count(image, HistogramCounter::shLightness);
    EXPECT_EQ(h.Composite()[127], 100u);
    EXPECT_EQ(h.Composite()[85], 0u); // counting starts from zero each time

    // The same picture as 24-bit RGB counts the same.
    h.Count(image.convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(h.Red()[255], 100u);
    EXPECT_EQ(h.Composite()[85], 100u);
}

TEST(HistogramCounterTest, MixedPictureAndMeans)
{
    // Half black, half white: composite split, means one half.
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int x = 0; x < 4; ++x)
        image.setPixel(x, 1, qRgb(255, 255, 255));
    HistogramCounter h;
    h.Count(image);
    EXPECT_EQ(h.Composite()[0], 4u);
    EXPECT_EQ(h.Composite()[255], 4u);
    EXPECT_DOUBLE_EQ(h.BlueMean(), 0.5);
}

TEST(HistogramCounterTest, EightBitAndOtherFormats)
{
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(200);
    HistogramCounter h;
    h.Count(grey);
    EXPECT_EQ(h.Composite()[200], 64u);
    EXPECT_EQ(h.MaxComposite(), 64u);
    EXPECT_EQ(h.MaxColor(), 0u);
    EXPECT_DOUBLE_EQ(h.MaxMean(), 0.0);
    EXPECT_DOUBLE_EQ(h.LRTimelapseValue(), 0.0);

    QImage other(8, 8, QImage::Format_RGB16);
    other.fill(Qt::white);
    h.Count(other);
    EXPECT_EQ(h.MaxComposite(), 0u);

    h.Count(QImage());
    EXPECT_EQ(h.MaxComposite(), 0u);
    EXPECT_DOUBLE_EQ(h.RedMean(), 0.0);
}

TEST(HistogramCounterTest, LRTimelapseValue)
{
    QImage white(20, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    HistogramCounter h;
    h.Count(white);
    EXPECT_NEAR(h.LRTimelapseValue(), 200.0, 1e-9);

    QImage black(20, 10, QImage::Format_RGB32);
    black.fill(Qt::black);
    h.Count(black);
    EXPECT_NEAR(h.LRTimelapseValue(), 200.0 / 256.0, 1e-12); // weight 1^(1/256) / 256
}

TEST(HistogramCounterTest, DrawingGeometry)
{
    const HistogramCounter::Layout l = HistogramCounter::layout(2, 128, 75);
    EXPECT_EQ(l.composite, QRect(2, 2, 129, 76));
    EXPECT_EQ(l.red.left(), 133);
    EXPECT_EQ(l.red.right() + 1, 262);
    EXPECT_EQ(l.green.top(), 80);
    EXPECT_EQ(l.blue.bottom() + 1, 156);
    EXPECT_EQ(l.controlSize, QSize(264, 158));
    EXPECT_EQ(HistogramCounter::layout(10, 128, 75).controlSize, QSize(288, 182));

    EXPECT_EQ(HistogramCounter::penWidth(128), 1);
    EXPECT_EQ(HistogramCounter::penWidth(300), 2);
    EXPECT_EQ(HistogramCounter::barOffset(1, 128), 1); // 0.5 rounds away from zero
    EXPECT_EQ(HistogramCounter::barOffset(255, 128), 128);
    EXPECT_EQ(HistogramCounter::barHeight(1, 2, 75), 38); // 37.5 rounds to even
    EXPECT_EQ(HistogramCounter::barHeight(1, 6, 75), 12); // 12.5 rounds to even
    EXPECT_EQ(HistogramCounter::barHeight(5, 0, 75), 0);
}

TEST(ExposureMeterScaleTest, LitSegmentsFormABarFromTheCentre)
{
    const auto lit = [](int position) {
        std::vector<int> on;
        const auto segments = ExposureMeterScale::litSegments(position);
        for (int i = 0; i < ExposureMeterScale::kSegments; ++i)
            if (segments[size_t(i)])
                on.push_back(i);
        return on;
    };
    EXPECT_EQ(lit(0), (std::vector<int> { 9 }));
    EXPECT_EQ(lit(-10), (std::vector<int> { 6, 7, 8, 9 }));
    EXPECT_EQ(lit(5), (std::vector<int> { 9, 10 }));
    EXPECT_EQ(lit(-50), (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
    EXPECT_EQ(lit(30).size(), 10u);
}

TEST(ExposureMeterScaleTest, Geometry)
{
    const auto g = ExposureMeterScale::geometry(140, 14);
    EXPECT_EQ(g.s, 6);
    EXPECT_EQ(g.g, 2);
    EXPECT_EQ(g.e, 3);
    EXPECT_EQ(g.f, 7);
    EXPECT_EQ(ExposureMeterScale::startX(90, 140, g.s), 17);
}
