#include "remote/TRemoteControl.h"

#include "base/TNamedTexts.h"
#include "remote/RemoteControlRules.h"
#include "session/TCamera.h"

#include <QPointer>

TRemoteControl::TRemoteControl(QObject* parent)
    : QObject(parent)
{ }

TRemoteControl::~TRemoteControl() = default;

void TRemoteControl::SetCamera(TCamera* camera)
{
    m_camera = camera;
    m_lower = 0;
    m_upper = RemoteControlRules::NoUpperLimit;
}

bool TRemoteControl::IsConnected() const
{
    return m_camera && m_camera->Connected;
}

RemoteControlRules::TShootingModes TRemoteControl::Modes() const
{
    return m_camera ? RemoteControlRules::ModesOf(m_camera->Remote.Params)
                    : RemoteControlRules::TShootingModes();
}

bool TRemoteControl::CanSwitchMode() const
{
    return m_camera && m_camera->Remote.CameraMode.Enabled;
}

bool TRemoteControl::CanAssignFocusPoint() const
{
    return m_camera && m_camera->Remote.AssignAFFrame.Enabled;
}

bool TRemoteControl::IsTakeAnswered() const
{
    return IsConnected() && m_camera->Remote.Take.LastFailure != TCameraFailure::NoAnswer;
}

bool TRemoteControl::IsRemoteRecordMode() const
{
    return m_camera && (m_camera->Capabilities & TCamera::CapRemote) && m_camera->Remote.CameraMode.Enabled
        && m_camera->Remote.CameraMode.Mode == TCameraModeAction::ModeRec;
}

TCameraParam* TRemoteControl::Param(const QString& name) const
{
    return m_camera ? m_camera->Remote.Params.Find(name) : nullptr;
}

QStringList TRemoteControl::Choices(const QString& property) const
{
    const TCameraParam* p = Param(property);
    if (!p)
        return {};
    QStringList items = p->DisplayValues;
    if (property == QLatin1String("focalvalue") && p->DisplayNumbers.size() == items.size()) {
        const auto [first, last] = RemoteControlRules::ApertureWindow(p->DisplayNumbers, m_lower, m_upper);
        items = first < 0 ? QStringList() : items.mid(first, last - first + 1);
    }
    return items;
}

int TRemoteControl::CurrentIndex(const QString& property) const
{
    const TCameraParam* p = Param(property);
    return p ? int(Choices(property).indexOf(p->Value)) : -1;
}

bool TRemoteControl::Retranslate()
{
    if (!m_camera)
        return false;
    m_camera->Remote.Params.FillDictionaries();
    return true;
}

void TRemoteControl::ResetApertureLimits()
{
    m_lower = 0;
    m_upper = RemoteControlRules::NoUpperLimit;
    if (TCameraParam* aperture = Param(QStringLiteral("focalvalue"))) {
        aperture->MinLimit = 0;
        aperture->MaxLimit = RemoteControlRules::NoUpperLimit;
    }
}

bool TRemoteControl::ApplyApertureLimits(int lower, int upper)
{
    // A frame without a lens report leaves the last limits in force.
    if (lower <= 0 || upper == RemoteControlRules::NoUpperLimit || (lower == m_lower && upper == m_upper))
        return false;
    m_lower = lower;
    m_upper = upper;
    if (TCameraParam* aperture = Param(QStringLiteral("focalvalue"))) {
        aperture->MinLimit = lower;
        aperture->MaxLimit = upper;
    }
    return true;
}

TRemoteControl::TSent TRemoteControl::Send(const QString& property, const QString& value)
{
    TCameraParam* p = Param(property);
    if (!IsRemoteRecordMode() || !p)
        return TSent::NotSent;
    const QPointer<TRemoteControl> self(this);
    const bool taken = p->SetValue(value);
    if (!self)
        return TSent::NotSent;
    if (taken)
        return TSent::Taken;
    ReloadAll();
    if (!self)
        return TSent::NotSent;
    // A lost reply to a value the camera took.
    return p->Valid && p->IndexOf(value) >= 0 && p->IndexOf(value) == p->IndexOf(p->Value) ? TSent::Taken
                                                                                           : TSent::Refused;
}

bool TRemoteControl::SetProperty(TCameraParam& param, const QString& value)
{
    if (param.SetValue(value))
        return true;
    if (!param.CanGet || !param.Refresh())
        return false;
    const int index = param.IndexOf(value);
    return index >= 0 && index == param.IndexOf(param.Value);
}

QString TRemoteControl::RefusalText(
    const QString& caption, const QString& property, const QString& value) const
{
    QString shown = value;
    if (const TCameraParam* p = Param(property))
        shown = p->Dictionary.ValueOf(value, true);
    return rs("_rsPropertyRefused", { caption.isEmpty() ? property : caption, shown });
}

bool TRemoteControl::ReloadAll()
{
    if (!m_camera)
        return false;
    return m_camera->Remote.Params.RefreshAll();
}

bool TRemoteControl::CycleTouch()
{
    if (!IsConnected())
        return false;
    if (m_touch != TouchFocusSet) {
        m_touch = m_touch == TouchFocusPoint ? TouchRelease : TouchFocusPoint;
        return true;
    }
    TReleaseAFFrameAction& release = m_camera->Remote.ReleaseAFFrame;
    if (release.Enabled) {
        const QPointer<TRemoteControl> self(this);
        const bool freed = release.Execute();
        if (!self || !freed)
            return false;
    }
    m_touch = TouchFocusPoint;
    return true;
}

bool TRemoteControl::AssignFocusPoint(int x, int y)
{
    if (!IsConnected() || m_touch == TouchRelease)
        return false;
    TAssignAFFrameAction& assign = m_camera->Remote.AssignAFFrame;
    if (!assign.Enabled)
        return false;
    const QPointer<TRemoteControl> self(this);
    const bool ok = assign.Assign(x, y);
    if (!self || !ok)
        return false;
    m_touch = TouchFocusSet;
    return true;
}

bool TRemoteControl::Zoom(quint8 move)
{
    if (!IsConnected() || !m_camera->Remote.CtrlZoom.Enabled)
        return false;
    return m_camera->Remote.CtrlZoom.Zoom(move);
}

bool TRemoteControl::ZoomOff()
{
    return Zoom(TCtrlZoomAction::Off);
}
