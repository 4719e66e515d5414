#include "camera/TCameraParams.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "camera/CameraTexts.h"
#include "camera/TOIShare.h"

#include <exception>

namespace {

// Camera value and display text; a text beginning with "_rs" names a translatable text.
struct TextEntry
{
    const char* key;
    const char* text;
};

constexpr TextEntry kWhiteBalance[] = {
    { "0", "_rsWBAuto" },
    { "18", "_rsWBSunny" },
    { "16", "_rsWBShadow" },
    { "17", "_rsWBCloudy" },
    { "20", "_rsWBIncandescent" },
    { "35", "_rsWBFluorescent" },
    { "64", "_rsWBUnderwater" },
    { "23", "_rsWBFlash" },
    { "256", "_rsWBCapture1" },
    { "257", "_rsWBCapture2" },
    { "258", "_rsWBCapture3" },
    { "259", "_rsWBCapture4" },
    { "512", "_rsCWB" },
};

constexpr TextEntry kDriveMode[] = {
    { "normal", "_rsDMSingle" },
    { "continuous-H", "_rsDMSequentialH" },
    { "continuous-L", "_rsDMSequentialL" },
    { "selftimer", "_rsDMTimer" },
    { "customselftimer", "_rsDMTimerCustom" },
    { "lowvib-selftimer", "_rsDMTimerAntiShock" },
    { "lowvib-customselftimer", "_rsDMTimerAntiShockCustom" },
    { "lowvib-continuous-L", "_rsDMAntiShockSequentialL" },
    { "lowvib-continuous-H", "_rsDMAntiShockSequentialH" },
    { "lowvib-normal", "_rsDMAntiShockSingle" },
};

constexpr TextEntry kTakeMode[] = {
    { "iAuto", "iAuto" },
    { "P", "P" },
    { "A", "A" },
    { "S", "S" },
    { "M", "M" },
    { "ART", "ART" },
    { "movie", "Movie" },
    { "supermacro", "Supermacro" },
};

// The E-M10 numbers its filters; later bodies name them.
constexpr TextEntry kArtFilterNumbers[] = {
    { "ART01", "_rsARTPopArt" },
    { "ART02", "_rsARTSoftFocus" },
    { "ART03", "_rsARTPaleAndLightColor" },
    { "ART04", "_rsARTLightTone" },
    { "ART05", "_rsARTGrainyFilm" },
    { "ART06", "_rsARTPinHole" },
    { "ART07", "_rsARTDiorama" },
    { "ART08", "_rsARTCrossProcess" },
    { "ART09", "_rsARTGentleSepia" },
    { "ART10", "_rsARTDramaticTone" },
    { "ART11", "_rsARTKeyLine" },
    { "ART12", "_rsARTWaterColor" },
    { "ART13", "_rsARTVintage" },
    { "ART14", "_rsARTPartColor" },
    { "ARTBKT", "_rsARTArtBkt" },
};

constexpr TextEntry kArtFilterNames[] = {
    { "popart", "_rsARTPopArt" },
    { "fantasic_focus", "_rsARTSoftFocus" },
    { "daydream", "_rsARTPaleAndLightColor" },
    { "light_tone", "_rsARTLightTone" },
    { "rough_monochrome", "_rsARTGrainyFilm" },
    { "toy_photo", "_rsARTPinHole" },
    { "miniature", "_rsARTDiorama" },
    { "cross_process", "_rsARTCrossProcess" },
    { "gentle_sepia", "_rsARTGentleSepia" },
    { "dramatic_tone", "_rsARTDramaticTone" },
    { "ligne_clair", "_rsARTKeyLine" },
    { "pastel", "_rsARTWaterColor" },
    { "vintage", "_rsARTVintage" },
    { "partcolor", "_rsARTPartColor" },
};

constexpr TextEntry kArtFilterBracket[] = {
    { "program", "_rsARTArtBkt" },
};

constexpr TextEntry kOnOff[] = {
    { "on", "_rsActivated" },
    { "off", "_rsDeactivated" },
};

constexpr TextEntry kShutterSpeed[] = {
    { "livetime", "_rsLiveTime" },
    { "livebulb", "_rsLiveBulb" },
};

constexpr TextEntry kColorTone[] = {
    { "ifinish", "i-Enhance" },
    { "vivid", "_rsColorToneVivid" },
    { "natural", "_rsColorToneNatural" },
    { "flat", "_rsColorToneMuted" },
    { "portrait", "Portrait" },
    { "monotone", "_rsColorToneMonotone" },
    { "custom", "_rsColorToneCustom" },
    { "eportrait", "_rsColorToneEPortrait" },
    { "coloacreator", "_rsColorToneColorCreator" },
};

constexpr TextEntry kMovieQuality[] = {
    { "fullhdfine", "_rsMovieQualityFullHDFine" },
    { "fullhdnormal", "_rsMovieQualityFullHDNormal" },
    { "hdfine", "_rsMovieQualityHDFine" },
    { "hdnormal", "_rsMovieQualityHDNormal" },
    { "hd", "_rsMovieQualityHD" },
    { "mjpeg", "_rsMovieQualityMJPEG" },
};

QString displayText(const char* text)
{
    return qstrncmp(text, "_rs", 3) == 0 ? rs(text) : QString::fromUtf8(text);
}

template<size_t N> void fill(TCameraParam* param, const TextEntry (&entries)[N], bool onlyOffered = false)
{
    if (!param)
        return;
    for (const TextEntry& entry : entries) {
        const QString key = QString::fromLatin1(entry.key);
        if (!onlyOffered || param->RawValues.contains(key, Qt::CaseInsensitive))
            param->Dictionary.Add(key, displayText(entry.text));
    }
}

void log(const QString& message, bool always)
{
    TLogger::LogTo(message, always);
}

} // namespace

const QStringList& TCameraParams::Names()
{
    static const QStringList names { QStringLiteral("takemode"), QStringLiteral("focalvalue"),
        QStringLiteral("shutspeedvalue"), QStringLiteral("isospeedvalue"), QStringLiteral("wbvalue"),
        QStringLiteral("expcomp"), QStringLiteral("drivemode"), QStringLiteral("touchactiveframe"),
        QStringLiteral("noisereduction"), QStringLiteral("lowvibtime"), QStringLiteral("bulbtimelimit"),
        QStringLiteral("artfilter"), QStringLiteral("digitaltelecon"), QStringLiteral("colortone"),
        QStringLiteral("colorphase"), QStringLiteral("cameradrivemode"), QStringLiteral("exposemovie"),
        QStringLiteral("qualitymovie") };
    return names;
}

TCameraParams::TCameraParams(const TCameraLink& link)
{
    RegisterCameraTexts();
    for (const QString& name : Names())
        m_params.push_back(std::make_unique<TCameraParam>(name, link));
    FillDictionaries();
    ComputeApertureNumbers();
}

TCameraParam* TCameraParams::At(int index) const
{
    return index >= 0 && index < Count() ? m_params[size_t(index)].get() : nullptr;
}

TCameraParam* TCameraParams::Find(const QString& name) const
{
    for (const auto& param : m_params)
        if (TStringDictionary::SameText(param->Name, name))
            return param.get();
    return nullptr;
}

void TCameraParams::ResetAll(bool clearDictionaries)
{
    for (const auto& param : m_params)
        param->Reset(clearDictionaries);
}

bool TCameraParams::Probe(const TOIShare& commandList)
{
    try {
        const TCGIFunction* function = commandList.Functions.Find(QStringLiteral("get_camprop"));
        if (!function)
            return true;
        bool result = true;
        for (const auto& param : m_params) {
            if (!param->Probe(*function)) {
                log(QStringLiteral("TCameraParams.Probe: reading %1 failed").arg(param->Name), true);
                result = false;
                break;
            }
        }
        FillDictionaries();
        return ComputeApertureNumbers() && result;
    } catch (const std::exception& e) {
        log(QStringLiteral("TCameraParams.Probe (Ex): %1").arg(QString::fromLocal8Bit(e.what())), true);
        return false;
    }
}

bool TCameraParams::RefreshAll()
{
    bool result = true;
    for (const auto& param : m_params) {
        if (!param->Valid || !param->CanGet)
            continue;
        if (!param->Refresh()) {
            result = false;
            break;
        }
    }
    return ComputeApertureNumbers() && result;
}

void TCameraParams::FillDictionaries()
{
    for (const auto& param : m_params)
        param->Dictionary.Clear();
    fill(Find(QStringLiteral("wbvalue")), kWhiteBalance);
    fill(Find(QStringLiteral("drivemode")), kDriveMode);
    fill(Find(QStringLiteral("takemode")), kTakeMode);
    // Both naming schemes map to the same texts; only the camera's own keep a text unambiguous.
    TCameraParam* art = Find(QStringLiteral("artfilter"));
    fill(art, kArtFilterNumbers, true);
    fill(art, kArtFilterNames, true);
    fill(art, kArtFilterBracket, true);
    fill(Find(QStringLiteral("noisereduction")), kOnOff);
    fill(Find(QStringLiteral("digitaltelecon")), kOnOff);
    fill(Find(QStringLiteral("shutspeedvalue")), kShutterSpeed);
    TCameraParam* tone = Find(QStringLiteral("colortone"));
    fill(tone, kColorTone);
    fill(tone, kArtFilterNames);
    fill(Find(QStringLiteral("qualitymovie")), kMovieQuality);
    // Values read before the dictionaries were (re)filled get their display texts now.
    for (const auto& param : m_params)
        param->ApplyDictionary();
}

bool TCameraParams::ComputeApertureNumbers()
{
    TCameraParam* focal = Find(QStringLiteral("focalvalue"));
    if (!focal || focal->ComputeNumbers())
        return true;
    log(QStringLiteral("TCameraParams.ComputeApertureNumbers: an aperture value is not a decimal number"),
        true);
    return false;
}
