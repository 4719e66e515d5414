#pragma once

#include "remote/RemoteControlRules.h"

#include <QObject>
#include <QString>
#include <QStringList>

class TCamera;
class TCameraParam;

// The remote control page's decisions without its widgets: which values a property offers (the
// aperture cut to the lens' limits the live view reports), sending a pick and what a refusal means,
// the touch function's state cycle with the focus point, and the zoom.
//
// Requests wait while events are processed: an object destroyed during such a wait returns without
// touching itself again.
class TRemoteControl : public QObject
{
    Q_OBJECT

public:
    // What a click on the live picture does.
    enum Touch : int {
        // Sets the focus point.
        TouchFocusPoint = 0,
        // Releases at the point.
        TouchRelease = 1,
        // A focus point is set; a click sets another, the touch button frees it.
        TouchFocusSet = 2,
    };

    enum class TSent {
        // Not in remote record mode or no such property: nothing went to the camera.
        NotSent,
        Taken,
        // The camera refused; its values were read again.
        Refused,
    };

    explicit TRemoteControl(QObject* parent = nullptr);
    ~TRemoteControl() override;

    // Forgets the lens limits; the touch state stays with the user's choice.
    void SetCamera(TCamera* camera);
    TCamera* Camera() const { return m_camera; }
    bool IsConnected() const;
    bool IsRemoteRecordMode() const;
    TCameraParam* Param(const QString& name) const;
    // The modes the camera's current values give (none without a camera).
    RemoteControlRules::TShootingModes Modes() const;
    // The camera switches between its modes (record, play) on request.
    bool CanSwitchMode() const;
    bool CanAssignFocusPoint() const;
    // Connected, and the last take was answered (refused or not): worth reading the values again.
    bool IsTakeAnswered() const;

    // The property's display values; the aperture's only within the applied lens limits.
    QStringList Choices(const QString& property) const;
    // The current value's index in Choices, -1 when it is not among them.
    int CurrentIndex(const QString& property) const;
    // The display texts again in the current language (after a language change), the values kept;
    // false without a camera.
    bool Retranslate();

    // The lens of the last visit may be gone: no limits until the live view reports new ones.
    void ResetApertureLimits();
    // Limits from a live view frame; true when they changed and the aperture list must be filled again.
    bool ApplyApertureLimits(int lower, int upper);
    int AppliedLowerLimit() const { return m_lower; }
    int AppliedUpperLimit() const { return m_upper; }

    // Sends a display text or raw value of the property. After a refusal or a lost reply the
    // camera's values are read again, since the camera may have moved others with it.
    TSent Send(const QString& property, const QString& value);
    // Sends value; when the camera refuses or its reply is lost the property is read again, so it
    // shows what the camera holds. True when the camera holds value.
    static bool SetProperty(TCameraParam& param, const QString& value);
    // The line naming a refused pick: the row's caption (the property's name without one) and the
    // value as the user reads it.
    QString RefusalText(const QString& caption, const QString& property, const QString& value) const;
    // Reads every property again; false when not connected.
    bool ReloadAll();

    int TouchState() const { return m_touch; }
    // The touch button: focus point and release swap; a set focus point is freed at the camera
    // first and stays when the camera refuses. False when nothing changed.
    bool CycleTouch();
    // A click on the live picture in focus mode: the focus point at x, y (live view pixels).
    bool AssignFocusPoint(int x, int y);

    // Zoom while a button is held, and off on its release; false when the camera cannot zoom.
    bool Zoom(quint8 move);
    bool ZoomOff();

private:
    TCamera* m_camera = nullptr;
    int m_lower = 0;
    int m_upper = 2147483647;
    int m_touch = TouchFocusPoint;
};
