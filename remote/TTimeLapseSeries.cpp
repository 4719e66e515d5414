#include "remote/TTimeLapseSeries.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "camera/TCameraParams.h"
#include "camera/WaitFunc.h"
#include "import/TFileLoaderAction.h"
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

} // namespace

TTimeLapseSeries::TTimeLapseSeries(QObject* parent)
    : QObject(parent)
{
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

bool TTimeLapseSeries::Start()
{
    if (m_running)
        return false;
    m_running = true;
    m_started = false;
    m_taken = 0;
    m_failed = 0;
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
    if (MsUntilNextShot() > 0) {
        schedule();
        return;
    }
    takeShot();
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
    if (!shot.Ok) {
        ++m_failed;
        TLogger::LogAlways(
            QStringLiteral("TTimeLapseSeries: shot %1 failed: %2").arg(shot.Number).arg(shot.Reason));
    }
    for (const TShotFile& file : outcome.Files)
        shot.Files << file.FileName;
    const int index = int(m_shots.size());
    if (!DownloadEachShot || DownloadFolder.isEmpty()) {
        shot.Download = QStringLiteral("off");
    } else if (outcome.Files.isEmpty()) {
        shot.Download = QStringLiteral("none");
    } else {
        shot.Download = kPending;
        shot.Outstanding = int(outcome.Files.size());
        for (const TShotFile& file : outcome.Files)
            m_queue.push_back({ index, file, 0 });
    }
    m_shots << shot;
    ShotTaken();
    m_inShot = false;
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
    outcome.Ok = m_shooting->TakePhoto(-1, -1);
    if (!outcome.Ok) {
        outcome.Reason = m_shooting->LastError().isEmpty()
            ? QStringLiteral("the camera did not take the picture")
            : m_shooting->LastError();
        return outcome;
    }
    for (const TCameraImportItem* item : m_shooting->LastTake())
        outcome.Files << TShotFile { item->CameraPath(), item->FileName, item->Size(), item->DateTime() };
    if (outcome.Files.isEmpty() && !m_shooting->LastError().isEmpty())
        outcome.Reason = m_shooting->LastError();
    return outcome;
}

void TTimeLapseSeries::startNextDownload()
{
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
    if (ok) {
        fileDone(done.Shot, done.File.FileName, true, {});
    } else if (forShot) {
        TDownload again = done;
        --again.Attempts;
        m_queue.push_front(again);
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
    startNextDownload();
    while (PendingDownloads() > 0 && m_monotonic.elapsed() < until) {
        Wait(20);
        if (!*alive)
            return false;
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
            { QStringLiteral("ok"), shot.Ok }, { QStringLiteral("reason"), shot.Reason },
            { QStringLiteral("shutterSpeed"), shot.ShutterSpeed },
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
    if (m_failed > 0)
        text += QStringLiteral(" (") + rs("_rsTimeLapseFailedShots", { m_failed }) + QLatin1Char(')');
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
