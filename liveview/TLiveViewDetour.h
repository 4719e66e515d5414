#pragma once

#include <QString>

class TBaseLiveViewAction;
class TCameraModeAction;
class TLiveViewAction;
class TReleaseViewAction;

// A detour through another camera mode, such as playback for a body that lists its card only there.
// The camera ends its live view on every mode switch, so the way back is more than the switch:
// notes the mode, its live view size and the live view that runs, and Return puts all three back,
// the live view on the port its receiver still listens at.
class TLiveViewDetour
{
public:
    // Notes what is to come back; the actions belong to the camera's remote part.
    TLiveViewDetour(
        TCameraModeAction& cameraMode, TLiveViewAction& liveView, TReleaseViewAction& releaseView);

    // Back into the mode noted with its size (recording mode where none was noted) and the live
    // view started again where it ran. False when the camera did not switch back; a live view that
    // does not start again is logged and LiveViewRestarted() tells.
    bool Return();

    bool LiveViewWasRunning() const { return m_running != nullptr; }
    bool LiveViewRestarted() const { return m_restarted; }

private:
    TCameraModeAction& m_cameraMode;
    quint8 m_mode;
    QString m_size;
    TBaseLiveViewAction* m_running = nullptr;
    bool m_restarted = false;
};
