#include "liveview/LiveViewTexts.h"

#include "base/TNamedTexts.h"

namespace {

// The German defaults are the program's built-in language; English.txt translates each name. Some
// names are shared with the camera and shell modules, with the same defaults.
constexpr TNamedText kLiveViewTexts[] = {
    { "_rsOpenLiveStreamPortFailed",
        "Der Port %d für die Übertragung des Live-Streams konnte nicht geöffnet werden!" },
    { "_rsLiveViewPortSetting",
        "Wählen Sie in den Einstellungen mit \"Portnummer für Live-Stream abweichend von 28488 definieren\" "
        "einen anderen Port." },
    { "_rsLiveViewServing", "Live-Bild: %s" },
    { "_rsLiveViewServeFailed", "Live-Bild für andere Programme: Port %d kann nicht geöffnet werden" },
    { "_rsWBAuto", "Auto" },
    { "_rsWBShadow", "Schatten" },
    { "_rsWBCloudy", "Bewölkt" },
    { "_rsWBSunny", "Sonnig" },
    { "_rsWBIncandescent", "Kunstlicht" },
    { "_rsWBFlash", "Blitz" },
    { "_rsWBFluorescent", "Fluoreszent" },
    { "_rsWBUnderwater", "Unterwasser" },
    { "_rsWBCapture1", "Speicher 1" },
    { "_rsWBCapture2", "Speicher 2" },
    { "_rsWBCapture3", "Speicher 3" },
    { "_rsWBCapture4", "Speicher 4" },
    { "_rsCWB", "CWB" },
    { "_rsApertureShort", "F" },
    { "_rsStaticAFShort", "S-AF" },
    { "_rsISOAuto", "ISO-Auto" },
    { "_rsISO", "ISO" },
    { "_rsGridOff", "Aus" },
    { "_rsHistogram", "Histogramm" },
    { "_rsHistogramHint", "Histogramm anzeigen/ausblenden" },
    { "_rsGridLines", "Gitterlinien" },
    { "_rsGridLinesHint", "Gitterlinien anzeigen/ausblenden" },
};

} // namespace

void RegisterLiveViewTexts()
{
    TNamedTexts::Register(kLiveViewTexts);
}
