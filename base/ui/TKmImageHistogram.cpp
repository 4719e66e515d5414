#include "base/ui/TKmImageHistogram.h"

#include "liveview/JpegDec.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

TKmImageHistogram::TKmImageHistogram(QWidget* parent)
    : QWidget(parent)
{
    // Every pixel is painted, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    changeGeometry();
    resize(m_layout.controlSize);
}

void TKmImageHistogram::SetMargin(quint8 margin)
{
    if (margin == m_margin)
        return;
    m_margin = margin;
    changeGeometry();
}

void TKmImageHistogram::SetHistogramHeight(quint16 height)
{
    if (height == m_histogramHeight)
        return;
    m_histogramHeight = height;
    changeGeometry();
}

void TKmImageHistogram::SetHistogramWidth(quint16 width)
{
    if (width == m_histogramWidth)
        return;
    m_histogramWidth = width;
    changeGeometry();
}

void TKmImageHistogram::SetHistogramColor(const QColor& color)
{
    if (color == m_histogramColor)
        return;
    m_histogramColor = color;
    if (!m_calculateOnly)
        update();
}

void TKmImageHistogram::SetJpegFileName(const QString& fileName)
{
    m_bitmap = QImage();
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile()) {
        Clear();
        return;
    }
    const QImage image = loadJpeg(fileName);
    if (image.isNull()) {
        Clear();
        return;
    }
    m_jpegFileName = fileName;
    count(image);
}

void TKmImageHistogram::SetBitmap(const QImage& bitmap)
{
    m_jpegFileName.clear();
    if (bitmap.isNull()) {
        Clear();
        return;
    }
    m_bitmap = bitmap;
    count(bitmap);
}

void TKmImageHistogram::SetCalculateOnly(bool calculateOnly)
{
    if (calculateOnly == m_calculateOnly)
        return;
    m_calculateOnly = calculateOnly;
    if (m_calculateOnly)
        hide();
    else
        update();
}

void TKmImageHistogram::Clear()
{
    m_jpegFileName.clear();
    m_bitmap = QImage();
    m_counter.Clear();
    m_barsDirty = true;
    if (!m_calculateOnly)
        update();
}

QSize TKmImageHistogram::sizeHint() const
{
    return m_layout.controlSize;
}

void TKmImageHistogram::count(const QImage& image)
{
    m_counter.Count(image, m_summary);
    m_barsDirty = true;
    if (!m_calculateOnly)
        update();
}

QImage TKmImageHistogram::loadJpeg(const QString& fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (!m_fastCalculation)
        return decodeJpegWithLibrary(bytes);
    // The thumbnail loader decodes at one eighth size with the library's fastest settings but lets a
    // file that was cut short through, grey-filled; the marker walk refuses those first and gives the
    // size, so asking for exactly the eighth (the library rounds up) hands back the decoded pixels.
    const JpegDecCheck check
        = checkJpegMarkers(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
    if (!check.accepted)
        return {};
    return LoadThumbnailBitmap(fileName, (std::max(check.width, check.height) + 7) / 8);
}

void TKmImageHistogram::changeGeometry()
{
    m_layout = HistogramCounter::layout(m_margin, m_histogramWidth, m_histogramHeight);
    m_penWidth = HistogramCounter::penWidth(m_histogramWidth);
    for (int i = 0; i < 256; ++i)
        m_offsets[size_t(i)] = HistogramCounter::barOffset(i, m_histogramWidth);
    m_barsDirty = true;
    if (!m_calculateOnly)
        update();
}

void TKmImageHistogram::buildBars()
{
    const std::array<const HistogramCounter::Counts*, 4> counts
        = { &m_counter.Composite(), &m_counter.Red(), &m_counter.Green(), &m_counter.Blue() };
    const std::array<quint32, 4> largest
        = { m_counter.MaxComposite(), m_counter.MaxRed(), m_counter.MaxGreen(), m_counter.MaxBlue() };
    const std::array<QRect, 4> areas = { m_layout.composite, m_layout.red, m_layout.green, m_layout.blue };
    for (size_t k = 0; k < 4; ++k) {
        std::vector<QRect>& bars = m_bars[k];
        bars.clear(); // keeps the capacity: no allocation per frame
        if (largest[k] == 0)
            continue;
        // A bar of height n covers the n rows above the area's exclusive bottom edge, as a line drawn
        // up from the last row without its end point.
        const int bottom = areas[k].bottom() + 1;
        for (size_t i = 0; i < 256; ++i) {
            const int height = HistogramCounter::barHeight((*counts[k])[i], largest[k], m_histogramHeight);
            if (height > 0)
                bars.emplace_back(areas[k].left() + m_offsets[i], bottom - height, m_penWidth, height);
        }
    }
    m_barsDirty = false;
}

void TKmImageHistogram::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(backgroundRole()));
    if (m_calculateOnly)
        return;
    for (const QRect& area : { m_layout.composite, m_layout.red, m_layout.green, m_layout.blue })
        painter.fillRect(area, m_histogramColor);
    if (m_barsDirty)
        buildBars();
    static const std::array<QColor, 4> colors
        = { QColor(Qt::white), QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255) };
    painter.setPen(Qt::NoPen);
    for (size_t k = 0; k < 4; ++k) {
        if (m_bars[k].empty())
            continue;
        painter.setBrush(colors[k]);
        painter.drawRects(m_bars[k].data(), int(m_bars[k].size()));
    }
}
