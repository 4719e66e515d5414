#pragma once

#include "liveview/HistogramCounter.h"

#include <QColor>
#include <QImage>
#include <QLine>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

// Counts a bitmap or a JPEG file and draws four histograms in a 2 x 2 grid: composite top left, red top
// right, green bottom left, blue bottom right. With CalculateOnly it stays hidden and only computes
// (means and the LRTimelapse figure for pictures that are never shown).
//
// The live view sets Bitmap for every frame, so counting only schedules a repaint and the painting
// reuses the layout and the bar positions, which change only with the geometry properties.
class TKmImageHistogram : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(quint8 Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(quint16 HistogramHeight READ HistogramHeight WRITE SetHistogramHeight)
    Q_PROPERTY(quint16 HistogramWidth READ HistogramWidth WRITE SetHistogramWidth)
    Q_PROPERTY(QColor HistogramColor READ HistogramColor WRITE SetHistogramColor)
    Q_PROPERTY(QString JpegFileName READ JpegFileName WRITE SetJpegFileName)
    Q_PROPERTY(QImage Bitmap READ Bitmap WRITE SetBitmap)
    Q_PROPERTY(double LRTimelapseValue READ LRTimelapseValue)
    Q_PROPERTY(double RedMean READ RedMean)
    Q_PROPERTY(double GreenMean READ GreenMean)
    Q_PROPERTY(double BlueMean READ BlueMean)
    Q_PROPERTY(double MaxMean READ MaxMean)
    Q_PROPERTY(bool FastCalculation READ FastCalculation WRITE SetFastCalculation)
    Q_PROPERTY(bool CalculateOnly READ CalculateOnly WRITE SetCalculateOnly)
    Q_PROPERTY(
        HistogramCounter::SummaryHistogram SummaryHistogram READ SummaryHistogram WRITE SetSummaryHistogram)

public:
    explicit TKmImageHistogram(QWidget* parent = nullptr);

    quint8 Margin() const { return m_margin; }
    void SetMargin(quint8 margin);
    quint16 HistogramHeight() const { return m_histogramHeight; }
    void SetHistogramHeight(quint16 height);
    quint16 HistogramWidth() const { return m_histogramWidth; }
    void SetHistogramWidth(quint16 width);
    QColor HistogramColor() const { return m_histogramColor; }
    void SetHistogramColor(const QColor& color);

    // Loads and counts a JPEG file (at one eighth size with FastCalculation). A missing or unreadable
    // file clears the control, so the figures never belong to another picture.
    QString JpegFileName() const { return m_jpegFileName; }
    void SetJpegFileName(const QString& fileName);
    // Counts the bitmap; a null image clears. The control keeps a shared copy, not the pixels' owner.
    QImage Bitmap() const { return m_bitmap; }
    void SetBitmap(const QImage& bitmap);

    double LRTimelapseValue() const { return m_counter.LRTimelapseValue(); }
    double RedMean() const { return m_counter.RedMean(); }
    double GreenMean() const { return m_counter.GreenMean(); }
    double BlueMean() const { return m_counter.BlueMean(); }
    double MaxMean() const { return m_counter.MaxMean(); }

    bool FastCalculation() const { return m_fastCalculation; }
    void SetFastCalculation(bool fast) { m_fastCalculation = fast; }
    // Setting it hides the control; clearing it leaves the visibility to the owner.
    bool CalculateOnly() const { return m_calculateOnly; }
    void SetCalculateOnly(bool calculateOnly);
    // Takes effect with the next bitmap or file.
    HistogramCounter::SummaryHistogram SummaryHistogram() const { return m_summary; }
    void SetSummaryHistogram(HistogramCounter::SummaryHistogram summary) { m_summary = summary; }

    // Empties JpegFileName and Bitmap and zeroes the counts and means.
    void Clear();

    // The counts behind the drawing, for callers that need more than the means.
    const HistogramCounter& Counter() const { return m_counter; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void count(const QImage& image);
    QImage loadJpeg(const QString& fileName) const;
    void changeGeometry();
    void buildBars();

    quint8 m_margin = 10;
    quint16 m_histogramHeight = 75;
    quint16 m_histogramWidth = 128;
    QColor m_histogramColor { 41, 41, 41 };
    QString m_jpegFileName;
    QImage m_bitmap;
    bool m_fastCalculation = false;
    bool m_calculateOnly = false;
    HistogramCounter::SummaryHistogram m_summary = HistogramCounter::shComposite;

    HistogramCounter m_counter;

    // Cached between frames: the areas, the pen width and the x of each value within an area.
    HistogramCounter::Layout m_layout;
    int m_penWidth = 1;
    std::array<int, 256> m_offsets {};
    // The bars of the current counts, rebuilt at the first paint after a count.
    std::array<std::vector<QRect>, 4> m_bars;
    bool m_barsDirty = true;
};
