#include "liveview/TLiveViewControl.h"

#include "base/TLogger.h"
#include "camera/TCameraModeAction.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TReleaseViewAction.h"

#include <exception>

TLiveViewControl::TLiveViewControl(TCameraModeAction& cameraMode, TLiveViewAction& liveView,
    TReleaseViewAction& releaseView, std::function<QString()> liveViewSize)
    : m_cameraMode(cameraMode)
    , m_liveView(liveView)
    , m_releaseView(releaseView)
    , m_liveViewSize(std::move(liveViewSize))
{ }

TBaseLiveViewAction* TLiveViewControl::CurrentAction() const
{
    if (m_mode == ModeRecord)
        return &m_liveView;
    if (m_mode == ModeShutter)
        return &m_releaseView;
    return nullptr;
}

void TLiveViewControl::ShowError(const QString& text)
{
    m_errorText = text.trimmed();
    if (OnShowError)
        OnShowError(m_errorText);
}

void TLiveViewControl::failed(const QString& operation, const QString& why)
{
    TLogger::LogAlways(QStringLiteral("TLiveViewControl.%1 (Ex): %2").arg(operation, why));
    ShowError(why);
}

bool TLiveViewControl::IsRunning() const
{
    const TBaseLiveViewAction* action = CurrentAction();
    return action && action->LiveViewState == TBaseLiveViewAction::Started;
}

TLiveViewProcessor& TLiveViewControl::Processor(quint8 mode) const
{
    return mode == ModeShutter ? m_releaseView.Processor() : m_liveView.Processor();
}

QSize TLiveViewControl::LiveViewSize() const
{
    if (m_cameraMode.LiveViewWidth <= 0 || m_cameraMode.LiveViewHeight <= 0)
        return {};
    return { m_cameraMode.LiveViewWidth, m_cameraMode.LiveViewHeight };
}

bool TLiveViewControl::Start(quint8 mode, quint16 port)
{
    return Start(mode, port, m_liveViewSize ? m_liveViewSize() : QString());
}

bool TLiveViewControl::Start(quint8 mode, quint16 port, const QString& liveViewSize)
{
    if ((mode != ModeRecord && mode != ModeShutter) || !m_cameraMode.Enabled)
        return false;
    m_mode = mode;
    m_port = port;
    try {
        TLogger::LogAlways(QStringLiteral("TfraLiveView.StartLiveView: Set remote mode"));
        // Through playback, so that the camera takes the new live view size.
        m_cameraMode.SwitchToMode(TCameraModeAction::ModePlay);
        const QString size = m_cameraMode.ResolveSize(liveViewSize);
        m_cameraMode.SwitchMode(mode, size);
        if (ResizeToLiveView)
            ResizeToLiveView(m_cameraMode.LiveViewWidth, m_cameraMode.LiveViewHeight);

        TLogger::LogAlways(QStringLiteral("TfraLiveView.StartLiveView: Start live view"));
        TBaseLiveViewAction& action = *CurrentAction();
        const bool result = action.Execute(TBaseLiveViewAction::KindStart, port);
        TLogger::LogTrace(QStringLiteral("TfraLiveView.StartLiveView: Request error state"));
        ShowError(action.ErrorText);
        return result;
    } catch (const std::exception& e) {
        failed(QStringLiteral("Start"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        failed(QStringLiteral("Start"), QStringLiteral("unknown error"));
    }
    return false;
}

bool TLiveViewControl::Stop()
{
    TBaseLiveViewAction* action = CurrentAction();
    // Only a live view the camera confirmed is stopped; after a failed start nothing is sent.
    if (!action || action->LiveViewState != TBaseLiveViewAction::Started)
        return true;
    try {
        const bool result = action->Execute(TBaseLiveViewAction::KindStop, 0);
        if (!result)
            ShowError(action->ErrorText);
        return result;
    } catch (const std::exception& e) {
        failed(QStringLiteral("Stop"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        failed(QStringLiteral("Stop"), QStringLiteral("unknown error"));
    }
    return false;
}
