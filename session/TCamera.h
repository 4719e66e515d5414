#pragma once

#include "camera/TBaseAction.h"
#include "camera/TCameraInfo.h"
#include "import/TCameraImport.h"
#include "platform/TWifiJoin.h"
#include "session/TCameraRemote.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class TSetup;

// The one camera the program talks to: its information, import and remote parts, and the connection
// monitor. A timer polls the connection mode; when the answer changes, the command list is read,
// the parts probed and the capabilities derived, and OnChangeConnection tells the owner. When the
// camera stays away the system can be asked to join its Wi-Fi network.
class TCamera
{
public:
    enum Capability : quint8 { CapImport = 1, CapRemote = 2, CapGPS = 4, CapRelease = 8 };

    // With settings, the remote part takes the live view size and port from them.
    TCamera(const TCameraLink& link, const QString& wlanName, bool autoConnect, const QString& wlanSSID,
        TWifiJoin::Runner wifiRunner = {}, const TSetup* setup = nullptr);
    // Host, Wi-Fi names and clock synchronisation from the settings (names taken now, the host and
    // SyncDataTime at each use).
    explicit TCamera(const TSetup& setup, TWifiJoin::Runner wifiRunner = {});
    ~TCamera();
    TCamera(const TCamera&) = delete;
    TCamera& operator=(const TCamera&) = delete;

    QString Version; // command list version; empty when not connected
    quint8 Capabilities = 0;
    TCameraInfo Info;
    TCameraImport Import;
    TCameraRemote Remote;
    bool Connected = false;
    bool ChangeHandled = false; // set by the OnChangeConnection handler once it took note
    int LastResponseCode = -1;
    QTimer CheckTimer;
    std::function<void(TCamera* sender, bool& changeHandled)> OnChangeConnection;
    bool IsPrivate = false;
    QString WLanName;
    QString WLanSSID;
    bool AutoConnect = false;
    bool Checking = false;
    bool Stopped = false; // also the abort flag of a running check request
    int FailureCount = 0;
    // Set the camera's clock at each connect; read when the camera connects.
    std::function<bool()> SyncDataTime;

    // Delays of the monitor; a test may shorten them.
    int CheckIntervalMs = 3000;
    int WlanJoinWaitMs = 2000;

    void DoCheck(bool force);
    bool Connect();
    void ResetParts();
    // After the camera was switched off: the next check comes after delayMs and counts any answer
    // as a change. Called while a check waits for the camera (a click handled in that wait), it is
    // carried out by the check when the check is back, in place of the check's own outcome.
    void Disconnect(int delayMs);
    // No check runs after this, and a running check stops waiting. There is no restart.
    void Stop();
    bool ConnectWLAN();
    // Stops a running live view (errors ignored) and switches to playback, where the card is listed.
    void EnterPlayback(quint16 liveViewPort);
    bool ModuleIsLoading() const;

    // What the main window asks of the camera. Each request catches and logs its own failure.
    // The model name; empty when it cannot be read or is blank.
    QString ModelName();
    // Asks the camera for its connection mode now: true for "private" (any letter case).
    bool IsPrivateMode();
    // Switches the camera off and then lets the monitor look again after 3 s, whether or not the
    // camera went off (Disconnect reports the change); true when it went off. False without a request
    // when the camera offers none.
    bool PowerOff();
    // Sets the camera's clock to this computer's time; true when the camera took it, false without a
    // request when the camera offers none.
    bool SyncClock();
    // Stops a running live view, as the program does when it closes.
    void StopLiveView();

private:
    int checkConnection();
    void recordFailure(const QString& text);
    static void log(const QString& message, bool always = false);

    TCameraLink m_link;
    TWifiJoin m_wifi;
    const TSetup* m_setup = nullptr; // where a set clock is noted
    int m_disconnectDelayMs = -1; // a Disconnect that came during a check; -1 for none
    // Lets a check that waited on the network notice that the object went away meanwhile.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
