// The remote control page's rules without widgets: which choices each program mode allows, the
// aperture window between the lens limits, the colour phase's hue snapping and the aperture buttons
// once the live view cleared the selection.
#include "remote/RemoteControlRules.h"

#include <gtest/gtest.h>

using namespace RemoteControlRules;

namespace {

// The E-M10's aperture list in tenths.
const QList<qint32> kApertures = { 10, 11, 12, 14, 16, 18, 20, 22, 25, 28, 32, 35, 40, 45, 50, 56, 63, 71, 80,
    90, 100, 110, 130, 140, 160, 180, 200, 220, 250, 290, 320, 360, 400, 450, 510, 570, 640, 720, 810, 910 };

TEST(RemoteControlRulesTest, ProgramModesEnableTheirChoices)
{
    const auto allowed = [](const char* mode) {
        const QString m = QString::fromLatin1(mode);
        return QList<bool> { IsAllowedInMode(TModeChoice::Aperture, m),
            IsAllowedInMode(TModeChoice::ShutterSpeed, m),
            IsAllowedInMode(TModeChoice::ExposureCompensation, m),
            IsAllowedInMode(TModeChoice::ISOSensitivity, m), IsAllowedInMode(TModeChoice::WhiteBalance, m) };
    };
    EXPECT_EQ(allowed("A"), QList<bool>({ true, false, true, true, true }));
    EXPECT_EQ(allowed("M"), QList<bool>({ true, true, false, true, true }));
    EXPECT_EQ(allowed("S"), QList<bool>({ false, true, true, true, true }));
    EXPECT_EQ(allowed("P"), QList<bool>({ false, false, true, true, true }));
    EXPECT_EQ(allowed("iAuto"), QList<bool>({ false, false, false, false, false }));
    EXPECT_EQ(allowed("ART"), QList<bool>({ false, false, false, false, false }));
    for (TModeChoice free : { TModeChoice::ProgramMode, TModeChoice::DriveMode, TModeChoice::DigitalConverter,
             TModeChoice::NoiseReduction })
        EXPECT_TRUE(IsAllowedInMode(free, QStringLiteral("iAuto")));

    // In movie mode the movie's own exposure mode decides.
    EXPECT_EQ(ModeText(QStringLiteral("Movie"), QStringLiteral("S")), QStringLiteral("S"));
    EXPECT_EQ(ModeText(QStringLiteral("A"), QStringLiteral("S")), QStringLiteral("A"));
    EXPECT_TRUE(IsMovieMode(QStringLiteral("movie")));
    EXPECT_FALSE(IsMovieMode(QStringLiteral("ART")));

    EXPECT_TRUE(IsArtFilterShown(true, QStringLiteral("ART")));
    EXPECT_FALSE(IsArtFilterShown(false, QStringLiteral("ART")));
    EXPECT_TRUE(IsMovieModeShown(true, false, QStringLiteral("Movie")));
    EXPECT_FALSE(IsMovieModeShown(true, true, QStringLiteral("Movie")));

    EXPECT_TRUE(IsSequentialDriveMode(QStringLiteral("silent-continuous-H")));
    EXPECT_FALSE(IsSequentialDriveMode(QStringLiteral("normal")));
    EXPECT_TRUE(IsTimerDriveMode(QStringLiteral("Timer C")));
    EXPECT_TRUE(
        IsTimeLapseAllowed(QStringLiteral("M"), QStringLiteral("Einzel"), QStringLiteral("Einzel"), {}));
    EXPECT_FALSE(
        IsTimeLapseAllowed(QStringLiteral("ART"), QStringLiteral("Einzel"), QStringLiteral("Einzel"), {}));
    EXPECT_FALSE(
        IsTimeLapseAllowed(QStringLiteral("A"), QStringLiteral("Timer"), QStringLiteral("Einzel"), {}));
    // A drive mode without a single-shot counterpart never matches an empty text.
    EXPECT_FALSE(IsTimeLapseAllowed(QStringLiteral("A"), QString(), QString(), QString()));
}

TEST(RemoteControlRulesTest, ApertureWindowLiesBetweenTheLensLimits)
{
    const int f28 = int(kApertures.indexOf(28));
    const int f22 = int(kApertures.indexOf(220));
    EXPECT_EQ(ApertureWindow(kApertures, 28, 220), std::make_pair(f28, f22));
    // Limits between two entries take the entry below them.
    EXPECT_EQ(ApertureWindow(kApertures, 30, 215), std::make_pair(f28, f22 - 1));
    // Beyond the ends: the ends.
    EXPECT_EQ(ApertureWindow(kApertures, 5, 2000), std::make_pair(0, int(kApertures.size()) - 1));
    // No lens reported yet, or too short a list: everything.
    EXPECT_EQ(ApertureWindow(kApertures, 0, 220), std::make_pair(0, int(kApertures.size()) - 1));
    EXPECT_EQ(ApertureWindow(kApertures, 28, NoUpperLimit), std::make_pair(0, int(kApertures.size()) - 1));
    EXPECT_EQ(ApertureWindow({ 28, 40 }, 35, 40), std::make_pair(0, 1));
    // An upper limit below the lower one leaves nothing to show.
    EXPECT_EQ(ApertureWindow(kApertures, 80, 28), std::make_pair(-1, -1));
}

TEST(RemoteControlRulesTest, HueSnapsToTheCameraSteps)
{
    const auto snap = [](int hue) {
        const THueSnap s = SnapHue(hue);
        return std::make_pair(s.Hue, s.Step);
    };
    EXPECT_EQ(snap(135), std::make_pair(140, 14));
    EXPECT_EQ(snap(130), std::make_pair(120, 15));
    EXPECT_EQ(snap(350), std::make_pair(340, 4));
    EXPECT_EQ(snap(355), std::make_pair(360, 3));
    EXPECT_EQ(snap(0), std::make_pair(0, 3));
    EXPECT_EQ(snap(-20), std::make_pair(0, 3));
    EXPECT_EQ(snap(400), std::make_pair(360, 3));

    // Every step the camera reports comes back as the same step when the user leaves the hue.
    for (int step = 0; step < 18; ++step) {
        const int hue = HueOfColorPhase(QStringLiteral("step%1").arg(step), -1);
        ASSERT_GE(hue, 0) << step;
        EXPECT_EQ(SnapHue(hue).Step, step) << step;
    }
    EXPECT_EQ(HueOfColorPhase(QStringLiteral("step4"), 0), 344);
    EXPECT_EQ(HueOfColorPhase(QStringLiteral("step18"), 77), 77);
    EXPECT_EQ(HueOfColorPhase(QStringLiteral("blue"), 77), 77);
}

TEST(RemoteControlRulesTest, ApertureButtonsAfterTheSelectionWasCleared)
{
    // With a selection: one step, not beyond the ends.
    EXPECT_EQ(ApertureDownIndex(5, 2), 4);
    EXPECT_EQ(ApertureUpIndex(5, 10, 2), 6);
    // No selection: down goes below the user's last choice, up to the first entry.
    EXPECT_EQ(ApertureDownIndex(-1, 5), 4);
    EXPECT_EQ(ApertureUpIndex(-1, 10, 5), 0);
    // At the first entry down follows the last choice; nothing without one.
    EXPECT_EQ(ApertureDownIndex(0, 3), 2);
    EXPECT_EQ(ApertureDownIndex(0, -1), -1);
    EXPECT_EQ(ApertureDownIndex(-1, 0), -1);
    // At the last entry up follows the last choice while it has room.
    EXPECT_EQ(ApertureUpIndex(9, 10, 4), 5);
    EXPECT_EQ(ApertureUpIndex(9, 10, 9), -1);
    EXPECT_EQ(ApertureUpIndex(-1, 0, -1), -1);
}

TEST(RemoteControlRulesTest, APictureClickFocusesCountsDownHoldsOrTakesAsTheModesSay)
{
    using C = TPictureClick;
    const TShootingModes single;
    TShootingModes bulb;
    bulb.LiveBulb = true;
    TShootingModes timerBulb = bulb;
    timerBulb.TimerDrive = true;
    TShootingModes liveTime;
    liveTime.LiveTime = true;
    EXPECT_EQ(PictureClick(single, true, false, false), C::FocusPoint);
    EXPECT_EQ(PictureClick(single, true, false, true), C::Take);
    EXPECT_EQ(PictureClick(liveTime, true, false, true), C::Take);
    EXPECT_EQ(PictureClick(bulb, true, false, true), C::Hold);
    // The count-down comes first; its end presses.
    EXPECT_EQ(PictureClick(timerBulb, true, false, true), C::SelfTimer);
    // A running exposure or no camera: nothing, also in focus mode.
    EXPECT_EQ(PictureClick(liveTime, true, true, true), C::Nothing);
    EXPECT_EQ(PictureClick(single, true, true, false), C::Nothing);
    EXPECT_EQ(PictureClick(single, false, false, true), C::Nothing);
}

} // namespace
