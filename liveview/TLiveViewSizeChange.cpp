#include "liveview/TLiveViewSizeChange.h"

#include "base/TLogger.h"
#include "camera/TCameraModeAction.h"
#include "camera/TReleaseAFFrameAction.h"
#include "camera/WaitFunc.h"
#include "liveview/TLiveViewControl.h"

#include <QRegularExpression>

TLiveViewSizeChange::TLiveViewSizeChange(
    TLiveViewControl& control, TCameraModeAction& cameraMode, TReleaseAFFrameAction& releaseAFFrame)
    : m_control(control)
    , m_cameraMode(cameraMode)
    , m_releaseAFFrame(releaseAFFrame)
{ }

QString TLiveViewSizeChange::SizeCode(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,4})\\s*[xX]\\s*(\\d{1,4})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch() || m.captured(1).toInt() == 0 || m.captured(2).toInt() == 0)
        return {};
    return QStringLiteral("%1x%2")
        .arg(m.captured(1).toInt(), 4, 10, QLatin1Char('0'))
        .arg(m.captured(2).toInt(), 4, 10, QLatin1Char('0'));
}

QStringList TLiveViewSizeChange::Choices() const
{
    QStringList choices;
    for (const QString& text : m_cameraMode.LiveViewSizeTexts())
        if (text != QStringLiteral("320 x 240"))
            choices << text;
    return choices;
}

QString TLiveViewSizeChange::ChoiceOf(const QString& setting) const
{
    const qsizetype at = m_cameraMode.LiveViewSizes().indexOf(m_cameraMode.ResolveSize(setting));
    return at >= 0 && at < m_cameraMode.LiveViewSizeTexts().size() ? m_cameraMode.LiveViewSizeTexts()[at]
                                                                   : QString();
}

QString TLiveViewSizeChange::Sent() const
{
    return m_cameraMode.LiveViewSize;
}

QSize TLiveViewSizeChange::Pixels() const
{
    return m_control.LiveViewSize();
}

bool TLiveViewSizeChange::Substituted() const
{
    return !m_requested.isEmpty() && Sent().compare(m_requested, Qt::CaseInsensitive) != 0;
}

void TLiveViewSizeChange::releaseAFFrame()
{
    // The AF frame is a thing of recording mode; elsewhere the camera would only refuse the request.
    if (!m_releaseAFFrame.Enabled || m_cameraMode.Mode != TCameraModeAction::ModeRec)
        return;
    if (!m_releaseAFFrame.Execute())
        TLogger::LogAlways(QStringLiteral("TLiveViewSizeChange: the camera kept its AF frame"));
}

QString TLiveViewSizeChange::resolve(const QString& captionOrSize)
{
    // A caption is the camera's; "640x480" and the like are read as the size code they mean.
    const QString code = SizeCode(captionOrSize);
    m_requested = code.isEmpty() ? m_cameraMode.Dictionary.ValueOf(captionOrSize, true) : code;
    return m_cameraMode.ResolveSize(code.isEmpty() ? captionOrSize : code);
}

bool TLiveViewSizeChange::Change(const QString& captionOrSize)
{
    m_errorText.clear();
    const QString size = resolve(captionOrSize);
    const quint8 mode = m_control.Mode();
    const quint16 port = m_control.Port();
    const bool running = m_control.IsRunning();
    bool ok = true;
    // The camera sends at a new size only after its way through playback, which the start takes.
    if (running && !m_control.Stop()) {
        ok = false;
        m_errorText = m_control.ErrorText();
    }
    if (OnChosen)
        OnChosen(size);
    releaseAFFrame();
    if (running && !m_control.Start(mode, port, size)) {
        ok = false;
        m_errorText = m_control.ErrorText();
    }
    return ok;
}

bool TLiveViewSizeChange::Enter(quint8 mode, const QString& captionOrSize, int port)
{
    m_errorText.clear();
    const QString size = resolve(captionOrSize);
    if (mode != TLiveViewControl::ModeRecord && mode != TLiveViewControl::ModeShutter) {
        m_errorText = QStringLiteral("no live view in mode %1").arg(mode);
        return false;
    }
    if (OnChosen)
        OnChosen(size);
    bool ok = false;
    if (port >= 0) {
        ok = m_control.Start(mode, quint16(port), size);
        if (!ok)
            m_errorText = m_control.ErrorText();
    } else {
        // Whether playback was reached shows in the next switch; the camera needs a pause there.
        const bool inPlay = m_cameraMode.SwitchMode(TCameraModeAction::ModePlay, QString());
        if (inPlay)
            Wait(m_cameraMode.SwitchPauseMs);
        ok = m_cameraMode.SwitchMode(mode, size);
        if (!ok)
            m_errorText = QStringLiteral("the camera did not switch to the live view size %1").arg(size);
    }
    if (ok)
        releaseAFFrame();
    return ok;
}
