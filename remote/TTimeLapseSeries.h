#pragma once

#include "remote/TTimeLapseCamera.h"
#include "remote/TTimeLapseDownloads.h"
#include "remote/TTimeLapseExposure.h"
#include "remote/TTimeLapseLog.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class TMetaData;
class TShooting;

// A time-lapse series without widgets: the plan (waiting time, interval of at least one second,
// number of shots, 0 for unlimited), the clock that takes shot n at start + wait + n × interval
// whatever the shots before took. A shot more than half an interval late is not fired but logged as
// missed, so shots never come in a burst. A camera that stops answering is reported; at each slot
// the series asks for it again, and when it is back puts it into recording mode with the series'
// settings and goes on. Also: the display values and the exposure changes and automatic modes
// (Exposure). The camera work, the download of each shot's files between shots and the series log
// are parts of their own (TTimeLapseCamera, TTimeLapseDownloads, TTimeLapseLog).
class TTimeLapseSeries : public QObject
{
    Q_OBJECT

public:
    using TShotFile = TTimeLapseShotFile;
    using TShotOutcome = TTimeLapseShotOutcome;
    using TShot = TTimeLapseShot;

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
    // What the shooting object's last take gave a series: its files only when it was taken and
    // the card lists new files for it, and whether the camera stopped answering.
    TShotOutcome ShotOutcome(bool taken) const;

    static constexpr int ShortestIntervalSeconds = 1;

    // waitSeconds before the first shot, then one every intervalSeconds; takeCount 0 is unlimited.
    void Plan(int waitSeconds, int intervalSeconds, int takeCount);
    // Empty when the plan can run, else the line that says why not (an interval below one second).
    QString PlanError() const;
    // Starts the series; its clock runs at once unless it waits for "Start" (WaitingForStart).
    // False, with LastError, for a plan that cannot run.
    bool Start();
    const QString& LastError() const { return m_lastError; }
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
    // A live view frame: its meter reading feeds the difference modes; LRTimelapse measures the
    // last one against the next shot's record view.
    void LiveFrame(const QByteArray& jpeg, const TMetaData& meta);
    // LRTimelapse: the record view of the shot just taken, measured against the last live frame;
    // false when the camera gave none. A series shooting through SetShooting does it after each
    // shot; the bytes stay in RecordView() for a preview.
    bool MeasureShot();
    const QByteArray& RecordView() const { return m_recordView; }

    // Takes the next shot when it is due; the series timer calls it, tests may too.
    void Tick();
    // The automatic control's second; its timer calls it.
    void AutoTick();

    void PauseClock();
    void ShotTaken();

    int PlannedShots() const { return m_planned; }
    int ShotsTaken() const { return m_taken; }
    int FailedCount() const { return m_failed; }
    int MissedCount() const { return m_missed; }
    // The camera did not answer at the last shot and has not answered since.
    bool IsCameraLost() const { return m_cameraLost; }
    // What the status bar and panel show while the camera is lost; empty otherwise.
    QString CameraText() const;
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

    const QList<TShot>& Shots() const { return m_log.Shots(); }
    // The CSV log's path; empty when there is no download folder.
    const QString& LogFile() const { return m_log.FileName(); }
    static QString CsvHeader() { return TTimeLapseLog::CsvHeader(); }
    static QString CsvLine(const TShot& shot) { return TTimeLapseLog::CsvLine(shot); }
    QJsonArray LogJson() const { return m_log.Json(); }
    int PendingDownloads() const { return m_downloads.Pending(); }
    // Waits while events are processed until every queued file is loaded or given up, at most timeoutMs.
    bool WaitForDownloads(int timeoutMs);

signals:
    void Changed();
    void ShotDone(int number);
    // A limited series took its last shot.
    void Finished();
    // The host starts its timer: the series clock began.
    void Started();
    // The camera stopped answering (false) or is back in recording mode (true).
    void CameraAvailable(bool available);

private:
    qint64 now() const;
    void schedule();
    void takeShot();
    // Logs the next slot as not fired.
    void missShot(const QString& reason);
    // After a failed shot: the camera in recording mode with the series' settings; false while it
    // does not answer.
    bool recover();
    void addShot(TShot shot, const QList<TShotFile>& files);
    void fileDone(int shot, const QString& fileName, bool ok, const QString& why);
    QString measured() const;

    TTimeLapseCamera m_camera;
    TTimeLapseDownloads m_downloads;
    TTimeLapseLog m_log;
    QTimer m_timer;
    QTimer m_autoTimer;
    qint64 m_clockBase = 0;
    QElapsedTimer m_monotonic;
    bool m_running = false;
    bool m_started = false;
    bool m_inShot = false;
    bool m_shotDue = false; // a transfer gives way to the due shot
    int m_waitSeconds = 0;
    int m_intervalSeconds = 0;
    int m_planned = 0;
    int m_taken = 0;
    int m_failed = 0;
    int m_missed = 0;
    bool m_cameraLost = false;
    bool m_recover = false; // the last shot failed: check the camera before the next
    QString m_lastError;
    QByteArray m_lastFrame; // the newest live view frame, for LRTimelapse
    QByteArray m_recordView;
    int m_remaining = 0;
    qint64 m_startMs = 0;
    qint64 m_pauseMs = -1;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
