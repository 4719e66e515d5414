#pragma once

#include "exif/TExifReader.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QWidget>

// The viewer's picture control inside its panel: fitted into the panel (scaled down, never up,
// centred) or at full size, where a drag pans it within the panel's bounds. The focus frame and the
// faces are drawn over it while painting, so switching them off and on never leaves a frame drawn
// twice and no second full-size copy exists.
class TViewerPicture : public QWidget
{
    Q_OBJECT

public:
    explicit TViewerPicture(QWidget* panel);

    // The old picture goes before any copy of the new one is made.
    void SetPicture(QImage picture);
    const QImage& Picture() const { return m_master; }
    // What smaller copies are scaled from: a reduced copy of a very large picture, else the picture.
    const QImage& ScaleSource() const { return m_reduced.isNull() ? m_master : m_reduced; }

    void SetFrames(const TExifRect& focusFrame, const QList<TExifRect>& faces);
    TExifRect FocusFrame() const { return m_focusFrame; }
    const QList<TExifRect>& Faces() const { return m_faces; }
    bool FocusDisplay() const { return m_focusDisplay; }
    void SetFocusDisplay(bool on);

    bool IsOneToOne() const { return m_oneToOne; }
    // 1:1 starts at the picture's top left.
    void SetOneToOne(bool on);
    // Fills the panel (fitted) or takes the picture's size at a position within the panel (1:1).
    void Place();

signals:
    // The picture was dragged to another place in its panel.
    void Panned();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void paintOverlays(class QPainter& painter) const;
    QRect fittedRect() const;
    const QImage& fittedPicture();
    QPoint clampedPosition(const QPoint& wanted) const;
    void panTo(const QPoint& wanted);

    QImage m_master;
    // For very large pictures a reduced copy the fitted view and the navigator are scaled from.
    QImage m_reduced;
    QImage m_fitted;
    TExifRect m_focusFrame;
    QList<TExifRect> m_faces;
    bool m_focusDisplay = true;
    bool m_oneToOne = false;
    bool m_dragging = false;
    QPoint m_anchor;
};
