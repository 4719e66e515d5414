#include "camera/CameraTexts.h"

#include "base/TNamedTexts.h"

namespace {

// The German defaults are the program's built-in language; English.txt translates each name.
constexpr TNamedText kCameraTexts[] = {
    { "_rsLiveTime", "LIVETIME" },
    { "_rsLiveBulb", "LIVEBULB" },
    { "_rsWBAuto", "Auto" },
    { "_rsWBSunny", "Sonnig" },
    { "_rsWBShadow", "Schatten" },
    { "_rsWBCloudy", "Bewölkt" },
    { "_rsWBIncandescent", "Kunstlicht" },
    { "_rsWBFluorescent", "Fluoreszent" },
    { "_rsWBUnderwater", "Unterwasser" },
    { "_rsWBFlash", "Blitz" },
    { "_rsWBCapture1", "Speicher 1" },
    { "_rsWBCapture2", "Speicher 2" },
    { "_rsWBCapture3", "Speicher 3" },
    { "_rsWBCapture4", "Speicher 4" },
    { "_rsCWB", "CWB" },
    { "_rsActivated", "aktiviert" },
    { "_rsDeactivated", "deaktiviert" },
    { "_rsDMSingle", "Einzel" },
    { "_rsDMSequentialH", "Sequentiell H" },
    { "_rsDMSequentialL", "Sequentiell L" },
    { "_rsDMTimer", "Timer" },
    { "_rsDMTimerCustom", "Timer C" },
    { "_rsDMTimerAntiShock", "Anti-Schock Timer" },
    { "_rsDMTimerAntiShockCustom", "Anti-Schock Timer C" },
    { "_rsDMAntiShockSequentialL", "Anti-Schock L" },
    { "_rsDMAntiShockSequentialH", "Anti-Schock H" },
    { "_rsDMAntiShockSingle", "Anti-Schock Einzel" },
    { "_rsARTPopArt", "Pop-Art" },
    { "_rsARTSoftFocus", "Soft-Fokus" },
    { "_rsARTPaleAndLightColor", "Blasse Farben" },
    { "_rsARTLightTone", "Weiches Licht" },
    { "_rsARTGrainyFilm", "Monochrom-Film" },
    { "_rsARTPinHole", "Lochkamera" },
    { "_rsARTDiorama", "Diorama" },
    { "_rsARTCrossProcess", "Crossentwicklung" },
    { "_rsARTGentleSepia", "Zartes Sepia" },
    { "_rsARTDramaticTone", "Dramatischer Effekt" },
    { "_rsARTKeyLine", "Gemälde" },
    { "_rsARTWaterColor", "Wasserfarben" },
    { "_rsARTVintage", "Vintage" },
    { "_rsARTPartColor", "Partielle Farbe" },
    { "_rsARTArtBkt", "ART BKT" },
    { "_rsColorToneVivid", "Lebendig" },
    { "_rsColorToneNatural", "Natürlich" },
    { "_rsColorToneEPortrait", "e-Portrait" },
    { "_rsColorToneMuted", "Gedämpft" },
    { "_rsColorToneColorCreator", "Farbgestalter" },
    // German words among the colour tones that would otherwise stay German in every language.
    { "_rsColorToneMonotone", "Monoton" },
    { "_rsColorToneCustom", "Angepasst" },
    { "_rsMovieQualityFullHDFine", "Full-HD Fine" },
    { "_rsMovieQualityFullHDNormal", "Full-HD Normal" },
    { "_rsMovieQualityHDFine", "HD Fine" },
    { "_rsMovieQualityHDNormal", "HD Normal" },
    { "_rsMovieQualityHD", "HD" },
    { "_rsMovieQualityMJPEG", "M-JPEG" },
};

} // namespace

void RegisterCameraTexts()
{
    TNamedTexts::Register(kCameraTexts);
}
