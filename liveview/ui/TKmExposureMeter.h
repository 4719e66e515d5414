#pragma once

#include "liveview/ExposureMeterScale.h"

#include <QColor>
#include <QWidget>

#include <array>

// An exposure scale from -3 to +3 EV in thirds with a bar from 0 towards the camera's exposure
// compensation (Position, in tenths of a stop).
class TKmExposureMeter : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(int BarGraphHeight READ BarGraphHeight WRITE SetBarGraphHeight)
    Q_PROPERTY(int BarGraphWidth READ BarGraphWidth WRITE SetBarGraphWidth)
    Q_PROPERTY(QColor FullStopColor READ FullStopColor WRITE SetFullStopColor)
    Q_PROPERTY(QColor PartStopColor READ PartStopColor WRITE SetPartStopColor)
    Q_PROPERTY(QColor PositionColor READ PositionColor WRITE SetPositionColor)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool ShowScaleCaption READ ShowScaleCaption WRITE SetShowScaleCaption)

public:
    explicit TKmExposureMeter(QWidget* parent = nullptr);

    // Where the scale's centre lies: Qt::AlignLeft puts it half the bar width from the left edge,
    // Qt::AlignRight half the bar width from the right edge, anything else at the control's centre.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    int BarGraphHeight() const { return m_barGraphHeight; }
    void SetBarGraphHeight(int height);
    int BarGraphWidth() const { return m_barGraphWidth; }
    void SetBarGraphWidth(int width);
    QColor FullStopColor() const { return m_fullStopColor; }
    void SetFullStopColor(const QColor& color);
    QColor PartStopColor() const { return m_partStopColor; }
    void SetPartStopColor(const QColor& color);
    QColor PositionColor() const { return m_positionColor; }
    void SetPositionColor(const QColor& color);
    int Position() const { return m_position; }
    void SetPosition(int position);
    bool ShowScaleCaption() const { return m_showScaleCaption; }
    void SetShowScaleCaption(bool show);

    const std::array<bool, ExposureMeterScale::kSegments>& LitSegments() const { return m_lit; }

    QSize sizeHint() const override { return { 200, 48 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int scaleCentre() const;

    Qt::Alignment m_alignment = Qt::AlignHCenter;
    int m_barGraphHeight = 24;
    int m_barGraphWidth = 160;
    QColor m_fullStopColor { Qt::black };
    QColor m_partStopColor { 128, 128, 128 };
    QColor m_positionColor { 0, 255, 0 };
    int m_position = 0;
    bool m_showScaleCaption = true;
    std::array<bool, ExposureMeterScale::kSegments> m_lit;
};
