#pragma once

#include <QColor>
#include <QPixmap>

// The remote release page's painted pictures, in the style of the photo import page.
namespace RemoteReleaseLook {

constexpr int TakeButtonSize = 64;
constexpr int LiveButtonSize = 34;

// A shutter button pressed by a finger's arrow: "take a picture".
QPixmap TakeIcon(const QColor& colour);
// A small screen with a live dot: "live picture on or off".
QPixmap LiveIcon(const QColor& colour);
// The picture area's still: a camera on a tripod seen from the front, size pixels square.
QPixmap CameraPicture(int size);

} // namespace RemoteReleaseLook
