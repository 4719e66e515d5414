#pragma once

#include <QList>
#include <QString>

#include <utility>

class TCameraParams;

// The remote control page's decisions that need no widgets: which property choices a program mode
// allows, the aperture window between the lens limits, the colour phase's hue snapping and the
// aperture buttons after the live view cleared the selection.
namespace RemoteControlRules {

constexpr int NoUpperLimit = 2147483647;

// The property choices whose enabling depends on the program mode.
enum class TModeChoice {
    ProgramMode,
    Aperture,
    ShutterSpeed,
    ExposureCompensation,
    ISOSensitivity,
    WhiteBalance,
    DriveMode,
    ColorTone,
    MovieQuality,
    NoiseReduction,
    BulbTimeLimit,
    LowVibTime,
    DigitalConverter,
};

// The mode text used for enabling: the program mode's text, or the movie mode's text when the
// program mode is "Movie".
QString ModeText(const QString& programModeText, const QString& movieModeText);
// Whether the program mode allows the choice (the camera's own enabling comes on top).
bool IsAllowedInMode(TModeChoice choice, const QString& modeText);
bool IsArtFilterShown(bool programModeEnabled, const QString& programModeText);
bool IsMovieModeShown(bool programModeEnabled, bool artFilterShown, const QString& programModeText);
// The camera value of the program mode names a movie mode.
bool IsMovieMode(const QString& takeModeCameraValue);
// The drive mode's display text names a self-timer.
bool IsTimerDriveMode(const QString& driveModeText);
// The drive mode's camera value shoots while the button is held.
bool IsSequentialDriveMode(const QString& driveModeCameraValue);
// What the camera's current values make of a take: the one derivation the page and lumivar-cli use.
struct TShootingModes
{
    bool LiveTime = false; // shutter speed LIVETIME: one take starts, the next ends the exposure
    bool LiveBulb = false; // shutter speed LIVEBULB: exposed while held
    bool Sequential = false; // a continuous drive mode: shots while held
    bool TimerDrive = false; // a self-timer drive mode
    bool Movie = false; // the take mode records movies
    bool TimeLapseAllowed = false; // P, A, S or M with a single-shot drive mode
};
TShootingModes ModesOf(const TCameraParams& params);

// What a click on the live picture does.
enum class TPictureClick {
    Nothing, // an exposure runs, or no camera
    FocusPoint, // the touch function sets the focus point
    SelfTimer, // starts the count-down at the point, or cancels a running one
    Hold, // LIVEBULB or a sequence: held like the take button, the release ends it
    Take, // one picture at the point (also the first take of LIVETIME)
};
TPictureClick PictureClick(const TShootingModes& modes, bool connected, bool exposing, bool touchReleases);

// A time-lapse series needs P, A, S or M and a single-shot drive mode.
bool IsTimeLapseAllowed(const QString& programModeText, const QString& driveModeText,
    const QString& normalText, const QString& lowVibNormalText);

// Entries first to last (both included) of the aperture list that lie between the lens limits
// (tenths of an f-number, ascending list); {-1, -1} when either end is not found. Without valid
// limits (lower 0 or upper NoUpperLimit) or with fewer than three values: the whole list.
std::pair<int, int> ApertureWindow(const QList<qint32>& numbers, qint32 lower, qint32 upper);

// The hue picker's hue for a "colorphase" value "step0" .. "step17"; other values keep current.
int HueOfColorPhase(const QString& value, int currentHue);
// A hue the user left the picker at: the hue it snaps to (0 .. 360) and the camera's step.
struct THueSnap
{
    int Hue = 0;
    int Step = 0;
};
THueSnap SnapHue(int hue);

// New selections of the aperture buttons; -1 when the button does nothing. selected is -1 without
// a selection; lastIndex is the index last chosen by the user (-1 for none).
int ApertureDownIndex(int selected, int lastIndex);
int ApertureUpIndex(int selected, int count, int lastIndex);

} // namespace RemoteControlRules
