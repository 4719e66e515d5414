#include "base/AppTexts.h"

#include "base/TNamedTexts.h"

namespace {

// The German defaults are the program's built-in language; English.txt translates each name.
constexpr TNamedText kAppTexts[] = {
    { "_rsCancelLiveImport",
        "Der Live-Import überträgt gerade Daten.\nMöchten Sie diese Übertragung abbrechen?" },
    { "_rsPowerOff", "Möchten Sie die Kamera wirklich ausschalten?" },
    { "_rsTimeSynced", "Die Kamerazeit wurde erfolgreich synchronisiert." },
    { "_rsTimeNotSynced", "Die Kamerazeit konnte nicht synchronisiert werden!" },
    { "_rsPrivateMode", "Diese Funktion steht nur im Modus \"private\" zur Verfügung!" },
    { "_rsUsePrivateConnection", "Bitte verwenden Sie die private Verbindung der Kamera!" },
    { "_rsUnknownCamModel", "unbekanntem Kameramodell" },
    { "_rsConnectedWith", "verbunden mit %s" },
    { "_rsTryToConnectWith", "Versuche mit %s zu verbinden..." },
    { "_rsEstablishConnection", "Bitte Verbindung zur Kamera herstellen!" },
    { "_rsInProcessing", "Bitte warten. Aktion wird ausgeführt" },
    { "_rsNoViewAvailable", "Keine Ansicht verfügbar" },
    { "_rsShutterModeRefused",
        "Die Kamera lässt den Auslösemodus nicht zu. Dieses Modell kann nicht über den Fernauslöser "
        "auslösen; bitte verwenden Sie die Fernsteuerung." },
    { "_rsInvalidCameraIP",
        "Bitte geben Sie eine gültige Kamera-IP aus dem Bereich 192.168.xxx.xxx ein, oder deaktiviern Sie "
        "diese Option!" },
    { "_rsVersion", "Version" },
    { "_rsLoadPreview", "%d Vorschaubild(er) laden" },
    { "_rsThumbnailProgress", "Vorschaubilder %d/%d" },
    { "_rsNoPreview", "keine Vorschau" },
    { "_rsImportFile", "%d Datei(en) importieren" },
    { "_rsTaskFinished", "Vorgang abgeschlossen" },
    { "_rsTaskFailed", "Vorgang fehlgeschlagen" },
    { "_rsTaskCancelled", "Vorgang abgebrochen" },
    { "_rsThumbnailsFollow", "Vorschaubilder folgen" },
    { "_rsImportCancelledReason", "abgebrochen" },
    { "_rsImportNotCopied", "%d nicht kopiert: %s" },
    { "_rsImportMoreFailed", "… und %d weitere fehlgeschlagen" },
    { "_rsImportFolder", "Zielverzeichnis für Fotoimport auswählen" },
    { "_rsNoSelection", "Sie haben keine Auswahl getroffen!" },
    { "_rsTimeLapseTotal", "%d Intervallaufnahmen" },
    { "_rsTimeLapseInfinite", "unbegrenzte Intervallaufnahmen" },
    { "_rsTimeLapseFailedShots", "%d fehlgeschlagen" },
    { "_rsTakeNumber", "Aufnahme %d" },
    { "_rsFilesInQueue", "%d Datei(en) in der Warteschlange" },
    { "_rsOpenLiveStreamPortFailed",
        "Der Port %d für die Übertragung des Live-Streams konnte nicht geöffnet werden!" },
    { "_rsPleaseChoose", "Bitte wählen" },
    { "_rsDoubleClickToOpen", "Doppelklick zum Öffnen" },
    { "_rsFrom", "vom" },
    { "_rsLiveImportNoShutterMode",
        "Diese Kamera hat keinen reinen Auslösemodus: Live-Import liest ihre Bilder im Wiedergabemodus." },
    { "_rsLiveImportCameraGone",
        "Die Kamera antwortet nicht. Live-Import macht weiter, sobald sie wieder da ist." },
    { "_rsLiveImportTargetGone", "Das Zielverzeichnis fehlt. Die Dateien warten in der Warteschlange." },
    { "_rsLiveImportFailed", "fehlgeschlagen" },
    { "_rsPropertyRefused", "Die Kamera hat %s \"%s\" nicht übernommen." },
    { "_rsDoctorNameUnknown",
        "Der Name \"%s\" ist unbekannt: Der Rechner ist nicht mit dem WLAN der Kamera verbunden oder es gibt "
        "keinen Namensdienst. Versuchen Sie 192.168.0.10." },
    { "_rsDoctorNoConnection",
        "Keine Verbindung zu %s (%s): Der Rechner ist mit einem anderen Netz verbunden, oder das WLAN der "
        "Kamera ist aus oder sie schläft." },
    { "_rsDoctorNotACamera", "%s antwortet, ist aber keine Kamera. Prüfen Sie die Adresse." },
    { "_rsDoctorNotPrivate",
        "Die Kamera ist im Verbindungsmodus \"%s\": Wählen Sie an der Kamera in den "
        "WLAN-Verbindungseinstellungen \"Privat\" und verbinden Sie erneut." },
    { "_rsDoctorLiveViewPortTaken",
        "Der UDP-Port %s für das Livebild ist von einem anderen Programm belegt (%s): Beenden Sie es oder "
        "wählen Sie in den Einstellungen mit \"Portnummer für Live-Stream abweichend von 28488 definieren\" "
        "einen anderen Port." },
    { "_rsDoctorLiveViewNotStarted",
        "Die Kamera beantwortet Befehle, startet aber das Livebild nicht (%s): Schalten Sie die Kamera aus "
        "und wieder ein." },
    { "_rsDoctorNoLiveView",
        "Die Kamera beantwortet Befehle, aber innerhalb von 3 s kam kein Livebild an: Eine Firewall verwirft "
        "UDP an Port %s. Erlauben Sie eingehendes UDP an Port %s." },
    { "_rsDoctorClockOff",
        "Die Uhr der Kamera weicht um %s Minuten von der des Rechners ab: Synchronisieren Sie die "
        "Kamerazeit." },
    { "_rsDoctorClockNoPicture",
        "Auf der Karte ist kein Bild, an dem sich die Uhr der Kamera prüfen lässt: Nehmen Sie ein Bild "
        "auf." },
    { "_rsDoctorClockSetSince",
        "Das letzte Bild entstand, bevor die Uhr der Kamera am %s gestellt wurde; ob sie stimmt, zeigt erst "
        "ein neues Bild." },
};

} // namespace

void RegisterAppTexts()
{
    TNamedTexts::Register(kAppTexts);
}
