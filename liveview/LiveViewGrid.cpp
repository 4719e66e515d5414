#include "liveview/LiveViewGrid.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace LiveViewGrid {

int nearest(double value)
{
    // The default floating-point rounding mode rounds halves to even.
    return int(std::nearbyint(value));
}

namespace {

// The tick half-length for the i-th mark: long at tens, medium at other fives, short otherwise.
int tickLength(int i, int longHalf)
{
    const int medium = nearest(longHalf / 2.0);
    if (i % 10 == 0)
        return longHalf;
    if (i % 5 == 0)
        return medium;
    return nearest(medium / 2.0);
}

void scaleCross(std::vector<QLine>& out, int w, int h)
{
    const int cx = w / 2;
    const int cy = h / 2;
    out.emplace_back(0, cy, w, cy);
    out.emplace_back(cx, 0, cx, h);
    const int longHalf = nearest(w * 0.0535 / 2);
    for (int i = 1; i <= 27; ++i) {
        const int t = tickLength(i, longHalf);
        for (int sign : { -1, 1 }) {
            const int x = std::clamp(nearest(cx + sign * i * w / 54.0), 0, w);
            out.emplace_back(x, cy - t, x, cy + t);
        }
    }
    for (int i = 1; i <= 20; ++i) {
        const int t = tickLength(i, longHalf);
        for (int sign : { -1, 1 }) {
            const int y = std::clamp(nearest(cy + sign * i * h / 40.0), 0, h);
            out.emplace_back(cx - t, y, cx + t, y);
        }
    }
}

} // namespace

std::vector<QLine> lines(int kind, int w, int h)
{
    std::vector<QLine> out;
    if (w <= 0 || h <= 0)
        return out;
    const auto horizontal = [&](int y) { out.emplace_back(0, y, w, y); };
    const auto vertical = [&](int x) { out.emplace_back(x, 0, x, h); };
    switch (kind) {
    case 1:
        for (int y : { h / 4, h / 2, h - h / 4 })
            horizontal(y);
        for (double f : { 0.125, 0.3125, 0.5, 0.6875, 0.875 })
            vertical(nearest(w * f));
        break;
    case 2:
        horizontal(nearest(h * 0.38));
        horizontal(nearest(h * 0.62));
        vertical(nearest(w * 0.375));
        vertical(nearest(w * 0.625));
        break;
    case 3:
        scaleCross(out, w, h);
        break;
    case 4:
        out.emplace_back(0, 0, w, h);
        out.emplace_back(0, h, w, 0);
        break;
    case 5:
        horizontal(nearest(h * 0.12));
        horizontal(nearest(h * 0.88));
        break;
    default:
        break;
    }
    return out;
}

void draw(QImage& picture, int kind, const QColor& color)
{
    const std::vector<QLine> all = lines(kind, picture.width(), picture.height());
    if (all.empty())
        return;
    QPainter painter(&picture);
    // The square cap lights a line's end point as well, so ticks reach both their ends.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap));
    painter.drawLines(all.data(), int(all.size()));
}

QColor colorFromSetting(quint32 value)
{
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

quint32 settingFromColor(const QColor& color)
{
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

} // namespace LiveViewGrid
