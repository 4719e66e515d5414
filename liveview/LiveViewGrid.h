#pragma once

#include <QColor>
#include <QLine>
#include <QtGlobal>

#include <vector>

class QImage;

// The grid overlays of the live view picture, without widgets: kind 0 is off, kinds 1 to 5 are
// thirds-like grids, the golden section, a scale cross, the diagonals and a cinema frame.
namespace LiveViewGrid {

constexpr int kKindCount = 6;

// Rounds to the nearest integer, halves to even, as the line positions are defined.
int nearest(double value);

// The lines of a kind on a picture of width x height pixels; empty for kind 0 or an unknown kind.
std::vector<QLine> lines(int kind, int width, int height);

// Draws the lines into the picture with a solid pen one pixel wide, no antialiasing.
void draw(QImage& picture, int kind, const QColor& color);

// The setting GridLinesColor holds a Windows colour value (0x00BBGGRR), so stored values keep
// their meaning.
QColor colorFromSetting(quint32 value);
quint32 settingFromColor(const QColor& color);

} // namespace LiveViewGrid
