#include "app/ShellTexts.h"

#include "LumivarVersion.h"
#include "base/TNamedTexts.h"

namespace {

// No <br> in the HTML texts: the language files read "<BR>" as a line break, which HTML ignores.
constexpr TNamedText kShellTexts[] = {
    { "_rsSettingsNotSaved",
        "Die Einstellungen konnten nicht gespeichert werden. Bitte prüfen Sie, ob der Einstellungsspeicher "
        "beschreibbar ist; Ihre Eingaben bleiben erhalten." },
    { "_rsRequestStarted", "Request gestartet..." },
    { "_rsHttpStatus", "HTTP-Status: %d" },
    { "_rsNoRequestSelected", "keine Anfrage ausgewählt" },
    { "_rsRequestError", "Fehler: %s" },
    { "_rsSaveLogTitle", "Log-Datei speichern" },
    { "_rsSaveLogFilter", "Log-Dateien (*.log)" },
    { "_rsSaveLogFailed", "Die Log-Datei %s konnte nicht geschrieben werden." },
    { "_rsDumpTitle", "Kamera-Antworten speichern" },
    { "_rsDumpFilter", "Zip-Archive (*.zip)" },
    { "_rsDumpRunning", "Kamera-Antworten werden gelesen..." },
    { "_rsDumpWritten", "Kamera-Antworten gespeichert: %s" },
    { "_rsDumpIncomplete",
        "Die Kamera-Antworten wurden in %s gespeichert, aber nicht alle kamen richtig: %s" },
    { "_rsCameraNotAnswering", "%s antwortet nicht" },
    { "_rsDumpNoAnswer", "Die Kamera antwortet nicht, es wurde nichts gespeichert: %s" },
    { "_rsDumpWriteFailed", "Die Datei %s konnte nicht geschrieben werden." },
    { "_rsPictureNotShown", "Das Bild %s kann nicht angezeigt werden: Es ist kein lesbares JPEG-Bild." },
    { "_rsTermsOfUse",
        "<p><b>Nutzungsbedingungen:</b></p><p>Lumivar darf kostenlos genutzt und kostenlos weitergegeben "
        "werden, jedoch nur vollständig. Die Nutzung im gewerblichen Umfeld ist erlaubt, die gewerbliche "
        "Weitergabe nicht. Jede Veränderung des Programms ist untersagt.</p>"
        "<p><b>Garantie- und Haftungsausschluss:</b></p><p>Das Programm wird so zur Verfügung gestellt, wie "
        "es "
        "ist. Es wird keine Gewähr dafür übernommen, dass es sich für einen bestimmten Zweck eignet. Für "
        "Fehler und für Schäden, die aus seiner Nutzung entstehen, wird keine Haftung übernommen. Mit der "
        "Nutzung des Programms erkennen Sie diese Bedingungen an. Sollte eine dieser Bestimmungen unwirksam "
        "sein, bleiben die übrigen davon unberührt.</p>"
        "<p><b>Copyright:</b></p><p>Programm und Dokumentation sind urheberrechtlich geschützt. Alle Rechte "
        "vorbehalten. Kontakt: lumivar@kelmarin.de</p>" },
    { "_rsCredits",
        "<p><b>JPEG-Decoder:</b></p><p>Der schnelle JPEG-Decoder des Live-Streams verwendet libjpeg-turbo "
        "(TurboJPEG), © The libjpeg-turbo Project und seine Autoren, auf Grundlage der Arbeit der "
        "Independent JPEG Group.</p>" },
};

} // namespace

void RegisterShellTexts()
{
    TNamedTexts::Register(kShellTexts);
}

QString VersionCaption()
{
    // A version of fewer than four numbers leaves the missing ones empty; "+ 0" makes them 0.
    return rs("_rsVersion") + QStringLiteral(": ")
        + QStringLiteral("%1.%2.%3.%4")
              .arg(LUMIVAR_VERSION_MAJOR + 0)
              .arg(LUMIVAR_VERSION_MINOR + 0)
              .arg(LUMIVAR_VERSION_PATCH + 0)
              .arg(LUMIVAR_VERSION_TWEAK + 0);
}
