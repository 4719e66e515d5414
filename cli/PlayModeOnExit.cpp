#include "PlayModeOnExit.h"

#include "base/TLogger.h"
#include "camera/TCameraModeAction.h"

#include <exception>

PlayModeOnExit::PlayModeOnExit(TCameraModeAction& mode)
    : m_mode(mode)
{ }

PlayModeOnExit::~PlayModeOnExit()
{
    if (!m_mode.Enabled || m_keep)
        return;
    try {
        m_mode.SwitchToMode(TCameraModeAction::ModePlay);
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("PlayModeOnExit (Ex): ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        TLogger::LogAlways(QStringLiteral("PlayModeOnExit (Ex): unknown error"));
    }
}
