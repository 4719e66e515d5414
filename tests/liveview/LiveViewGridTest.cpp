#include "liveview/LiveViewGrid.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QRgb kLine = qRgb(255, 255, 255);

QImage drawn(int kind, int width = 640, int height = 480)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    LiveViewGrid::draw(picture, kind, QColor(kLine));
    return picture;
}

// The columns of row y that carry the line colour.
std::vector<int> litColumns(const QImage& picture, int y)
{
    std::vector<int> columns;
    for (int x = 0; x < picture.width(); ++x)
        if (picture.pixel(x, y) == kLine)
            columns.push_back(x);
    return columns;
}

std::vector<int> litRows(const QImage& picture, int x)
{
    std::vector<int> rows;
    for (int y = 0; y < picture.height(); ++y)
        if (picture.pixel(x, y) == kLine)
            rows.push_back(y);
    return rows;
}

} // namespace

// Kind 1 gives square cells on 4:3, kind 2 the golden section (480 x 0.38 = 182.4, x 0.62 = 297.6),
// kind 5 the cinema frame: each line exactly one pixel wide where the picture's positions say.
TEST(LiveViewGridTest, LinesSitOnTheirPixelsOn640x480)
{
    const QImage one = drawn(1);
    EXPECT_EQ(litColumns(one, 10), (std::vector<int> { 80, 200, 320, 440, 560 }));
    EXPECT_EQ(litRows(one, 10), (std::vector<int> { 120, 240, 360 }));

    const QImage two = drawn(2);
    EXPECT_EQ(litColumns(two, 10), (std::vector<int> { 240, 400 }));
    EXPECT_EQ(litRows(two, 10), (std::vector<int> { 182, 298 }));

    const QImage five = drawn(5);
    EXPECT_TRUE(litColumns(five, 10).empty());
    EXPECT_EQ(litRows(five, 10), (std::vector<int> { 58, 422 })); // 57.6 and 422.4
}

TEST(LiveViewGridTest, OffAndUnknownKindsLeaveThePictureAlone)
{
    for (int kind : { 0, 6, -1 }) {
        const QImage picture = drawn(kind);
        for (int y : { 0, 120, 240, 479 })
            EXPECT_TRUE(litColumns(picture, y).empty()) << "kind " << kind << " row " << y;
    }
    QImage empty;
    LiveViewGrid::draw(empty, 1, Qt::white); // no picture yet: nothing to draw, no crash
    EXPECT_TRUE(LiveViewGrid::lines(3, 0, 480).empty());
}

// The scale cross: long ticks (17 = 17.12 rounded) at every tenth mark, medium ones at the other fifths
// (8.5 rounds to even: 8), short ones (4) elsewhere, all within the picture even at its edges.
TEST(LiveViewGridTest, ScaleCrossTicksHaveThreeLengthsAndStayInside)
{
    const QImage cross = drawn(3);
    const auto halfLength = [&](int x) {
        const std::vector<int> rows = litRows(cross, x);
        return rows.empty() ? -1 : 240 - rows.front();
    };
    EXPECT_EQ(halfLength(439), 17); // i = 10: 320 + 118.52
    EXPECT_EQ(halfLength(201), 17); // i = 10 to the left: 201.48
    EXPECT_EQ(halfLength(379), 8); // i = 5: 379.26
    EXPECT_EQ(halfLength(344), 4); // i = 2: 343.70
    EXPECT_EQ(litRows(cross, 340), (std::vector<int> { 240 })); // between the ticks: only the line
    const auto vertical = litColumns(cross, 240 - 120); // j = 10 upwards: 240 - 120
    EXPECT_EQ(vertical.front(), 320 - 17);
    EXPECT_EQ(vertical.back(), 320 + 17);

    for (const QLine& line : LiveViewGrid::lines(3, 641, 479)) {
        EXPECT_GE(std::min(line.x1(), line.x2()), 0);
        EXPECT_LE(std::max(line.x1(), line.x2()), 641);
        EXPECT_GE(std::min(line.y1(), line.y2()), 0);
        EXPECT_LE(std::max(line.y1(), line.y2()), 479);
    }
}

TEST(LiveViewGridTest, DiagonalsRunCornerToCorner)
{
    const QImage diagonals = drawn(4, 64, 48);
    EXPECT_EQ(diagonals.pixel(0, 0), kLine);
    EXPECT_EQ(diagonals.pixel(63, 47), kLine);
    EXPECT_EQ(diagonals.pixel(8, 6), kLine);
    EXPECT_EQ(diagonals.pixel(8, 42), kLine); // 48 - 8 x 0.75
    EXPECT_EQ(diagonals.pixel(56, 6), kLine);
    EXPECT_NE(diagonals.pixel(32, 10), kLine);
}

// Stored colours are Windows colour values: red is 0x0000FF.
TEST(LiveViewGridTest, SettingColourIsBlueGreenRed)
{
    EXPECT_EQ(LiveViewGrid::colorFromSetting(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(LiveViewGrid::colorFromSetting(0xC0C0C0), QColor(192, 192, 192));
    EXPECT_EQ(LiveViewGrid::settingFromColor(QColor(0, 128, 255)), 0xFF8000u);
}
