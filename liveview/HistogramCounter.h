#pragma once

#include <QRect>
#include <QtGlobal>

#include <array>

class QImage;

// The counting behind TKmImageHistogram: per-channel value counts of a bitmap, their largest
// counts, channel means and the LRTimelapse brightness figure, plus the geometry the control
// draws with. No drawing here.
class HistogramCounter
{
public:
    enum SummaryHistogram { shComposite, shLightness };
    using Counts = std::array<quint32, 256>;

    // Zeroes everything, then counts. 32-bit RGB and 24-bit images count every channel; 8-bit images
    // (grey or indexed) count each pixel's byte into the composite array only; other formats are not
    // counted. Means are taken whenever the image has pixels.
    void Count(const QImage& image, SummaryHistogram summary = shComposite);
    void Clear();

    const Counts& Composite() const { return m_composite; }
    const Counts& Red() const { return m_red; }
    const Counts& Green() const { return m_green; }
    const Counts& Blue() const { return m_blue; }
    quint32 MaxComposite() const { return m_maxComposite; }
    quint32 MaxRed() const { return m_maxRed; }
    quint32 MaxGreen() const { return m_maxGreen; }
    quint32 MaxBlue() const { return m_maxBlue; }
    quint32 MaxColor() const { return m_maxColor; } // over the three colour arrays

    double RedMean() const { return m_redMean; }
    double GreenMean() const { return m_greenMean; }
    double BlueMean() const { return m_blueMean; }
    double MaxMean() const { return m_maxMean; }
    // Weighted brightness: bright values weigh far more than dark ones; 0 without colour counts.
    double LRTimelapseValue() const;

    // Drawing geometry with margin m, histogram width w and height h: the four areas (right and
    // bottom exclusive in the control's terms, so each is w + 1 by h + 1 pixels), the control's
    // initial size, the x offset of value i within an area, a bar's height and the pen width.
    struct Layout
    {
        QRect composite, red, green, blue;
        QSize controlSize;
    };
    static Layout layout(int margin, int width, int height);
    static int barOffset(int value, int width);
    static int barHeight(quint32 count, quint32 largest, int height);
    static int penWidth(int width);

private:
    void takeMaxima();

    Counts m_composite {}, m_red {}, m_green {}, m_blue {};
    quint32 m_maxComposite = 0, m_maxRed = 0, m_maxGreen = 0, m_maxBlue = 0, m_maxColor = 0;
    double m_redMean = 0, m_greenMean = 0, m_blueMean = 0, m_maxMean = 0;
};
