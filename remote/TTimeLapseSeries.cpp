#include "remote/TTimeLapseSeries.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "camera/TCameraModeAction.h"
#include "camera/TCameraParams.h"
#include "camera/WaitFunc.h"
#include "import/TFileLoaderAction.h"
#include "liveview/HistogramCounter.h"
#include "liveview/JpegDec.h"
#include "liveview/TMetaData.h"
#include "remote/TShooting.h"
#include "session/TCamera.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

#include <exception>

namespace {

QString timeText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

const QString kPending = QStringLiteral("pending");

constexpr TNamedText kSeriesTexts[] = {
    { "_rsTimeLapseMissedShots", "%d verpasst" },
    { "_rsTimeLapseIntervalTooShort", "Das Intervall einer Serie muss mindestens eine Sekunde betragen." },
    { "_rsTimeLapseCameraLost",
        "Die Kamera antwortet nicht. Die Serie geht weiter, sobald sie wieder da ist." },
    { "_rsTimeLapseLate", "%d ms zu spät, die Kamera war noch beschäftigt" },
    { "_rsTimeLapseNoNewFile", "die Speicherkarte zeigt keine neue Datei für die Aufnahme" },
    { "_rsTimeLapseStopAsk", "Eine Zeitraffer-Serie läuft. Soll sie beendet werden?" },
};

// A take that waits longer has lost its camera.
constexpr int kSeriesTakeTimeoutMs = 8000;

// What a camera that comes back gets again, in this order (the take mode before its settings).
const char* const kSeriesSettings[]
    = { "takemode", "drivemode", "shutspeedvalue", "focalvalue", "isospeedvalue", "expcomp", "wbvalue" };

} // namespace

TTimeLapseSeries::TTimeLapseSeries(QObject* parent)
    : QObject(parent)
{
    TNamedTexts::Register(kSeriesTexts);
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
    if (m_loader)
        m_loader->OnLoaded = nullptr;
}

qint64 TTimeLapseSeries::now() const
{
    return Clock ? Clock() : m_clockBase + m_monotonic.elapsed();
}

void TTimeLapseSeries::SetShooting(TShooting* shooting)
{
    m_shooting = shooting;
    m_loader.reset();
    TCamera* camera = shooting ? shooting->Camera() : nullptr;
    if (!camera)
        return;
    m_loader = std::make_unique<TFileLoaderAction>(camera->Import.FileLoader.Link);
    m_loader->Probe(nullptr);
    m_loader->OnLoaded = [this](TFileLoaderAction*, bool ok) { onLoaded(ok); };
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
    noteSettings();
    m_remaining = m_planned;
    m_pauseMs = -1;
    m_shots.clear();
    m_logWritten = 0;
    m_startMs = now();
    m_logFile.clear();
    if (!DownloadFolder.isEmpty() && QFileInfo(DownloadFolder).isDir())
        m_logFile = QDir(DownloadFolder)
                        .filePath(QDateTime::fromMSecsSinceEpoch(m_startMs).toString(
                            QStringLiteral("'timelapse-'yyyyMMdd-HHmmss'.csv'")));
    TCamera* camera = m_shooting ? m_shooting->Camera() : nullptr;
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
    TCamera* camera = m_shooting ? m_shooting->Camera() : nullptr;
    if (!camera) {
        m_recover = false;
        return true;
    }
    const std::shared_ptr<bool> alive = m_alive;
    TCameraModeAction& mode = camera->Remote.CameraMode;
    bool back = true;
    try {
        // A camera switched off and on again comes back in play mode.
        // An error answer still shows a camera that is there.
        if (mode.Enabled)
            back = mode.SwitchToMode(TCameraModeAction::ModeRec)
                || mode.LastFailure != TCameraFailure::NoAnswer;
        if (!*alive)
            return false;
        for (int i = 0; back && i < m_settings.size(); ++i) {
            TCameraParam* param = camera->Remote.Params.Find(m_settings.at(i).first);
            if (!param || !param->CanGet)
                continue;
            const bool read = param->Refresh();
            if (!*alive)
                return false;
            back = read || param->LastFailure != TCameraFailure::NoAnswer;
            if (read && param->CanSet
                && param->RawValue.compare(m_settings.at(i).second, Qt::CaseInsensitive))
                param->SetValue(m_settings.at(i).second);
            if (!*alive)
                return false;
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.recover (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        back = false;
    }
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

void TTimeLapseSeries::noteSettings()
{
    m_settings.clear();
    TCamera* camera = m_shooting ? m_shooting->Camera() : nullptr;
    if (!camera)
        return;
    for (const char* name : kSeriesSettings) {
        const TCameraParam* param = camera->Remote.Params.Find(QLatin1String(name));
        if (param && param->Valid && param->CanSet && !param->RawValue.isEmpty())
            m_settings << qMakePair(param->Name, param->RawValue);
    }
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
    TCamera* camera = m_shooting ? m_shooting->Camera() : nullptr;
    if (!camera || !camera->Remote.RecordView.Enabled)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    TRecordViewAction& view = camera->Remote.RecordView;
    bool ok = false;
    try {
        ok = view.Execute();
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TTimeLapseSeries.MeasureShot (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (!*alive)
        return false;
    const QImage shot = ok ? DecodeJpegToBitmap(view.Data) : QImage();
    if (shot.isNull()) {
        // The measurement of this shot is skipped; the series goes on.
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.MeasureShot: no record view"));
        return false;
    }
    m_recordView = view.Data;
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
    // The camera is the shot's: a transfer still running gives way and is tried again after it.
    if (m_current && m_loader) {
        m_cancelledForShot = true;
        m_loader->Cancel();
    }
    TShot shot;
    shot.Number = m_taken + 1;
    shot.PlannedMs = NextDueMs();
    shot.ActualMs = now();
    shot.Measured = measured();
    TShotOutcome outcome;
    try {
        outcome = Shoot ? Shoot() : shootWithShooting();
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.takeShot (Ex): ") + QString::fromUtf8(e.what()));
        outcome = {};
        outcome.Reason = QString::fromUtf8(e.what());
    }
    if (!*alive)
        return;
    shot.Ok = outcome.Ok;
    shot.Reason = outcome.Reason;
    shot.ShutterSpeed = paramValue("shutspeedvalue");
    shot.Aperture = paramValue("focalvalue");
    shot.Iso = paramValue("isospeedvalue");
    shot.ExposureCompensation = paramValue("expcomp");
    const qint64 late = shot.ActualMs - shot.PlannedMs;
    if (late >= 1000)
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries: shot %1 taken %2 ms after its time")
                               .arg(shot.Number)
                               .arg(late));
    if (shot.Ok) {
        m_downloadsWait = false;
        if (!Shoot && Exposure.IsLRT()) {
            MeasureShot();
            if (!*alive)
                return;
        }
        noteSettings();
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
    const int index = int(m_shots.size());
    if (!DownloadEachShot || DownloadFolder.isEmpty()) {
        shot.Download = QStringLiteral("off");
    } else if (files.isEmpty()) {
        shot.Download = QStringLiteral("none");
    } else {
        shot.Download = kPending;
        shot.Outstanding = int(files.size());
        for (const TShotFile& file : files)
            m_queue.push_back({ index, file, 0 });
    }
    m_shots << shot;
    ShotTaken();
    writeLog();
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
    startNextDownload();
}

TTimeLapseSeries::TShotOutcome TTimeLapseSeries::shootWithShooting()
{
    TShotOutcome outcome;
    if (!m_shooting || !m_shooting->Camera()) {
        outcome.Reason = QStringLiteral("no camera");
        return outcome;
    }
    m_shooting->AutoDownload = false;
    m_shooting->AutoPreview = false;
    if (m_shooting->TakeTimeoutMs <= 0)
        m_shooting->TakeTimeoutMs = kSeriesTakeTimeoutMs;
    const std::shared_ptr<bool> alive = m_alive;
    bool taken = m_shooting->TakePhoto(-1, -1);
    if (!*alive)
        return outcome;
    // An error answer to the press took no picture: once more while the slot lasts.
    const TCameraFailure failure = m_shooting->Camera()->Remote.Take.LastFailure;
    if (!taken && failure == TCameraFailure::Status && m_shooting->Camera()->Connected
        && now() - NextDueMs() <= qint64(m_intervalSeconds) * 250) {
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries: shot %1 pressed again").arg(m_taken + 1));
        taken = m_shooting->TakePhoto(-1, -1);
        if (!*alive)
            return outcome;
    }
    return ShotOutcome(taken);
}

TTimeLapseSeries::TShotOutcome TTimeLapseSeries::ShotOutcome(bool taken) const
{
    TShotOutcome outcome;
    outcome.Ok = taken;
    const TCamera* camera = m_shooting ? m_shooting->Camera() : nullptr;
    if (!camera) {
        outcome.Ok = false;
        outcome.CameraGone = true;
        outcome.Reason = rs("_rsNoCamera");
        return outcome;
    }
    outcome.CameraGone
        = !camera || !camera->Connected || camera->Remote.Take.LastFailure == TCameraFailure::NoAnswer;
    if (!outcome.Ok) {
        outcome.Reason = m_shooting->LastError().isEmpty()
            ? QStringLiteral("the camera did not take the picture")
            : m_shooting->LastError();
        return outcome;
    }
    outcome.CameraGone = false;
    for (const TCameraImportItem* item : m_shooting->LastTake())
        outcome.Files << TShotFile { item->CameraPath(), item->FileName, item->Size(), item->DateTime() };
    // The picture may be on the card, but which files are its is not known: none is given as its.
    if (outcome.Files.isEmpty()) {
        outcome.Ok = false;
        outcome.Reason
            = m_shooting->LastError().isEmpty() ? rs("_rsTimeLapseNoNewFile") : m_shooting->LastError();
    }
    return outcome;
}

void TTimeLapseSeries::startNextDownload()
{
    if (m_downloadsWait || m_cameraLost)
        return;
    while (!m_current && !m_inShot && m_loader && !m_queue.empty()) {
        TDownload next = m_queue.front();
        m_queue.pop_front();
        QString why;
        const QString local = TFileLoaderAction::TargetPath(DownloadFolder, next.File.FileName, &why);
        if (local.isEmpty()) {
            fileDone(next.Shot, next.File.FileName, false, why);
            continue;
        }
        ++next.Attempts;
        m_current = std::make_unique<TDownload>(next);
        bool started = false;
        try {
            started
                = m_loader->Load(next.File.CameraPath, { local, next.File.Size, next.File.Modified }, false);
        } catch (const std::exception& e) {
            TLogger::LogAlways(
                QStringLiteral("TTimeLapseSeries.startNextDownload (Ex): ") + QString::fromUtf8(e.what()));
        }
        // A transfer that could not even begin ends here; its completion never comes.
        if (!started && m_current)
            onLoaded(false);
    }
}

void TTimeLapseSeries::onLoaded(bool ok)
{
    if (!m_current)
        return;
    const TDownload done = *m_current;
    m_current.reset();
    const bool forShot = m_cancelledForShot;
    m_cancelledForShot = false;
    // A camera that does not answer uses up no attempt: the file waits until it is back.
    const bool gone = !ok && m_loader && m_loader->LastFailure == TCameraFailure::NoAnswer;
    if (ok) {
        fileDone(done.Shot, done.File.FileName, true, {});
    } else if (forShot || gone) {
        TDownload again = done;
        --again.Attempts;
        m_queue.push_front(again);
        m_downloadsWait = m_downloadsWait || gone;
    } else if (done.Attempts < DownloadAttempts) {
        m_queue.push_back(done);
    } else {
        fileDone(done.Shot, done.File.FileName, false, m_loader ? m_loader->LastError : QString());
    }
    // Not inside the loader's own completion.
    QTimer::singleShot(0, this, [this] { startNextDownload(); });
}

void TTimeLapseSeries::fileDone(int shotIndex, const QString& fileName, bool ok, const QString& why)
{
    if (shotIndex < 0 || shotIndex >= m_shots.size())
        return;
    TShot& shot = m_shots[shotIndex];
    if (!ok) {
        shot.FailedFiles << fileName;
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries: %1 of shot %2 not loaded: %3")
                               .arg(fileName)
                               .arg(shot.Number)
                               .arg(why));
    }
    if (--shot.Outstanding <= 0) {
        shot.Outstanding = 0;
        shot.Download = shot.FailedFiles.isEmpty()
            ? QStringLiteral("ok")
            : QStringLiteral("failed: ") + shot.FailedFiles.join(QLatin1Char(' '));
        writeLog();
        emit Changed();
    }
}

bool TTimeLapseSeries::WaitForDownloads(int timeoutMs)
{
    const std::shared_ptr<bool> alive = m_alive;
    const qint64 until = m_monotonic.elapsed() + timeoutMs;
    m_cameraLost = false;
    m_downloadsWait = false;
    startNextDownload();
    qint64 nextTry = m_monotonic.elapsed() + 1000;
    while (PendingDownloads() > 0 && m_monotonic.elapsed() < until) {
        Wait(20);
        if (!*alive)
            return false;
        // A camera that went away meanwhile is asked again now and then.
        if (m_downloadsWait && m_monotonic.elapsed() >= nextTry) {
            m_downloadsWait = false;
            nextTry = m_monotonic.elapsed() + 1000;
            startNextDownload();
        }
    }
    const bool all = PendingDownloads() == 0;
    if (!all) {
        // Given up: what is left is named in the log as not loaded.
        if (m_loader)
            m_loader->Reset();
        m_current.reset();
        std::deque<TDownload> left;
        left.swap(m_queue);
        for (const TDownload& d : left)
            fileDone(d.Shot, d.File.FileName, false, QStringLiteral("not loaded before the end"));
    }
    writeLog();
    return all;
}

void TTimeLapseSeries::writeLog()
{
    QFile file(m_logFile);
    bool open = false;
    while (m_logWritten < m_shots.size() && m_shots.at(m_logWritten).Download != kPending) {
        if (!m_logFile.isEmpty()) {
            if (!open) {
                const bool fresh = !file.exists();
                open = file.open(QIODevice::Append | QIODevice::Text);
                if (!open) {
                    TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.writeLog: %1: %2")
                                           .arg(m_logFile, file.errorString()));
                    m_logFile.clear();
                    continue;
                }
                if (fresh)
                    file.write((CsvHeader() + QLatin1Char('\n')).toUtf8());
            }
            file.write((CsvLine(m_shots.at(m_logWritten)) + QLatin1Char('\n')).toUtf8());
        }
        m_shots[m_logWritten].Written = true;
        ++m_logWritten;
    }
}

QString TTimeLapseSeries::CsvHeader()
{
    return QStringLiteral("shot,planned,actual,delay_ms,result,shutter_speed,aperture,iso,"
                          "exposure_compensation,measured,files,download");
}

QString TTimeLapseSeries::CsvLine(const TShot& shot)
{
    const QStringList fields = { QString::number(shot.Number), timeText(shot.PlannedMs),
        timeText(shot.ActualMs), QString::number(shot.ActualMs - shot.PlannedMs),
        shot.Ok ? QStringLiteral("ok") : shot.Reason, shot.ShutterSpeed, shot.Aperture, shot.Iso,
        shot.ExposureCompensation, shot.Measured, shot.Files.join(QLatin1Char(' ')), shot.Download };
    QStringList quoted;
    for (const QString& field : fields)
        quoted << csvField(field);
    return quoted.join(QLatin1Char(','));
}

QJsonArray TTimeLapseSeries::LogJson() const
{
    QJsonArray shots;
    for (const TShot& shot : m_shots) {
        shots.append(QJsonObject { { QStringLiteral("shot"), shot.Number },
            { QStringLiteral("planned"), timeText(shot.PlannedMs) },
            { QStringLiteral("actual"), timeText(shot.ActualMs) },
            { QStringLiteral("delayMs"), double(shot.ActualMs - shot.PlannedMs) },
            { QStringLiteral("ok"), shot.Ok }, { QStringLiteral("missed"), shot.Missed },
            { QStringLiteral("reason"), shot.Reason }, { QStringLiteral("shutterSpeed"), shot.ShutterSpeed },
            { QStringLiteral("aperture"), shot.Aperture }, { QStringLiteral("iso"), shot.Iso },
            { QStringLiteral("exposureCompensation"), shot.ExposureCompensation },
            { QStringLiteral("measured"), shot.Measured },
            { QStringLiteral("files"), QJsonArray::fromStringList(shot.Files) },
            { QStringLiteral("download"), shot.Download } });
    }
    return shots;
}

QString TTimeLapseSeries::measured() const
{
    if (!Exposure.IsAuto())
        return {};
    return Exposure.IsLRT() ? QString::asprintf("%.3f", Exposure.Average())
                            : QString::asprintf("%.1f", Exposure.Average());
}

QString TTimeLapseSeries::paramValue(const char* name) const
{
    TCamera* camera = m_shooting ? m_shooting->Camera() : nullptr;
    if (!camera)
        return {};
    const TCameraParam* param = camera->Remote.Params.Find(QLatin1String(name));
    return param && param->Valid ? param->Value : QString();
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
