#include "session/TCamera.h"

#include "base/TLogger.h"
#include "base/TSetup.h"
#include "camera/CameraEndpoints.h"
#include "camera/TOIShare.h"
#include "camera/WaitFunc.h"

#include <QCoreApplication>

#include <exception>
#include <stdexcept>
#include <utility>

namespace {

TCameraLink linkOf(const TSetup& setup)
{
    TCameraLink link;
    const TSetup* s = &setup;
    link.Host = [s] { return s->GetCameraHost(); };
    return link;
}

} // namespace

TCamera::TCamera(const TCameraLink& link, const QString& wlanName, bool autoConnect, const QString& wlanSSID,
    TWifiJoin::Runner wifiRunner, const TSetup* setup)
    : Info(link)
    , Import(link)
    , Remote(link, setup)
    , WLanName(wlanName)
    , WLanSSID(wlanSSID)
    , AutoConnect(autoConnect)
    , m_link(link)
    , m_wifi(std::move(wifiRunner))
    , m_setup(setup)
{
    QObject::connect(&CheckTimer, &QTimer::timeout, &CheckTimer, [this] {
        if (!Stopped)
            DoCheck(false);
    });
    CheckTimer.setInterval(1000);
    CheckTimer.start();
}

TCamera::TCamera(const TSetup& setup, TWifiJoin::Runner wifiRunner)
    : TCamera(linkOf(setup), setup.CameraWLanName, setup.WLanAutoConnect, setup.CameraWLanSSID,
        std::move(wifiRunner), &setup)
{
    const TSetup* s = &setup;
    SyncDataTime = [s] { return s->SyncDataTime; };
}

TCamera::~TCamera()
{
    *m_alive = false;
    Stop();
}

void TCamera::log(const QString& message, bool always)
{
    TLogger::LogTo(message, always);
}

bool TCamera::ModuleIsLoading() const
{
    return !Stopped && (Import.IsBusy() || Remote.Busy() || Info.Busy());
}

void TCamera::ResetParts()
{
    Connected = false;
    ChangeHandled = false;
    IsPrivate = false;
    Version.clear();
    Capabilities = 0;
    Info.Reset();
    Import.Reset();
    Remote.Reset();
}

int TCamera::checkConnection()
{
    TCameraRequest request;
    request.Url = m_link.url(Endpoint::ConnectMode);
    request.ReadTimeoutMs = Timeout::ConnectionCheck;
    request.LogBody = Timeout::LogBodyConnectionCheck;
    // Stop ends the wait; so does the object going away, which a nested handler may cause.
    const std::shared_ptr<bool> alive = m_alive;
    request.IsAborted = [this, alive] { return !*alive || Stopped; };
    return m_link.send(request).Code;
}

void TCamera::DoCheck(bool force)
{
    if (Checking || Stopped)
        return;
    if (Import.IsBusy() || Remote.Busy() || Remote.LiveViewReceiving() || Info.Busy())
        return;
    const std::shared_ptr<bool> alive = m_alive;
    Checking = true;
    CheckTimer.stop();
    log(QStringLiteral("TCamera.DoCheck: enter (Force: %1, ModuleIsLoading: %2)")
            .arg(int(force))
            .arg(int(ModuleIsLoading())));
    const bool wasConnected = Connected;
    try {
        const int code = checkConnection();
        if (!*alive)
            return;
        if (Stopped) {
            Checking = false;
            return;
        }
        if (m_disconnectDelayMs >= 0) {
            // The camera was switched off during the check: its answer no longer counts.
        } else if (code == LastResponseCode) {
            if (code != 200 && code != 202 && !force)
                recordFailure(QStringLiteral("TCamera.DoCheck: failed II (%1)").arg(FailureCount + 1));
        } else {
            log(QStringLiteral("TCamera.DoCheck: Response-Code %1 -> %2").arg(LastResponseCode).arg(code));
            LastResponseCode = code;
            if (code == 200 || code == 202) {
                Connected = Connect();
            } else {
                // Gone: capabilities and enabled actions of the camera that answered before no longer
                // hold.
                ResetParts();
            }
            if (!*alive)
                return;
            if (Connected) {
                FailureCount = 0;
                log(QStringLiteral("TCamera.DoCheck: connected"));
                if (SyncDataTime && SyncDataTime() && Remote.SetTime.Enabled && Remote.SetTime.Execute()
                    && m_setup)
                    m_setup->NoteClockSet();
            } else {
                log(QStringLiteral("TCamera.DoCheck: not connected"));
                if (!force)
                    recordFailure(QStringLiteral("TCamera.DoCheck: failed I (%1)").arg(FailureCount + 1));
            }
        }
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.DoCheck (Ex): reset (%1)").arg(QString::fromLocal8Bit(e.what())));
        ResetParts();
    } catch (...) {
        log(QStringLiteral("TCamera.DoCheck (Ex): reset (unknown error)"));
        ResetParts();
    }
    if (!*alive)
        return;
    if (m_disconnectDelayMs >= 0 && !Stopped) {
        Checking = false;
        Disconnect(std::exchange(m_disconnectDelayMs, -1));
        return;
    }
    if (OnChangeConnection && (Connected != wasConnected || !ChangeHandled)) {
        log(QStringLiteral("TCamera.DoCheck: FOnChangeConnection"));
        OnChangeConnection(this, ChangeHandled);
        if (!*alive)
            return;
    }
    log(QStringLiteral("TCamera.DoCheck: leave"));
    Checking = false;
    if (!Stopped)
        CheckTimer.start(CheckIntervalMs);
}

void TCamera::recordFailure(const QString& text)
{
    log(text);
    if (FailureCount == 0 || FailureCount > 2) {
        const std::shared_ptr<bool> alive = m_alive;
        ConnectWLAN(); // waits while events run
        if (!*alive)
            return;
        FailureCount = 0;
    }
    ++FailureCount;
}

bool TCamera::Connect()
{
    ResetParts();
    bool result = false;
    const std::shared_ptr<bool> alive = m_alive;
    try {
        TOIShare commandList;
        if (commandList.Load(m_link) && *alive && !Stopped) {
            Version = commandList.Version;
            result = Info.Probe(commandList);
            QString mode;
            if (result)
                result = Info.ConnectMode.Execute(mode);
            if (!*alive)
                return false;
            IsPrivate = mode.compare(QLatin1String("private"), Qt::CaseInsensitive) == 0;
            if (result && IsPrivate) {
                if (commandList.SupportsFunction(QStringLiteral("web"))) {
                    if (Import.Probe(commandList))
                        Capabilities |= CapImport;
                    else
                        result = false;
                }
                const bool remote = commandList.SupportsFunction(QStringLiteral("remote"));
                const bool release = commandList.SupportsFunction(QStringLiteral("release"));
                if (result && (remote || release)) {
                    if (Remote.Probe(commandList)) {
                        if (remote)
                            Capabilities |= CapRemote;
                        if (release)
                            Capabilities |= CapRelease;
                    } else {
                        result = false;
                    }
                }
                if (result && commandList.SupportsFunction(QStringLiteral("gps")))
                    Capabilities |= CapGPS;
            }
        }
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.Connect (Ex): %1").arg(QString::fromLocal8Bit(e.what())), true);
        result = false;
    }
    if (!*alive)
        return false;
    if (!result)
        ResetParts();
    Connected = result;
    return result;
}

void TCamera::Disconnect(int delayMs)
{
    if (Stopped)
        return;
    if (Checking) {
        // Everything runs on this thread, so the running check is further down the stack, waiting
        // for the camera in the event loop that brought this call. It cannot end before this
        // returns: waiting for it would never end. The check disconnects when it is back.
        m_disconnectDelayMs = delayMs;
        log(QStringLiteral("TCamera.Disconnect: after the running check"));
        return;
    }
    const std::shared_ptr<bool> alive = m_alive;
    CheckTimer.stop();
    if (!Stopped) {
        // The camera is gone: what its parts learned no longer holds.
        ResetParts();
        LastResponseCode = -1;
    }
    if (OnChangeConnection)
        OnChangeConnection(this, ChangeHandled);
    if (!*alive)
        return;
    QCoreApplication::processEvents();
    if (!*alive || Stopped)
        return;
    CheckTimer.start(delayMs);
}

void TCamera::Stop()
{
    Stopped = true;
    CheckTimer.stop();
}

bool TCamera::ConnectWLAN()
{
    if (Stopped)
        return false;
    if (!AutoConnect)
        return true;
    try {
        const bool started = m_wifi.Join(WLanName, WLanSSID);
        log(QStringLiteral("TCamera.ConnectWLAN: %1 | %2 | %3").arg(int(started)).arg(WLanName, WLanSSID),
            true);
        WaitAbortable(WlanJoinWaitMs, Stopped);
        return started;
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.ConnectWLAN (Ex): ") + QString::fromLocal8Bit(e.what()), true);
    }
    return false;
}

QString TCamera::ModelName()
{
    QString model;
    try {
        if (Info.CameraInfo.Execute(model) && !model.trimmed().isEmpty())
            return model;
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.ModelName (Ex): ") + QString::fromLocal8Bit(e.what()), true);
    }
    return QString();
}

bool TCamera::IsPrivateMode()
{
    QString mode;
    try {
        return Info.ConnectMode.Execute(mode)
            && mode.compare(QLatin1String("private"), Qt::CaseInsensitive) == 0;
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.IsPrivateMode (Ex): ") + QString::fromLocal8Bit(e.what()), true);
    }
    return false;
}

bool TCamera::PowerOff()
{
    // A disabled action answers true without asking; a camera without the request is left alone.
    if (!Remote.PowerOff.Enabled)
        return false;
    bool switchedOff = false;
    try {
        switchedOff = Remote.PowerOff.Execute();
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.PowerOff (Ex): ") + QString::fromLocal8Bit(e.what()), true);
    }
    // Also after a failure: the monitor finds out soon enough whether the camera is still there.
    Disconnect(3000);
    return switchedOff;
}

bool TCamera::SyncClock()
{
    if (!Remote.SetTime.Enabled)
        return false;
    try {
        const bool set = Remote.SetTime.Execute();
        if (set && m_setup)
            m_setup->NoteClockSet();
        return set;
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.SyncClock (Ex): ") + QString::fromLocal8Bit(e.what()), true);
    }
    return false;
}

void TCamera::StopLiveView()
{
    if (Remote.LiveView.LiveViewState != TBaseLiveViewAction::Started)
        return;
    try {
        // The stop request names no port.
        Remote.LiveView.Execute(TBaseLiveViewAction::KindStop, 0);
    } catch (const std::exception& e) {
        log(QStringLiteral("TCamera.StopLiveView (Ex): ") + QString::fromLocal8Bit(e.what()), true);
    }
}

void TCamera::EnterPlayback(quint16 liveViewPort)
{
    const std::shared_ptr<bool> alive = m_alive;
    for (TBaseLiveViewAction* liveView : { static_cast<TBaseLiveViewAction*>(&Remote.LiveView),
             static_cast<TBaseLiveViewAction*>(&Remote.ReleaseView) }) {
        if (liveView->LiveViewState == TBaseLiveViewAction::Started)
            liveView->Execute(TBaseLiveViewAction::KindStop, liveViewPort);
        if (!*alive)
            return;
    }
    if (Remote.CameraMode.Enabled)
        Remote.CameraMode.SwitchToMode(TCameraModeAction::ModePlay);
}
