#include "remote/TShooting.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "remote/RemoteControlRules.h"
#include "session/TCamera.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <exception>

namespace {

constexpr TNamedText kShootingTexts[] = {
    { "_rsShotFailed", "Die Aufnahme ist fehlgeschlagen: %s" },
    { "_rsShotNotEnded", "Die Aufnahme konnte nicht beendet werden: %s" },
    { "_rsMovieNotStarted", "Die Filmaufnahme konnte nicht gestartet werden: %s" },
    { "_rsMovieNotEnded", "Die Filmaufnahme konnte nicht beendet werden: %s" },
    { "_rsMovieInterrupted", "Die Filmaufnahme wurde unterbrochen: %s" },
    { "_rsFocusFailed", "Die Kamera konnte nicht scharfstellen: %s" },
    { "_rsLastTakeNotListed", "Die Dateien der Aufnahme konnten nicht gelesen werden: %s" },
    { "_rsPreviewFailed", "Das Vorschaubild konnte nicht geladen werden: %s" },
    { "_rsFrameNotStored", "Das Live-Bild konnte nicht gespeichert werden: %s" },
    { "_rsNoCameraAnswer", "die Kamera antwortet nicht" },
    { "_rsCameraRefused", "die Kamera hat den Befehl abgelehnt" },
    { "_rsCameraAnswered", "Antwort der Kamera: %s" },
    { "_rsNoCamera", "keine Verbindung zur Kamera" },
    { "_rsDownloadFolderMissing", "Der Zielordner %s existiert nicht" },
};

} // namespace

QString TShooting::clockText(qint64 ms, bool withHours)
{
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    const QString minutesAndSeconds
        = QStringLiteral("%1:%2")
              .arg((withHours ? seconds / 60 % 60 : seconds / 60), 2, 10, QLatin1Char('0'))
              .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (!withHours)
        return minutesAndSeconds;
    return QStringLiteral("%1:").arg(seconds / 3600, 2, 10, QLatin1Char('0')) + minutesAndSeconds;
}

QString TShooting::reasonOf(const TCamera* camera, const TBaseAction& action, const QString& answer)
{
    if (!camera || !camera->Connected)
        return rs("_rsNoCamera");
    switch (action.LastFailure) {
    case TCameraFailure::NoAnswer:
    case TCameraFailure::Cancelled:
        return rs("_rsNoCameraAnswer");
    case TCameraFailure::None:
        if (!answer.isEmpty())
            return rs("_rsCameraAnswered", { answer });
        return rs("_rsCameraRefused");
    default:
        return rs("_rsCameraRefused");
    }
}

bool TShooting::cameraGone(const TCamera* camera, const TBaseAction& action)
{
    return !camera || !camera->Connected || action.LastFailure == TCameraFailure::NoAnswer;
}

TShooting::TShooting(QObject* parent)
    : QObject(parent)
{
    TNamedTexts::Register(kShootingTexts);
    connect(&m_liveTimeTimer, &QTimer::timeout, this, [this] { LiveTimeTick(); });
    connect(&m_checkTimer, &QTimer::timeout, this, [this] { CheckTick(); });
    connect(&m_selfTimer, &QTimer::timeout, this, [this] { SelfTimerTick(); });
    connect(&m_movieTimer, &QTimer::timeout, this, [this] { MovieTick(); });
    m_holdTimer.setSingleShot(true);
    m_holdTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_holdTimer, &QTimer::timeout, this, [this] { HoldTick(); });
}

TShooting::~TShooting()
{
    *m_alive = false;
}

qint64 TShooting::now() const
{
    return Clock ? Clock() : QDateTime::currentMSecsSinceEpoch();
}

void TShooting::trace(const QString& line) const
{
    if (DetailedLog)
        TLogger::LogTrace(line);
}

void TShooting::begin()
{
    ++m_open;
    emit Communication(TCommunication::Begin());
}

void TShooting::end()
{
    // Never more ends than begins, whatever path led here.
    if (m_open <= 0)
        return;
    --m_open;
    emit Communication(TCommunication::End());
}

void TShooting::freeRegions(quint8 regions)
{
    m_freeRegions = regions;
    emit Communication(TCommunication::NewFreeRegions({}));
}

void TShooting::releaseHeld()
{
    if (!m_held)
        return;
    m_held = false;
    end();
}

void TShooting::fail(const QString& text)
{
    // A failed take or listing may leave a file nobody knows to be its: the next press lists first.
    m_shotFiles.Forget();
    m_lastError = text;
    TLogger::LogAlways(QStringLiteral("TfraRemoteControl: ") + text);
    emit Error(text);
}

void TShooting::SetCamera(TCamera* camera)
{
    m_liveTimeTimer.stop();
    m_checkTimer.stop();
    m_selfTimer.stop();
    m_movieTimer.stop();
    m_holdTimer.stop();
    ++m_generation;
    m_camera = camera;
    m_shotFiles.SetCamera(camera);
    m_takeButton = m_timerDrive ? ButtonSelfTimer : ButtonNormal;
    m_longExposure = false;
    m_buttonHeld = false;
    m_selfTimerRunning = false;
    m_selfTimerSeconds = 0;
    m_movieRecording = false;
    m_lastTake.Clear();
    m_lastTakeInfo.clear();
    m_previewData.clear();
    m_failedFiles.clear();
    m_lastError.clear();
    releaseHeld();
    emit Changed();
}

void TShooting::SetModes(bool liveTime, bool liveBulb, bool sequential, bool timerDrive)
{
    m_liveTime = liveTime;
    m_liveBulb = liveBulb;
    m_sequential = sequential;
    m_timerDrive = timerDrive;
    if (m_takeButton != ButtonStop)
        m_takeButton = timerDrive ? ButtonSelfTimer : ButtonNormal;
    emit Changed();
}

void TShooting::DeriveModes()
{
    if (!m_camera)
        return;
    const RemoteControlRules::TShootingModes modes = RemoteControlRules::ModesOf(m_camera->Remote.Params);
    SetModes(modes.LiveTime, modes.LiveBulb, modes.Sequential, modes.TimerDrive);
}

bool TShooting::isTakeUsable() const
{
    return m_camera && m_camera->Connected && m_camera->Remote.Take.Enabled;
}

void TShooting::abandon(bool begun, const std::shared_ptr<bool>& alive)
{
    if (begun) {
        sendStopTake();
        if (!*alive)
            return;
    }
    end();
    freeRegions(RegionNone);
}

bool TShooting::sendStopTake()
{
    return m_camera && m_camera->Remote.Take.Take(TakeTimeoutMs, TTakeAction::StopTake);
}

bool TShooting::saveFrame()
{
    m_lastFrameFile.clear();
    const QString folder = QDir(TempDir).filePath(QStringLiteral("LiveView"));
    // Only where the user prepared the folder.
    if (TempDir.isEmpty() || !QFileInfo(folder).isDir())
        return true;
    const QByteArray frame = LastFrame ? LastFrame() : QByteArray();
    if (frame.isEmpty())
        return true;
    const QString stem = QDateTime::fromMSecsSinceEpoch(now()).toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".jpg"));
    // Two takes within one millisecond keep both frames.
    for (int n = 1; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1-%2.jpg").arg(stem).arg(n));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(frame) != frame.size() || !file.commit()) {
        fail(rs("_rsFrameNotStored", { path + QStringLiteral(": ") + file.errorString() }));
        return false;
    }
    m_lastFrameFile = path;
    return true;
}

void TShooting::stopLiveTimeClock()
{
    m_liveTimeTimer.stop();
}

void TShooting::LiveTimeTick()
{
    trace(QStringLiteral("TfraRemoteControl.TakePhoto: Zeitanzeige für Livetime aufrufen"));
    emit LiveTime(LiveTimeText());
    trace(QStringLiteral("TfraRemoteControl.TakePhoto: Zeitanzeige für Livetime aufgerufen"));
}

QString TShooting::LiveTimeText() const
{
    return clockText(now() - m_liveTimeStart, false);
}

bool TShooting::TakePhoto(int x, int y)
{
    const std::shared_ptr<bool> alive = m_alive;
    trace(QStringLiteral("TfraRemoteControl.TakePhoto: Routine betreten"));
    // A second take while the first one waits for the camera would only be refused by it.
    if (isLongExposureMode() || m_sending)
        return false;
    const quint64 generation = m_generation;
    m_lastTakeOk = false;
    if (!m_held)
        begin();
    m_held = false; // this call ends or keeps it below
    m_lastError.clear();
    bool result = isTakeUsable();
    const bool wasStopMode = m_takeButton == ButtonStop;
    bool completed = false;
    try {
        if (!result) {
            fail(rs("_rsShotFailed", { rs("_rsNoCamera") }));
        } else if (!wasStopMode) {
            // The live view frame stands for one picture, also in LIVETIME mode.
            const bool liveTime = m_liveTime && !LvAsTake;
            if (!beforePress(generation, alive))
                return false;
            if (liveTime) {
                m_liveTimeStart = now();
                m_liveTimeTimer.start(LiveTimeIntervalMs);
            }
            trace(QStringLiteral("TfraRemoteControl.TakePhoto: Aufnahme starten"));
            TTakeAction& take = m_camera->Remote.Take;
            if (LvAsTake) {
                result = saveFrame();
            } else {
                m_sending = true;
                m_pressed.start();
                const bool sent = x >= 0 && y >= 0 ? take.TakeAt(TakeTimeoutMs, TTakeAction::StartTake, x, y)
                                                   : take.Take(TakeTimeoutMs, TTakeAction::StartTake);
                if (!*alive)
                    return false;
                m_sending = false;
                result = sent && take.IsOK();
                if (generation != m_generation) {
                    // Left while the camera was asked: an exposure begun now has nobody to end it.
                    stopLiveTimeClock();
                    abandon(result && liveTime, alive);
                    return false;
                }
                if (!result)
                    fail(rs("_rsShotFailed", { reasonOf(m_camera, take, take.TakeResult) }));
            }
            if (result) {
                trace(QStringLiteral("TfraRemoteControl.TakePhoto: Aufnahme gestartet"));
                if (liveTime) {
                    trace(QStringLiteral(
                        "TfraRemoteControl.TakePhoto: Aufnahmeschaltfläche in Stoppmodus versetzen"));
                    m_takeButton = ButtonStop;
                    m_held = true;
                    freeRegions(RegionTakeButton | RegionLiveView);
                    startHold();
                    emit Changed();
                } else {
                    completed = true;
                }
            } else {
                stopLiveTimeClock();
            }
        } else {
            // The second take of a LIVETIME exposure.
            stopLiveTimeClock();
            m_holdTimer.stop();
            trace(QStringLiteral("TfraRemoteControl.TakePhoto: Livetime beenden"));
            result = sendStopTake();
            if (!*alive)
                return false;
            trace(QStringLiteral("TfraRemoteControl.TakePhoto: Livetime beendet"));
            if (!result)
                fail(rs("_rsShotNotEnded", { reasonOf(m_camera, m_camera->Remote.Take, {}) }));
            // Also after a failed stop: a button left in stop mode would lock the page to a camera
            // that may never answer again.
            trace(QStringLiteral("TfraRemoteControl.TakePhoto: Aufnahmeschaltfläche zurücksetzen"));
            m_takeButton = m_timerDrive ? ButtonSelfTimer : ButtonNormal;
            freeRegions(RegionNone);
            emit Changed();
            completed = result;
        }
        if (completed)
            afterShot(alive);
        if (!*alive)
            return result;
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.TakePhoto (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        stopLiveTimeClock();
        m_takeButton = m_timerDrive ? ButtonSelfTimer : ButtonNormal;
        m_held = false;
        result = false;
    }
    m_lastTakeOk = result;
    if (!result)
        trace(QStringLiteral("TfraRemoteControl.TakePhoto: Result = False (1)"));
    if (!m_held) {
        end();
        freeRegions(RegionNone);
    }
    trace(QStringLiteral("TfraRemoteControl.TakePhoto: Routine verlassen"));
    return result;
}

void TShooting::afterShot(const std::shared_ptr<bool>& alive)
{
    m_lastTake.Clear();
    m_lastTakeInfo.clear();
    // A stored live view frame has no files on the card.
    if (LvAsTake) {
        emit Changed();
        return;
    }
    if (listLastTake("TakePhoto", alive, true) && *alive)
        previewAndDownload(alive);
}

void TShooting::previewAndDownload(const std::shared_ptr<bool>& alive)
{
    if (AutoPreview) {
        LoadLastTakeAsPreview();
        if (!*alive)
            return;
    }
    // A failed preview does not keep the files from coming.
    if (AutoDownload && m_lastTake.Count() > 0)
        LoadLastTake(DownloadFolder);
}

void TShooting::Leave()
{
    const std::shared_ptr<bool> alive = m_alive;
    ++m_generation;
    m_liveTimeTimer.stop();
    m_checkTimer.stop();
    m_selfTimer.stop();
    m_movieTimer.stop();
    m_holdTimer.stop();
    // Nothing else would end what runs at the camera.
    const bool exposing = m_takeButton == ButtonStop || m_longExposure || m_selfTimerRunning;
    const bool recording = m_movieRecording;
    m_takeButton = m_timerDrive ? ButtonSelfTimer : ButtonNormal;
    m_longExposure = false;
    m_buttonHeld = false;
    m_selfTimerRunning = false;
    m_selfTimerSeconds = 0;
    m_movieRecording = false;
    try {
        if (exposing && isTakeUsable()) {
            sendStopTake();
            if (!*alive)
                return;
        }
        if (recording && isTakeUsable()) {
            m_camera->Remote.Take.Take(TakeTimeoutMs, TTakeAction::StopMovieTake);
            if (!*alive)
                return;
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStop (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return;
    }
    releaseHeld();
    if (m_freeRegions != RegionNone)
        freeRegions(RegionNone);
    if (recording)
        emit MovieTime(QStringLiteral("00:00:00"));
    emit Changed();
}
