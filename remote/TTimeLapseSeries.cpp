#include "remote/TTimeLapseSeries.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "liveview/HistogramCounter.h"
#include "liveview/JpegDec.h"
#include "liveview/TMetaData.h"
#include "session/TCamera.h"

#include <exception>

namespace {

constexpr TNamedText kSeriesTexts[] = {
    { "_rsTimeLapseMissedShots", "%d verpasst" },
    { "_rsTimeLapseIntervalTooShort", "Das Intervall einer Serie muss mindestens eine Sekunde betragen." },
    { "_rsTimeLapseCameraLost",
        "Die Kamera antwortet nicht. Die Serie geht weiter, sobald sie wieder da ist." },
    { "_rsTimeLapseLate", "%d ms zu spät, die Kamera war noch beschäftigt" },
    { "_rsTimeLapseNoNewFile", "die Speicherkarte zeigt keine neue Datei für die Aufnahme" },
    { "_rsTimeLapseStopAsk", "Eine Zeitraffer-Serie läuft. Soll sie beendet werden?" },
};

} // namespace

TTimeLapseSeries::TTimeLapseSeries(QObject* parent)
    : QObject(parent)
{
    TNamedTexts::Register(kSeriesTexts);
    m_downloads.FileDone = [this](int shot, const QString& fileName, bool ok, const QString& why) {
        fileDone(shot, fileName, ok, why);
    };
    m_downloads.IsHeld = [this] { return m_inShot || m_shotDue || m_cameraLost; };
    // The transfer the due shot waited for has ended: the shot goes first.
    m_downloads.GaveWay = [this] {
        if (m_shotDue)
            m_timer.start(0);
    };
    m_clockBase = QDateTime::currentMSecsSinceEpoch();
    m_monotonic.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TTimeLapseSeries::Tick);
    m_autoTimer.setInterval(1000);
    connect(&m_autoTimer, &QTimer::timeout, this, &TTimeLapseSeries::AutoTick);
}

TTimeLapseSeries::~TTimeLapseSeries()
{
    *m_alive = false;
}

qint64 TTimeLapseSeries::now() const
{
    return Clock ? Clock() : m_clockBase + m_monotonic.elapsed();
}

void TTimeLapseSeries::SetShooting(TShooting* shooting)
{
    m_camera.SetShooting(shooting);
    m_downloads.SetCamera(m_camera.Camera());
}

void TTimeLapseSeries::Plan(int waitSeconds, int intervalSeconds, int takeCount)
{
    m_waitSeconds = qMax(0, waitSeconds);
    m_intervalSeconds = qMax(0, intervalSeconds);
    m_planned = qMax(0, takeCount);
}

QString TTimeLapseSeries::PlanError() const
{
    if (m_intervalSeconds < ShortestIntervalSeconds)
        return rs("_rsTimeLapseIntervalTooShort");
    return {};
}

bool TTimeLapseSeries::Start()
{
    if (m_running)
        return false;
    m_lastError = PlanError();
    if (!m_lastError.isEmpty())
        return false;
    m_running = true;
    m_started = false;
    m_taken = 0;
    m_failed = 0;
    m_missed = 0;
    m_cameraLost = false;
    m_recover = false;
    m_camera.NoteSettings();
    m_remaining = m_planned;
    m_pauseMs = -1;
    m_startMs = now();
    m_log.Begin(DownloadFolder, m_startMs);
    TCamera* camera = m_camera.Camera();
    Exposure.DetailedLog = DetailedLog;
    Exposure.Reset(camera ? &camera->Remote.Params : nullptr);
    m_autoTimer.start();
    if (!Exposure.IsStartShown())
        PressStart();
    emit Changed();
    return true;
}

void TTimeLapseSeries::PressStart()
{
    if (!m_running || m_started)
        return;
    m_started = true;
    Exposure.SetStarted(true);
    m_startMs = now();
    schedule();
    emit Started();
    emit Changed();
}

void TTimeLapseSeries::Stop()
{
    m_running = false;
    m_started = false;
    m_shotDue = false;
    m_timer.stop();
    m_autoTimer.stop();
    Exposure.SetStarted(false);
    emit Changed();
}

qint64 TTimeLapseSeries::DueMs(int index) const
{
    return m_startMs + qint64(m_waitSeconds) * 1000 + qint64(index) * m_intervalSeconds * 1000;
}

qint64 TTimeLapseSeries::MsUntilNextShot() const
{
    return NextDueMs() - now();
}

void TTimeLapseSeries::schedule()
{
    if (!m_running || !m_started)
        return;
    m_timer.start(int(qBound<qint64>(0, MsUntilNextShot(), qint64(24) * 3600 * 1000)));
}

void TTimeLapseSeries::Tick()
{
    if (!m_running || !m_started || m_inShot)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    // A slot more than half an interval past is not fired late: the shots would come in a burst.
    const qint64 half = qint64(m_intervalSeconds) * 500;
    while (m_running && now() - NextDueMs() > half) {
        missShot(m_cameraLost ? rs("_rsNoCamera") : rs("_rsTimeLapseLate", { int(now() - NextDueMs()) }));
        if (!*alive)
            return;
    }
    if (!m_running)
        return;
    if (MsUntilNextShot() > 0) {
        schedule();
        return;
    }
    if (m_downloads.IsRunning()) {
        // A file is in transfer: the camera gets one request at a time. The transfer gives way and
        // the shot follows once it has ended.
        m_shotDue = true;
        m_downloads.YieldToShot();
        return;
    }
    m_shotDue = false;
    if (m_recover) {
        m_inShot = true;
        const bool back = recover();
        if (!*alive)
            return;
        m_inShot = false;
        if (!back) {
            // Asked again at the next slot.
            if (now() - NextDueMs() <= half) {
                missShot(rs("_rsNoCamera"));
                if (!*alive)
                    return;
            }
            if (m_running)
                schedule();
            return;
        }
        // The recovery took its time: the slot may have passed meanwhile.
        if (now() - NextDueMs() > half) {
            schedule();
            return;
        }
    }
    takeShot();
}

void TTimeLapseSeries::missShot(const QString& reason)
{
    TShot shot;
    shot.Number = m_taken + 1;
    shot.PlannedMs = NextDueMs();
    shot.ActualMs = now();
    shot.Missed = true;
    shot.Reason = QStringLiteral("missed: ") + reason;
    ++m_missed;
    TLogger::LogAlways(QStringLiteral("TTimeLapseSeries: shot %1 %2").arg(shot.Number).arg(shot.Reason));
    addShot(shot, {});
}

bool TTimeLapseSeries::recover()
{
    if (!m_camera.Camera()) {
        m_recover = false;
        return true;
    }
    const std::shared_ptr<bool> alive = m_alive;
    const bool back = m_camera.Restore();
    if (!*alive)
        return false;
    m_recover = !back;
    if (m_cameraLost == back) {
        m_cameraLost = !back;
        TLogger::LogAlways(back ? QStringLiteral("TTimeLapseSeries: the camera is back")
                                : QStringLiteral("TTimeLapseSeries: the camera does not answer"));
        emit CameraAvailable(back);
        if (!*alive)
            return false;
        emit Changed();
    }
    return back;
}

void TTimeLapseSeries::LiveFrame(const QByteArray& jpeg, const TMetaData& meta)
{
    if (!m_running || m_inShot || !Exposure.IsAuto())
        return;
    if (Exposure.IsLRT())
        m_lastFrame = jpeg;
    else
        Exposure.EvReadings.Add(meta.GetExposureCompensation() / 10.0);
}

bool TTimeLapseSeries::MeasureShot()
{
    const std::shared_ptr<bool> alive = m_alive;
    QByteArray jpeg;
    QImage shot;
    const bool ok = m_camera.RecordView(jpeg, shot);
    if (!*alive || !ok)
        return false;
    m_recordView = jpeg;
    HistogramCounter record;
    record.Count(shot);
    HistogramCounter live;
    if (!m_lastFrame.isEmpty())
        live.Count(DecodeJpegToBitmap(m_lastFrame));
    Exposure.AddShotMeasurement(record.LRTimelapseValue(), live.MaxMean(), record.MaxMean());
    return true;
}

QString TTimeLapseSeries::CameraText() const
{
    return m_cameraLost ? rs("_rsTimeLapseCameraLost") : QString();
}

void TTimeLapseSeries::AutoTick()
{
    if (m_running && !m_inShot)
        Exposure.AutoTick();
}

void TTimeLapseSeries::PauseClock()
{
    m_pauseMs = now();
    emit Changed();
}

void TTimeLapseSeries::ShotTaken()
{
    ++m_taken;
    m_remaining = m_planned > 0 ? m_planned - m_taken : -m_taken;
    m_pauseMs = -1;
    emit Changed();
}

void TTimeLapseSeries::takeShot()
{
    const std::shared_ptr<bool> alive = m_alive;
    m_inShot = true;
    m_timer.stop();
    PauseClock();
    TShot shot;
    shot.Number = m_taken + 1;
    shot.PlannedMs = NextDueMs();
    shot.ActualMs = now();
    shot.Measured = measured();
    TShotOutcome outcome;
    try {
        outcome = Shoot ? Shoot() : m_camera.Shoot(shot.Number, [this] {
            // An error answer to the press: once more while the first quarter of the slot lasts.
            return now() - NextDueMs() <= qint64(m_intervalSeconds) * 250;
        });
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.takeShot (Ex): ") + QString::fromUtf8(e.what()));
        outcome = {};
        outcome.Reason = QString::fromUtf8(e.what());
    }
    if (!*alive)
        return;
    shot.Ok = outcome.Ok;
    shot.Reason = outcome.Reason;
    shot.ShutterSpeed = m_camera.ParamValue("shutspeedvalue");
    shot.Aperture = m_camera.ParamValue("focalvalue");
    shot.Iso = m_camera.ParamValue("isospeedvalue");
    shot.ExposureCompensation = m_camera.ParamValue("expcomp");
    const qint64 late = shot.ActualMs - shot.PlannedMs;
    if (late >= 1000)
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries: shot %1 taken %2 ms after its time")
                               .arg(shot.Number)
                               .arg(late));
    if (shot.Ok) {
        m_downloads.Resume();
        if (!Shoot && Exposure.IsLRT()) {
            MeasureShot();
            if (!*alive)
                return;
        }
        m_camera.NoteSettings();
    } else {
        ++m_failed;
        // The next slot first looks for the camera and its settings.
        m_recover = true;
        TLogger::LogAlways(
            QStringLiteral("TTimeLapseSeries: shot %1 failed: %2").arg(shot.Number).arg(shot.Reason));
    }
    m_inShot = false;
    if (outcome.CameraGone && !m_cameraLost) {
        m_cameraLost = true;
        emit CameraAvailable(false);
        if (!*alive)
            return;
    }
    // A failed shot has no files, whatever the card lists.
    addShot(shot, shot.Ok ? outcome.Files : QList<TShotFile>());
}

void TTimeLapseSeries::addShot(TShot shot, const QList<TShotFile>& files)
{
    const std::shared_ptr<bool> alive = m_alive;
    for (const TShotFile& file : files)
        shot.Files << file.FileName;
    const int index = int(m_log.Shots().size());
    if (!DownloadEachShot || DownloadFolder.isEmpty()) {
        shot.Download = QStringLiteral("off");
    } else if (files.isEmpty()) {
        shot.Download = QStringLiteral("none");
    } else {
        shot.Download = TTimeLapseLog::Pending();
        shot.Outstanding = int(files.size());
        m_downloads.Folder = DownloadFolder;
        m_downloads.Attempts = DownloadAttempts;
        for (const TShotFile& file : files)
            m_downloads.Add(index, file);
    }
    m_log.Add(shot);
    ShotTaken();
    m_log.Write();
    emit ShotDone(shot.Number);
    if (!*alive)
        return;
    if (m_running && m_planned > 0 && m_taken >= m_planned) {
        Stop();
        emit Finished();
        if (!*alive)
            return;
    } else {
        schedule();
    }
    m_downloads.StartNext();
}

TTimeLapseSeries::TShotOutcome TTimeLapseSeries::ShotOutcome(bool taken) const
{
    return m_camera.Outcome(taken);
}

void TTimeLapseSeries::fileDone(int shotIndex, const QString& fileName, bool ok, const QString& why)
{
    if (m_log.FileDone(shotIndex, fileName, ok, why))
        emit Changed();
}

bool TTimeLapseSeries::WaitForDownloads(int timeoutMs)
{
    const std::shared_ptr<bool> alive = m_alive;
    m_cameraLost = false;
    m_downloads.Folder = DownloadFolder;
    m_downloads.Attempts = DownloadAttempts;
    const bool all = m_downloads.WaitAll(timeoutMs);
    if (!*alive)
        return false;
    m_log.Write();
    return all;
}

QString TTimeLapseSeries::measured() const
{
    if (!Exposure.IsAuto())
        return {};
    return Exposure.IsLRT() ? QString::asprintf("%.3f", Exposure.Average())
                            : QString::asprintf("%.1f", Exposure.Average());
}

QString TTimeLapseSeries::ClockText(qint64 ms)
{
    const qint64 seconds = (ms < 0 ? -ms : ms) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600 % 24, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString TTimeLapseSeries::FrameText() const
{
    QString text
        = m_planned == 0 ? QString::number(m_taken) : QStringLiteral("%1/%2").arg(m_taken).arg(m_planned);
    // A failed shot counts as taken; the photographer must see that it left no picture.
    QStringList notes;
    if (m_failed > 0)
        notes << rs("_rsTimeLapseFailedShots", { m_failed });
    if (m_missed > 0)
        notes << rs("_rsTimeLapseMissedShots", { m_missed });
    if (!notes.isEmpty())
        text += QStringLiteral(" (") + notes.join(QStringLiteral(", ")) + QLatin1Char(')');
    return text;
}

QString TTimeLapseSeries::ElapsedText() const
{
    return ClockText(m_started ? now() - m_startMs : 0);
}

QString TTimeLapseSeries::RemainingText() const
{
    return ClockText(m_started ? MsUntilNextShot() : 0);
}

QString TTimeLapseSeries::IntervalText() const
{
    return ClockText(qint64(m_intervalSeconds) * 1000);
}
