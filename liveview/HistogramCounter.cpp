#include "liveview/HistogramCounter.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

quint32 largest(const HistogramCounter::Counts& counts)
{
    return *std::max_element(counts.begin(), counts.end());
}

double mean(const HistogramCounter::Counts& counts, double pixels)
{
    double sum = 0;
    for (int i = 0; i < 256; ++i)
        sum += double(i) * counts[size_t(i)];
    return sum / pixels / 255.0;
}

} // namespace

void HistogramCounter::Clear()
{
    m_composite.fill(0);
    m_red.fill(0);
    m_green.fill(0);
    m_blue.fill(0);
    m_maxComposite = m_maxRed = m_maxGreen = m_maxBlue = m_maxColor = 0;
    m_redMean = m_greenMean = m_blueMean = m_maxMean = 0;
}

void HistogramCounter::Count(const QImage& image, SummaryHistogram summary)
{
    Clear();
    const int width = image.width();
    const int height = image.height();
    if (width <= 0 || height <= 0)
        return;
    const bool lightness = summary == shLightness;
    auto add = [&](uint r, uint g, uint b) {
        ++m_red[r];
        ++m_green[g];
        ++m_blue[b];
        const uint c = lightness ? (std::max({ r, g, b }) + std::min({ r, g, b })) / 2 : (r + g + b) / 3;
        ++m_composite[c];
    };
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        for (int y = 0; y < height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x)
                add(uint(qRed(line[x])), uint(qGreen(line[x])), uint(qBlue(line[x])));
        }
        break;
    case QImage::Format_RGB888:
        for (int y = 0; y < height; ++y) {
            const uchar* p = image.constScanLine(y);
            for (int x = 0; x < width; ++x, p += 3)
                add(p[0], p[1], p[2]);
        }
        break;
    case QImage::Format_BGR888:
        for (int y = 0; y < height; ++y) {
            const uchar* p = image.constScanLine(y);
            for (int x = 0; x < width; ++x, p += 3)
                add(p[2], p[1], p[0]);
        }
        break;
    case QImage::Format_Grayscale8:
    case QImage::Format_Indexed8:
        for (int y = 0; y < height; ++y) {
            const uchar* p = image.constScanLine(y);
            for (int x = 0; x < width; ++x)
                ++m_composite[p[x]];
        }
        break;
    default:
        break;
    }
    takeMaxima();
    const double pixels = double(width) * double(height);
    m_redMean = mean(m_red, pixels);
    m_greenMean = mean(m_green, pixels);
    m_blueMean = mean(m_blue, pixels);
    m_maxMean = std::max({ m_redMean, m_greenMean, m_blueMean });
}

void HistogramCounter::takeMaxima()
{
    m_maxComposite = largest(m_composite);
    m_maxRed = largest(m_red);
    m_maxGreen = largest(m_green);
    m_maxBlue = largest(m_blue);
    m_maxColor = std::max({ m_maxRed, m_maxGreen, m_maxBlue });
}

double HistogramCounter::LRTimelapseValue() const
{
    if (m_maxColor == 0)
        return 0;
    double sum = 0;
    for (int i = 0; i < 256; ++i) {
        const quint32 m = std::max({ m_red[size_t(i)], m_green[size_t(i)], m_blue[size_t(i)] });
        sum += std::pow(double(i + 1), double(i + 1) / 256.0) / 256.0 * m;
    }
    return sum;
}

HistogramCounter::Layout HistogramCounter::layout(int margin, int width, int height)
{
    const int m = margin, w = width, h = height;
    const int a = w + m + 1;
    const int b = h + m + 1;
    Layout l;
    // QRect's right and bottom are inclusive; the areas end one pixel before the exclusive edge.
    l.composite = QRect(QPoint(m, m), QPoint(a - 1, b - 1));
    l.red = QRect(QPoint(a + m, m), QPoint(2 * w + 2 * m + 2 - 1, b - 1));
    l.green = QRect(QPoint(m, b + m), QPoint(a - 1, 2 * h + 2 * m + 2 - 1));
    l.blue = QRect(QPoint(a + m, b + m), QPoint(2 * w + 2 * m + 2 - 1, 2 * h + 2 * m + 2 - 1));
    l.controlSize = QSize(2 * w + 3 * m + 2, 2 * h + 3 * m + 2);
    return l;
}

int HistogramCounter::barOffset(int value, int width)
{
    return int(std::round(double(value) * width / 256.0)); // halves away from zero
}

int HistogramCounter::barHeight(quint32 count, quint32 largestCount, int height)
{
    if (largestCount == 0)
        return 0;
    return int(std::nearbyint(double(height) * count / largestCount)); // halves to even
}

int HistogramCounter::penWidth(int width)
{
    return int(std::ceil(width / 256.0));
}
