#pragma once

#include "remote/TTimeLapseExposure.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

class TCamera;
class TFileLoaderAction;
class TShooting;

// A time-lapse series without widgets: the plan (waiting time, interval, number of shots, 0 for
// unlimited), the clock that takes shot n at start + wait + n × interval whatever the shots before
// took (a late shot delays only itself and is logged), the display values, the exposure changes
// and automatic modes (Exposure), the download of each shot in the background between shots (a
// transfer still running when a shot is due is stopped and retried after it) and the series log,
// one CSV line per shot beside the pictures.
class TTimeLapseSeries : public QObject
{
    Q_OBJECT

public:
    // A file a shot left on the card.
    struct TShotFile
    {
        QString CameraPath;
        QString FileName;
        qint64 Size = -1;
        QDateTime Modified;
    };
    // What taking one picture gave.
    struct TShotOutcome
    {
        bool Ok = false;
        QString Reason; // why it failed
        QList<TShotFile> Files;
    };
    // One line of the series log.
    struct TShot
    {
        int Number = 0; // 1, 2, ...
        qint64 PlannedMs = 0;
        qint64 ActualMs = 0;
        bool Ok = false;
        QString Reason;
        QString ShutterSpeed, Aperture, Iso, ExposureCompensation;
        QString Measured; // the automatic mode's average at the shot; empty without one
        QStringList Files;
        QString Download; // "ok", "failed: ...", "pending", "off", "none"
        int Attempts = 0;
        int Outstanding = 0; // files of this shot not yet finally loaded or given up
        QStringList FailedFiles;
        bool Written = false;
    };

    explicit TTimeLapseSeries(QObject* parent = nullptr);
    ~TTimeLapseSeries() override;

    // Milliseconds since the epoch; none: the wall time at construction advanced by a monotonic clock.
    std::function<qint64()> Clock;
    // Takes one picture; none: through the shooting object given to SetShooting.
    std::function<TShotOutcome()> Shoot;
    // Each shot's files into DownloadFolder, and the log file there.
    bool DownloadEachShot = false;
    QString DownloadFolder;
    // Failed transfers of a file are tried this often in all.
    int DownloadAttempts = 3;
    bool DetailedLog = false;

    TTimeLapseExposure Exposure;

    // Shots through shooting's TakePhoto, files through a loader of the camera's link.
    void SetShooting(TShooting* shooting);

    // waitSeconds before the first shot, then one every intervalSeconds; takeCount 0 is unlimited.
    void Plan(int waitSeconds, int intervalSeconds, int takeCount);
    // Starts the series; its clock runs at once unless it waits for "Start" (WaitingForStart).
    bool Start();
    // The "Start" of the automatic modes.
    void PressStart();
    // Ends the series; downloads already queued go on (WaitForDownloads), the log is completed.
    void Stop();
    bool IsRunning() const { return m_running; }
    bool IsStarted() const { return m_started; }
    bool WaitingForStart() const { return m_running && !m_started; }

    // The planned time of shot index (0-based), and of the next one.
    qint64 DueMs(int index) const;
    qint64 NextDueMs() const { return DueMs(m_taken); }
    qint64 MsUntilNextShot() const;
    // Takes the next shot when it is due; the series timer calls it, tests may too.
    void Tick();
    // The automatic control's second; its timer calls it.
    void AutoTick();

    void PauseClock();
    void ShotTaken();

    int PlannedShots() const { return m_planned; }
    int ShotsTaken() const { return m_taken; }
    int FailedCount() const { return m_failed; }
    // Counts down for a limited series; below 0 for an unlimited one (-1, -2, ...).
    int ShotsRemaining() const { return m_remaining; }
    int WaitSeconds() const { return m_waitSeconds; }
    int IntervalSeconds() const { return m_intervalSeconds; }
    QString FrameText() const;
    QString ElapsedText() const;
    QString RemainingText() const;
    QString IntervalText() const;
    // "hh:mm:ss" as a time of day: hours above 23 wrap, a negative duration shows its magnitude.
    static QString ClockText(qint64 ms);

    const QList<TShot>& Shots() const { return m_shots; }
    // The CSV log's path; empty when there is no download folder.
    const QString& LogFile() const { return m_logFile; }
    static QString CsvHeader();
    static QString CsvLine(const TShot& shot);
    QJsonArray LogJson() const;
    int PendingDownloads() const { return int(m_queue.size()) + (m_current ? 1 : 0); }
    // Waits while events are processed until every queued file is loaded or given up, at most timeoutMs.
    bool WaitForDownloads(int timeoutMs);

signals:
    void Changed();
    void ShotDone(int number);
    // A limited series took its last shot.
    void Finished();
    // The host starts its timer: the series clock began.
    void Started();

private:
    struct TDownload
    {
        int Shot = 0; // index into m_shots
        TShotFile File;
        int Attempts = 0;
    };

    qint64 now() const;
    void schedule();
    void takeShot();
    TShotOutcome shootWithShooting();
    void startNextDownload();
    void onLoaded(bool ok);
    void fileDone(int shot, const QString& fileName, bool ok, const QString& why);
    void writeLog();
    QString measured() const;
    QString paramValue(const char* name) const;

    TShooting* m_shooting = nullptr;
    std::unique_ptr<TFileLoaderAction> m_loader;
    QTimer m_timer;
    QTimer m_autoTimer;
    qint64 m_clockBase = 0;
    QElapsedTimer m_monotonic;
    bool m_running = false;
    bool m_started = false;
    bool m_inShot = false;
    int m_waitSeconds = 0;
    int m_intervalSeconds = 0;
    int m_planned = 0;
    int m_taken = 0;
    int m_failed = 0;
    int m_remaining = 0;
    qint64 m_startMs = 0;
    qint64 m_pauseMs = -1;
    QList<TShot> m_shots;
    std::deque<TDownload> m_queue;
    std::unique_ptr<TDownload> m_current;
    bool m_cancelledForShot = false;
    QString m_logFile;
    int m_logWritten = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
