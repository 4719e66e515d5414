#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// Process-wide settings: the persistent user settings plus the start-up switches of one run.
// The fields are public on purpose; every part of the program reads and writes them directly.
class TSetup
{
public:
    // arguments[0] is the program path; the switches are parsed here, before Load.
    explicit TSetup(const QStringList& arguments = {});
    ~TSetup();

    bool DebugMode = false;
    QString TempDir; // existing folder with a trailing '/', or empty
    bool LvAsTake = false;
    QString DownloadDirectory;
    bool AutoDownload = false;
    bool AutoPreview = false;
    // Each shot of a time-lapse series is downloaded between the shots.
    bool TimeLapseDownload = false;
    QString CameraWLanName;
    QString CameraWLanSSID;
    QString HomeWLanName;
    QString HomeWLanSSID;
    bool WLanAutoConnect = false;
    bool SyncDataTime = false;
    bool SaveFilter = false;
    QString LiveImportFilter;
    bool UseCameraIP = false;
    QString CameraIP; // empty or a validated address in 192.168.0.0/16
    quint32 LanguageId = 1031;
    bool UseInternalViewer = true;
    bool LiveStreamHistogramOn = false;
    bool AutoView = false;
    quint8 GridLines = 0;
    quint32 GridLinesColor = 0xC0C0C0;
    QString LiveViewSize = QStringLiteral("0640x0480");
    quint16 LiveViewPort = 28488;
    // When this program (window or lumivar-cli) last set the camera's clock, in UTC; invalid: never.
    // Stored on its own by NoteClockSet, not by Save, so one front end does not undo the other's.
    QDateTime ClockSetAt;
    bool UseJpegDec = true;
    bool DetailedLog = false;
    bool LiveViewThreaded = true;
    // Hands the live view pictures on to other programs over HTTP on 127.0.0.1.
    bool LiveViewServe = false;
    quint16 LiveViewServePort = 8488;

    // From "/cameraHost HOST[:PORT]"; wins over every stored setting and is never stored.
    QString CameraHostOverride;

    static QString DefaultCameraHost();

    // Where Load and Save go: by default the per-user store QSettings("Kelmarin", "Lumivar")
    // (the registry on Windows). A non-empty path switches to that INI file instead, which is how
    // tests keep away from the user's own settings; an empty path returns to the default store.
    void SetStoreFile(const QString& iniPath);
    QString StoreFile() const { return m_storeFile; }

    void Load();
    void Save();
    // Stores now as ClockSetAt at once; the next Load reads it.
    void NoteClockSet() const;

    QString GetDownloadDirectory() const;
    void SetDownloadDirectory(const QString& text);
    void SetCameraIP(const QString& text);
    QString GetCameraHost() const;

    // True for "192.168.a.b" with a and b of one to three digits, each at most 255.
    static bool IsValidCameraIP(const QString& text);
    // True for a host name or dotted IPv4 address, optionally followed by ":PORT" (1 to 65535).
    static bool IsValidHostAndPort(const QString& text);
    static QString IncludeTrailingPathDelimiter(const QString& path);

private:
    void parseArguments(const QStringList& arguments);
    std::unique_ptr<QSettings> openStore() const;

    QString m_storeFile;
};
