#include "remote/RemoteControlRules.h"

#include "camera/TCameraParams.h"

#include <QStringList>

namespace RemoteControlRules {

namespace {

bool isOneOf(const QString& text, std::initializer_list<const char*> modes)
{
    for (const char* mode : modes)
        if (text.compare(QLatin1String(mode), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The index whose entry equals the limit, else the entry whose step to the next one holds it; the
// list's ends for limits outside it. -1 when nothing fits (an unsorted list).
int limitIndex(const QList<qint32>& numbers, qint32 limit, int from)
{
    const int count = int(numbers.size());
    for (int i = from; i < count; ++i)
        if (numbers[i] == limit)
            return i;
    if (limit < numbers.first())
        return 0;
    if (limit > numbers.last())
        return count - 1;
    for (int i = from; i < count; ++i) {
        // At the last entry the last two entries are the pair.
        const int a = i + 1 < count ? i : count - 2;
        if (numbers[a] <= limit && limit <= numbers[a + 1])
            return i;
    }
    return -1;
}

} // namespace

QString ModeText(const QString& programModeText, const QString& movieModeText)
{
    return programModeText == QLatin1String("Movie") ? movieModeText : programModeText;
}

bool IsAllowedInMode(TModeChoice choice, const QString& modeText)
{
    switch (choice) {
    case TModeChoice::Aperture:
        return isOneOf(modeText, { "A", "M" });
    case TModeChoice::ShutterSpeed:
        return isOneOf(modeText, { "S", "M" });
    case TModeChoice::ExposureCompensation:
        return isOneOf(modeText, { "P", "A", "S" });
    case TModeChoice::ISOSensitivity:
    case TModeChoice::WhiteBalance:
        return isOneOf(modeText, { "P", "A", "S", "M" });
    default:
        return true;
    }
}

bool IsArtFilterShown(bool programModeEnabled, const QString& programModeText)
{
    return programModeEnabled && programModeText == QLatin1String("ART");
}

bool IsMovieModeShown(bool programModeEnabled, bool artFilterShown, const QString& programModeText)
{
    return programModeEnabled && !artFilterShown && programModeText == QLatin1String("Movie");
}

bool IsMovieMode(const QString& takeModeCameraValue)
{
    return takeModeCameraValue.toLower().contains(QLatin1String("movie"));
}

bool IsTimerDriveMode(const QString& driveModeText)
{
    return driveModeText.toLower().contains(QLatin1String("timer"));
}

bool IsSequentialDriveMode(const QString& driveModeCameraValue)
{
    return driveModeCameraValue.toLower().contains(QLatin1String("continuous"));
}

TShootingModes ModesOf(const TCameraParams& params)
{
    const auto raw = [&params](const char* name) {
        const TCameraParam* param = params.Find(QLatin1String(name));
        return param && param->Valid ? param->RawValue.toLower() : QString();
    };
    const QString speed = raw("shutspeedvalue");
    const QString drive = raw("drivemode");
    const QString take = raw("takemode");
    TShootingModes modes;
    modes.LiveTime = speed == QLatin1String("livetime");
    modes.LiveBulb = speed == QLatin1String("livebulb");
    modes.Sequential = IsSequentialDriveMode(drive);
    modes.TimerDrive = drive.contains(QLatin1String("timer"));
    modes.Movie = IsMovieMode(take);
    modes.TimeLapseAllowed = isOneOf(take.toUpper(), { "P", "A", "S", "M" })
        && (drive == QLatin1String("normal") || drive == QLatin1String("lowvib-normal"));
    return modes;
}

TPictureClick PictureClick(const TShootingModes& modes, bool connected, bool exposing, bool touchReleases)
{
    if (!connected || exposing)
        return TPictureClick::Nothing;
    if (!touchReleases)
        return TPictureClick::FocusPoint;
    if (modes.TimerDrive)
        return TPictureClick::SelfTimer;
    if (modes.LiveBulb || modes.Sequential)
        return TPictureClick::Hold;
    return TPictureClick::Take;
}

bool IsTimeLapseAllowed(const QString& programModeText, const QString& driveModeText,
    const QString& normalText, const QString& lowVibNormalText)
{
    if (!isOneOf(programModeText, { "P", "A", "S", "M" }) || driveModeText.isEmpty())
        return false;
    return driveModeText == normalText || driveModeText == lowVibNormalText;
}

std::pair<int, int> ApertureWindow(const QList<qint32>& numbers, qint32 lower, qint32 upper)
{
    const int count = int(numbers.size());
    if (count < 3 || lower <= 0 || upper == NoUpperLimit)
        return { 0, count - 1 };
    const int first = limitIndex(numbers, lower, 0);
    if (first < 0)
        return { -1, -1 };
    const int last = limitIndex(numbers, upper, first);
    if (last < 0 || last < first)
        return { -1, -1 };
    return { first, last };
}

int HueOfColorPhase(const QString& value, int currentHue)
{
    static constexpr int kHues[18]
        = { 60, 40, 20, 0, 344, 320, 300, 280, 260, 240, 220, 200, 180, 160, 140, 120, 100, 80 };
    if (!value.startsWith(QLatin1String("step"), Qt::CaseInsensitive))
        return currentHue;
    bool ok = false;
    const int step = value.mid(4).toInt(&ok);
    if (!ok || step < 0 || step > 17)
        return currentHue;
    return kHues[step];
}

THueSnap SnapHue(int hue)
{
    static constexpr int kSteps[19] = { 3, 2, 1, 0, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3 };
    hue = qBound(0, hue, 360);
    int i = hue / 20;
    if (hue % 20 > 10)
        ++i;
    i = qMin(i, 18);
    return { i * 20, kSteps[i] };
}

int ApertureDownIndex(int selected, int lastIndex)
{
    if (selected > 0)
        return selected - 1;
    return lastIndex > 0 ? lastIndex - 1 : -1;
}

int ApertureUpIndex(int selected, int count, int lastIndex)
{
    if (selected < count - 1)
        return selected + 1;
    return lastIndex >= 0 && lastIndex < count - 1 ? lastIndex + 1 : -1;
}

} // namespace RemoteControlRules
