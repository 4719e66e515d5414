#include "liveview/TLiveViewDetour.h"

#include "base/TLogger.h"
#include "camera/TCameraModeAction.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TReleaseViewAction.h"

TLiveViewDetour::TLiveViewDetour(
    TCameraModeAction& cameraMode, TLiveViewAction& liveView, TReleaseViewAction& releaseView)
    : m_cameraMode(cameraMode)
    , m_mode(cameraMode.Mode)
    , m_size(cameraMode.LiveViewSize)
{
    if (liveView.LiveViewState == TBaseLiveViewAction::Started)
        m_running = &liveView;
    else if (releaseView.LiveViewState == TBaseLiveViewAction::Started)
        m_running = &releaseView;
}

bool TLiveViewDetour::Return()
{
    const bool noted = m_mode == TCameraModeAction::ModeRec || m_mode == TCameraModeAction::ModeShutter
        || m_mode == TCameraModeAction::ModeShutterWithSize;
    // The size the live view ran at, not the setting's: the picture area was sized for it.
    const bool back = noted ? m_cameraMode.SwitchMode(m_mode, m_size)
                            : m_cameraMode.SwitchToMode(TCameraModeAction::ModeRec);
    if (!back) {
        TLogger::LogAlways(QStringLiteral("TLiveViewDetour: the camera did not go back to its mode"));
        return false;
    }
    if (!m_running)
        return true;
    // The receiver stayed open meanwhile; the camera is asked to send to it again.
    m_restarted = m_running->Execute(TBaseLiveViewAction::KindStart, m_running->Processor().Port());
    if (!m_restarted)
        TLogger::LogAlways(
            QStringLiteral("TLiveViewDetour: the live view did not start again: ") + m_running->ErrorText);
    return true;
}
