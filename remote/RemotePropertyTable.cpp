#include "remote/RemotePropertyTable.h"

namespace RemotePropertyTable {

namespace {

using M = RemoteControlRules::TModeChoice;
using A = TAfterPick;
using P = TPage;
using R = TModeRule;

const TRow kRows[] = {
    { "takemode", "cbxProgramMode", "lblProgramMode", "Programm", P::General, R::ByMode, M::ProgramMode,
        A::Reload },
    { "artfilter", "cbxArtFilter", "lblProgramMode", nullptr, P::General, R::ArtFilter, M::ProgramMode,
        A::Reload },
    { "exposemovie", "cbxMovieProgramMode", "lblProgramMode", nullptr, P::General, R::MovieMode,
        M::ProgramMode, A::Reload },
    { "focalvalue", "cbxAperture", "lblAperture", "Blende", P::General, R::ByMode, M::Aperture, A::Nothing,
        "btnApertureDown", "btnApertureUp", -1 },
    { "shutspeedvalue", "cbxShutterSpeed", "lblShutterSpeed", "Verschlusszeit", P::General, R::ByMode,
        M::ShutterSpeed, A::ReloadOnLongExposure, "btnShutterSpeedDown", "btnShutterSpeedUp", 1 },
    { "expcomp", "cbxExposureCompensation", "lblExposureCompensation", "Belichtungskorrektur", P::General,
        R::ByMode, M::ExposureCompensation, A::Nothing, "btnExposureCompensationDown",
        "btnExposureCompensationUp", -1 },
    { "isospeedvalue", "cbxISOSensitivity", "lblISOSensitivity", "ISO-Empfindlichkeit", P::General, R::ByMode,
        M::ISOSensitivity, A::Nothing, "btnISOSensitivityDown", "btnISOSensitivityUp", -1 },
    { "wbvalue", "cbxWhiteBalance", "lblWhiteBalance", "Weißabgleich", P::General, R::ByMode, M::WhiteBalance,
        A::Nothing },
    { "drivemode", "cbxDriveMode", "lblDriveMode", "Auslöseart", P::General, R::ByMode, M::DriveMode,
        A::DriveMode },
    { "colortone", "cbxColorTone", "lblColorTone", "Bildmodus", P::Additional, R::ByMode, M::ColorTone,
        A::Nothing },
    { "qualitymovie", "cbxMovieQuality", "lblMovieQuality", "Videoqualität", P::Additional, R::ByMode,
        M::MovieQuality, A::MovieQuality },
    { "digitaltelecon", "cbxDigitalConverter", "lblDigitalConverter", "Digitalkonverter", P::Additional,
        R::ByMode, M::DigitalConverter, A::Nothing },
    { "lowvibtime", "cbxLowVibTime", "lblLowVibTime", "Anti-Schock", P::Additional, R::ByMode, M::LowVibTime,
        A::Nothing },
    { "bulbtimelimit", "cbxBulbTimeLimit", "lblBulbTimeLimit", "BULB-Zeitlimit", P::Additional, R::ByMode,
        M::BulbTimeLimit, A::Nothing },
    { "noisereduction", "cbxNoiseReduction", "lblNoiseReduction", "Rauschminderung", P::Additional, R::ByMode,
        M::NoiseReduction, A::Nothing },
};

} // namespace

std::span<const TRow> Rows()
{
    return kRows;
}

const TRow* Find(const QString& property)
{
    for (const TRow& row : kRows)
        if (property == QLatin1String(row.Property))
            return &row;
    return nullptr;
}

QList<bool> Enabling(bool remoteRecordMode, const QString& programModeText, const QString& movieModeText,
    const std::function<bool(const QString& property)>& offered)
{
    using namespace RemoteControlRules;
    const QString modeText = ModeText(programModeText, movieModeText);
    QList<bool> enabled;
    bool programEnabled = false;
    bool artShown = false;
    for (const TRow& row : kRows) {
        bool on = remoteRecordMode && offered(QString::fromLatin1(row.Property));
        switch (row.Rule) {
        case TModeRule::ByMode:
            on = on && IsAllowedInMode(row.Mode, modeText);
            if (row.Mode == TModeChoice::ProgramMode)
                programEnabled = on;
            break;
        case TModeRule::ArtFilter:
            on = on && IsArtFilterShown(programEnabled, programModeText);
            artShown = on;
            break;
        case TModeRule::MovieMode:
            on = on && IsMovieModeShown(programEnabled, artShown, programModeText);
            break;
        }
        enabled << on;
    }
    return enabled;
}

TFollowUp FollowUp(const TRow& row, const RemoteControlRules::TShootingModes& before,
    const RemoteControlRules::TShootingModes& after)
{
    TFollowUp follow;
    switch (row.After) {
    case TAfterPick::Nothing:
        break;
    case TAfterPick::Reload:
        follow.ReloadAll = true;
        break;
    case TAfterPick::ReloadOnLongExposure:
        follow.ReloadAll = before.LiveBulb != after.LiveBulb || before.LiveTime != after.LiveTime;
        break;
    case TAfterPick::DriveMode:
        follow.DriveModes = true;
        break;
    case TAfterPick::MovieQuality:
        follow.MovieQuality = true;
        break;
    }
    return follow;
}

} // namespace RemotePropertyTable
