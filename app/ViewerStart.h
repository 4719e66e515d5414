#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TSetup;

// "lumivar FILE.JPG": the picture opens in the viewer alone, without a camera or the main window, and
// closing the viewer ends the program.

// The first argument after the program that names an existing ".JPG" file (any letter case); empty
// when there is none. Switches and their values are never taken for a picture.
QString ViewerPictureArgument(const QStringList& arguments);

// Shows fileName in a viewer centred on the screen and runs the event loop until the viewer is
// closed. Returns the loop's exit code, or 1 when the picture cannot be shown: then tell gets the
// message for the user (by default a message box; a line on stderr as well).
int runViewerOnly(TSetup* setup, const QString& fileName, std::function<void(const QString&)> tell = {});
