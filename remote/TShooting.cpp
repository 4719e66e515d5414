#include "remote/TShooting.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "import/FileSizeText.h"
#include "import/TFileLoaderAction.h"
#include "session/TCamera.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
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

// Elapsed time as "nn:ss" or "hh:nn:ss"; the leading field counts on past its two digits.
QString clockText(qint64 ms, bool withHours)
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

// The camera's reason for a failed request, as the user reads it.
QString reasonOf(const TCamera* camera, const TBaseAction& action, const QString& answer)
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

// The camera cannot be asked again: a second request would only wait as long.
bool cameraGone(const TCamera* camera, const TBaseAction& action)
{
    return !camera || !camera->Connected || action.LastFailure == TCameraFailure::NoAnswer;
}

} // namespace

TShooting::TShooting(QObject* parent)
    : QObject(parent)
{
    TNamedTexts::Register(kShootingTexts);
    connect(&m_liveTimeTimer, &QTimer::timeout, this, [this] { LiveTimeTick(); });
    connect(&m_checkTimer, &QTimer::timeout, this, [this] { CheckTick(); });
    connect(&m_selfTimer, &QTimer::timeout, this, [this] { SelfTimerTick(); });
    connect(&m_movieTimer, &QTimer::timeout, this, [this] { MovieTick(); });
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
    emit Communication(0);
}

void TShooting::end()
{
    // Never more ends than begins, whatever path led here.
    if (m_open <= 0)
        return;
    --m_open;
    emit Communication(1);
}

void TShooting::freeRegions(quint8 regions)
{
    m_freeRegions = regions;
    emit Communication(2);
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
    ++m_generation;
    m_camera = camera;
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
    const TCameraParam* speed = m_camera->Remote.Params.Find(QStringLiteral("shutspeedvalue"));
    const TCameraParam* drive = m_camera->Remote.Params.Find(QStringLiteral("drivemode"));
    const QString speedValue = speed && speed->Valid ? speed->RawValue.toLower() : QString();
    const QString driveValue = drive && drive->Valid ? drive->RawValue.toLower() : QString();
    SetModes(speedValue == QLatin1String("livetime"), speedValue == QLatin1String("livebulb"),
        driveValue.contains(QLatin1String("continuous")), driveValue.contains(QLatin1String("timer")));
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
    return m_camera && m_camera->Remote.Take.Take(0, TTakeAction::StopTake);
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
                const bool sent = x >= 0 && y >= 0 ? take.TakeAt(0, TTakeAction::StartTake, x, y)
                                                   : take.Take(0, TTakeAction::StartTake);
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
    if (listLastTake("TakePhoto", alive) && *alive)
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

bool TShooting::ListLastTake()
{
    return listLastTake("ListLastTake", m_alive);
}

bool TShooting::listLastTake(const char* operation, const std::shared_ptr<bool>& aliveRef)
{
    const std::shared_ptr<bool> alive = aliveRef;
    const QString name = QStringLiteral("TfraRemoteControl.%1: ").arg(QLatin1String(operation));
    m_lastTake.Clear();
    m_lastTakeInfo.clear();
    if (!m_camera)
        return false;
    if (BeforeListing) {
        BeforeListing();
        if (!*alive)
            return false;
    }
    // Bodies list their card by the CGI program or, lacking it, by the DCIM pages.
    TImageListAction& imageList = m_camera->Import.ImageList;
    THTTPImageListAction& pages = m_camera->Import.DirectoryList;
    auto listWith = [&](auto& list) -> bool {
        trace(name + QStringLiteral("Request directory list"));
        if (!list.Execute(QString()))
            return false;
        if (!*alive)
            return false;
        list.ParseFolders();
        if (list.Folders.isEmpty())
            return true; // an empty card
        trace(name + QStringLiteral("Request image list"));
        if (!list.Execute(QLatin1Char('/') + list.Folders.last()))
            return false;
        if (!*alive)
            return false;
        list.ParseItems();
        m_lastTake.AssignFrom(&list.Items.LatestGroup(), true);
        return true;
    };
    bool listed = false;
    const TBaseAction* failed = &imageList;
    try {
        if (imageList.Enabled)
            listed = listWith(imageList);
        if (!*alive)
            return false;
        if (!listed && pages.Enabled && m_camera->Connected) {
            failed = &pages;
            listed = listWith(pages);
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(name + QStringLiteral("(Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        listed = false;
    }
    if (!*alive)
        return false;
    if (!listed) {
        m_lastTake.Clear();
        fail(rs("_rsLastTakeNotListed", { reasonOf(m_camera, *failed, {}) }));
    }
    for (const TCameraImportItem* item : m_lastTake) {
        if (!m_lastTakeInfo.isEmpty())
            m_lastTakeInfo += QStringLiteral("\r\n");
        m_lastTakeInfo += item->FileName + QLatin1Char('\t') + FileSizeText(item->SizeText);
    }
    emit Changed();
    return listed;
}

bool TShooting::hasExtension(const char* extension) const
{
    for (const TCameraImportItem* item : m_lastTake) {
        const int dot = item->FileName.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && item->FileName.mid(dot + 1).toUpper() == QLatin1String(extension))
            return true;
    }
    return false;
}

bool TShooting::IsJpeg() const
{
    return hasExtension("JPG");
}

bool TShooting::IsRaw() const
{
    return hasExtension("ORF");
}

bool TShooting::StartLiveBulbOrSequential(int x, int y)
{
    if (!isLongExposureMode() || m_longExposure || m_sending)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    const quint64 generation = m_generation;
    m_lastTakeOk = false;
    trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Routine betreten"));
    if (!m_held)
        begin();
    m_held = false;
    m_lastError.clear();
    m_lastTake.Clear();
    m_lastTakeInfo.clear();
    bool result = isTakeUsable();
    try {
        if (!result) {
            fail(rs("_rsShotFailed", { rs("_rsNoCamera") }));
        } else {
            trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Aufnahme starten"));
            TTakeAction& take = m_camera->Remote.Take;
            m_sending = true;
            const bool sent = x >= 0 && y >= 0 ? take.TakeAt(0, TTakeAction::StartTake, x, y)
                                               : take.Take(0, TTakeAction::StartTake);
            if (!*alive)
                return false;
            m_sending = false;
            result = sent && take.IsOK();
            if (generation != m_generation) {
                // Left while the camera was asked: nobody would end what begins now.
                abandon(result, alive);
                return false;
            }
            if (result) {
                trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Aufnahme gestartet"));
            } else {
                const QString reason = reasonOf(m_camera, take, take.TakeResult);
                // A refused press may still have begun a series; the camera is left ready.
                if (!cameraGone(m_camera, take)) {
                    sendStopTake();
                    if (!*alive)
                        return false;
                }
                fail(rs("_rsShotFailed", { reason }));
            }
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential (Ex): ")
            + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        m_sending = false;
        result = false;
    }
    m_longExposure = result;
    m_lastTakeOk = result;
    if (result) {
        m_held = true;
        freeRegions(RegionTakeButton | RegionLiveView);
        m_checkTimer.start(CheckIntervalMs);
    } else {
        end();
        freeRegions(RegionNone);
    }
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Routine verlassen"));
    return result;
}

bool TShooting::StopLiveBulbOrSequential()
{
    if (!m_longExposure)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    m_checkTimer.stop();
    trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Routine betreten"));
    m_lastError.clear();
    // Over also when the stop fails: waiting on would lock the page to a camera that may be gone.
    // Cleared before the request, so a release arriving during its wait sends no second stop.
    m_longExposure = false;
    bool result = false;
    try {
        if (m_camera && m_camera->Remote.Take.Enabled) {
            trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Livebulb beenden"));
            result = sendStopTake();
            if (!*alive)
                return false;
            trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Livebulb beendet"));
        }
        if (result) {
            freeRegions(RegionNone);
            if (listLastTake("StopLiveBulbOrSequential", alive) && *alive)
                previewAndDownload(alive);
            if (!*alive)
                return result;
        } else {
            trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Result = False (1)"));
            fail(rs("_rsShotNotEnded",
                { m_camera ? reasonOf(m_camera, m_camera->Remote.Take, {}) : rs("_rsNoCamera") }));
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential (Ex): ")
            + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        result = false;
    }
    releaseHeld();
    freeRegions(RegionNone);
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Routine verlassen"));
    return result;
}

void TShooting::CheckTick()
{
    // Ends an exposure whose button release was lost.
    if (!m_buttonHeld && m_longExposure)
        StopLiveBulbOrSequential();
}

void TShooting::ButtonDown(int x, int y)
{
    m_buttonHeld = true;
    if (isLongExposureMode())
        StartLiveBulbOrSequential(x, y);
}

void TShooting::ButtonUp()
{
    if (isLongExposureMode())
        StopLiveBulbOrSequential();
    m_buttonHeld = false;
}

void TShooting::ButtonClick()
{
    if (isLongExposureMode())
        return;
    if (m_timerDrive) {
        if (m_selfTimerRunning)
            CancelSelfTimer();
        else
            StartSelfTimer(-1, -1, SelfTimerChoice);
        return;
    }
    TakePhoto(-1, -1);
}

bool TShooting::StartSelfTimer(int x, int y, int seconds)
{
    if (m_selfTimerRunning || m_takeButton == ButtonStop || m_longExposure || m_sending || !m_camera
        || !m_camera->Connected || !m_camera->Remote.TakeReady.Enabled)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    const quint64 generation = m_generation;
    trace(QStringLiteral("TfraRemoteControl.StartSelfTimer: betreten"));
    m_lastError.clear();
    m_selfTimerSeconds = seconds > 0 ? qMin(seconds, 255) : DefaultSelfTimerSeconds;
    emit SelfTimerCount(m_selfTimerSeconds);
    if (!m_held)
        begin();
    m_held = false;
    bool ready = false;
    try {
        TTakeReadyAction& focus = m_camera->Remote.TakeReady;
        m_sending = true;
        const bool sent = x >= 0 && y >= 0 ? focus.TakeReadyAt(x, y) : focus.TakeReady();
        if (!*alive)
            return false;
        m_sending = false;
        ready = sent && focus.IsReady();
        if (generation != m_generation) {
            // Left while the camera focused: nobody would count down or let go of the half-press.
            abandon(ready, alive);
            return false;
        }
        if (ready) {
            m_selfTimerRunning = true;
            m_held = true;
            m_selfTimer.start(SelfTimerIntervalMs);
            freeRegions(x >= 0 && y >= 0 ? RegionLiveView : RegionTakeButton);
        } else {
            const QString reason = reasonOf(m_camera, focus, focus.FocusResult);
            // Lets go of the half-press.
            if (!cameraGone(m_camera, focus)) {
                sendStopTake();
                if (!*alive)
                    return false;
            }
            fail(rs("_rsFocusFailed", { reason }));
            end();
        }
    } catch (const std::exception& e) {
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.StartSelfTimer (Ex): ceStop -> ")
            + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        m_sending = false;
        m_selfTimer.stop();
        m_selfTimerRunning = false;
        m_held = false;
        end();
        ready = false;
    }
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.StartSelfTimer: verlassen"));
    return ready;
}

void TShooting::SelfTimerTick()
{
    if (!m_selfTimerRunning)
        return;
    m_selfTimerSeconds = qMax(0, m_selfTimerSeconds - 1);
    emit SelfTimerCount(m_selfTimerSeconds);
    if (m_selfTimerSeconds > 0)
        return;
    m_selfTimer.stop();
    m_selfTimerRunning = false;
    const std::shared_ptr<bool> alive = m_alive;
    // The take takes over the count-down's begin and ends it (or holds it for an exposure).
    if (isLongExposureMode()) {
        m_buttonHeld = false;
        StartLiveBulbOrSequential(-1, -1);
    } else {
        TakePhoto(-1, -1);
    }
    if (!*alive)
        return;
    emit Changed();
}

void TShooting::CancelSelfTimer()
{
    trace(QStringLiteral("TfraRemoteControl.CancelSelfTimer: betreten"));
    if (!m_selfTimerRunning)
        return;
    m_selfTimer.stop();
    m_selfTimerSeconds = 0;
    m_selfTimerRunning = false;
    emit SelfTimerCount(0);
    if (isTakeUsable()) {
        const std::shared_ptr<bool> alive = m_alive;
        sendStopTake();
        if (!*alive)
            return;
    }
    releaseHeld();
    freeRegions(RegionNone);
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.CancelSelfTimer: verlassen"));
}

QString TShooting::MovieTimeText() const
{
    return m_movieRecording ? clockText(now() - m_movieStart, true) : QStringLiteral("00:00:00");
}

void TShooting::endMovieDisplay()
{
    m_movieTimer.stop();
    m_movieRecording = false;
    emit MovieTime(QStringLiteral("00:00:00"));
}

void TShooting::MovieTick()
{
    if (!m_movieRecording)
        return;
    // A camera switched off mid-recording: the display must not run on forever.
    if (!m_camera || !m_camera->Connected) {
        endMovieDisplay();
        fail(rs("_rsMovieInterrupted", { rs("_rsNoCamera") }));
        emit Changed();
        return;
    }
    emit MovieTime(MovieTimeText());
}

bool TShooting::TakeMovie()
{
    const std::shared_ptr<bool> alive = m_alive;
    trace(QStringLiteral("TfraRemoteControl.TakeMovie: Routine betreten"));
    if (m_sending)
        return false;
    const quint64 generation = m_generation;
    begin();
    m_lastError.clear();
    bool result = isTakeUsable();
    try {
        if (!result) {
            if (m_movieRecording) {
                endMovieDisplay();
                fail(rs("_rsMovieInterrupted", { rs("_rsNoCamera") }));
            } else {
                fail(rs("_rsMovieNotStarted", { rs("_rsNoCamera") }));
            }
        } else if (!m_movieRecording) {
            trace(QStringLiteral("TfraRemoteControl.TakeMovie: Aufnahme starten"));
            TTakeAction& take = m_camera->Remote.Take;
            m_sending = true;
            result = take.Take(0, TTakeAction::StartMovieTake);
            if (!*alive)
                return false;
            m_sending = false;
            result = result && take.IsOK();
            if (result && generation != m_generation) {
                // Left while the camera was asked: nobody would end this recording.
                take.Take(0, TTakeAction::StopMovieTake);
                if (!*alive)
                    return false;
                result = false;
            } else if (result) {
                m_movieStart = now();
                m_movieRecording = true;
                m_movieTimer.start(MovieIntervalMs);
                emit MovieTime(QStringLiteral("00:00:00"));
            } else {
                fail(rs("_rsMovieNotStarted", { reasonOf(m_camera, take, {}) }));
            }
        } else {
            trace(QStringLiteral("TfraRemoteControl.TakeMovie: Aufnahme stoppen"));
            m_movieTimer.stop();
            TTakeAction& take = m_camera->Remote.Take;
            m_sending = true;
            result = take.Take(0, TTakeAction::StopMovieTake);
            if (!*alive)
                return false;
            m_sending = false;
            result = result && take.IsOK();
            if (result) {
                endMovieDisplay();
            } else if (cameraGone(m_camera, take)) {
                // Nobody can stop it any more; the display must not pretend otherwise.
                endMovieDisplay();
                fail(rs("_rsMovieInterrupted", { reasonOf(m_camera, take, {}) }));
            } else {
                // The camera said no; the user may try again.
                m_movieTimer.start(MovieIntervalMs);
                fail(rs("_rsMovieNotEnded", { reasonOf(m_camera, take, {}) }));
            }
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.TakeMovie (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        result = false;
    }
    end();
    freeRegions(RegionNone);
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.TakeMovie: Routine verlassen"));
    return result;
}

void TShooting::Leave()
{
    const std::shared_ptr<bool> alive = m_alive;
    ++m_generation;
    m_liveTimeTimer.stop();
    m_checkTimer.stop();
    m_selfTimer.stop();
    m_movieTimer.stop();
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
            m_camera->Remote.Take.Take(0, TTakeAction::StopMovieTake);
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

bool TShooting::LoadLastTakeAsPreview()
{
    if (!m_camera || !m_camera->Connected || !m_camera->Remote.RecordView.Enabled || LvAsTake
        || !m_camera->Remote.Take.IsOK())
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    trace(QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: gestartet"));
    bool result = false;
    try {
        TRecordViewAction& view = m_camera->Remote.RecordView;
        result = view.Execute();
        if (!*alive)
            return false;
        result = result && !view.Data.isEmpty();
        if (!result) {
            TLogger::LogAlways(
                QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: Failed to load preview image"));
            fail(rs("_rsPreviewFailed", { reasonOf(m_camera, view, {}) }));
        } else {
            trace(QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: anzeigen"));
            m_previewData = view.Data;
            emit Preview(m_previewData, m_lastTakeInfo);
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        result = false;
    }
    trace(QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: beendet"));
    return result;
}

bool TShooting::LoadLastTake(const QString& folderText)
{
    QString folder = folderText.trimmed();
    if (folder.isEmpty() && ChooseFolder)
        folder = ChooseFolder().trimmed();
    if (folder.isEmpty() || !m_camera)
        return false;
    // An automatic download into a folder that went away must not pass for done.
    if (!QFileInfo(folder).isDir()) {
        fail(rs("_rsDownloadFolderMissing", { folder }));
        return false;
    }
    const std::shared_ptr<bool> alive = m_alive;
    begin();
    freeRegions(RegionNone);
    m_failedFiles.clear();
    const int count = m_lastTake.Count();
    const QString title = rs("_rsImportFile", { count });
    const int step = count > 0 ? 100 / count : 100;
    emit Progress(title, QString(), false, 0);
    emit Changed();
    TFileLoaderAction& loader = m_camera->Import.FileLoader;
    const auto previous = loader.OnProgress;
    loader.OnProgress = [this, alive](qint64 received, qint64 expected) {
        if (*alive)
            emit BytesReceived(received, expected);
    };
    // The list may change while a file is waited for (a take meanwhile): walk a copy.
    TBaseCameraImportItems files { true };
    files.AssignFrom(&m_lastTake, true);
    for (int i = 0; i < files.Count(); ++i) {
        const TCameraImportItem& item = *files[i];
        emit Progress(title, item.FileName, false, i * step);
        QString why;
        const QString local = TFileLoaderAction::TargetPath(folder, item.FileName, &why);
        bool loaded = false;
        if (local.isEmpty()) {
            TLogger::LogAlways(QStringLiteral("TfraRemoteControl.LoadLastTake: ") + why);
        } else {
            try {
                loaded = loader.Load(item.CameraPath(), { local, item.Size(), item.DateTime() }, true);
            } catch (const std::exception& e) {
                TLogger::LogAlways(
                    QStringLiteral("TfraRemoteControl.LoadLastTake (Ex): ") + QString::fromUtf8(e.what()));
                loaded = false;
            }
            if (!*alive)
                return false;
            loaded = loaded && loader.LoadedFile == local;
            if (!loaded)
                TLogger::LogAlways(QStringLiteral("TfraRemoteControl.LoadLastTake: %1 not loaded: %2")
                                       .arg(item.FileName, loader.LastError));
        }
        if (loaded)
            emit Progress(title, item.FileName, false, (i + 1) * step);
        else
            m_failedFiles << item.FileName;
    }
    loader.OnProgress = previous;
    const bool result = m_failedFiles.isEmpty();
    if (result) {
        emit Progress(title, rs("_rsTaskFinished"), true, 100);
    } else {
        const QString text
            = rs("_rsTaskFailed") + QStringLiteral(": ") + m_failedFiles.join(QStringLiteral(", "));
        emit Progress(title, text, true, 100);
        fail(text);
    }
    end();
    emit Changed();
    return result;
}
