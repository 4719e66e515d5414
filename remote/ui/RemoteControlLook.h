#pragma once

#include <QColor>
#include <QPixmap>
#include <QStringList>

class QComboBox;

// The remote control page's painted glyphs, in the dark style.
namespace RemoteControlLook {

constexpr int LargeSize = 64;
constexpr int SmallSize = 32;

// Pictures of the large list: 0 take, 1 take with the self-timer armed, 2 stop, 3 movie, 4 movie
// recording (the blink partner of 3).
QPixmap LargeGlyph(int index, const QColor& colour);
// Pictures of the small list: 0 focus point, 1 release, 2 focus point set, 4/5 automatic download
// off/on, 7/8 automatic preview off/on, 9 last preview, 10 download last shot, 11 zoom wide, 12 zoom
// tele, 13 previous page, 14 next page.
QPixmap SmallGlyph(int index, const QColor& colour);

// A choice in the side area's fixed width takes what its contents need at least, not its longest
// entry.
void NarrowChoice(QComboBox* choice, int characters);
// The items replaced only when they differ (an open list stays as it is), then the current one.
void FillChoice(QComboBox* choice, const QStringList& items, int current);

} // namespace RemoteControlLook
