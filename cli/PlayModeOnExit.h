#pragma once

class TCameraModeAction;

// Puts the camera back in play mode when a command that changed its mode ends, on every way out:
// a failed start, an error on the way, Ctrl-C (which ends the event loop, not the process). The
// camera does not tell which mode it was in, and play mode is where every command finds it.
class PlayModeOnExit
{
public:
    explicit PlayModeOnExit(TCameraModeAction& mode);
    ~PlayModeOnExit();
    PlayModeOnExit(const PlayModeOnExit&) = delete;
    PlayModeOnExit& operator=(const PlayModeOnExit&) = delete;

    // For a command whose work goes on in the camera after it ends (a movie recording, a moving
    // zoom lens): the camera stays in its mode; the command that stops the work puts play back.
    void Keep() { m_keep = true; }

private:
    TCameraModeAction& m_mode;
    bool m_keep = false;
};
