#pragma once

#include "remote/TTimeLapseShot.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

class QByteArray;
class QImage;
class TCamera;
class TShooting;

// The camera side of a series: a picture through the shooting object and the files it left on the
// card, the exposure values a log line records, and a camera that comes back after it stopped
// answering put into recording mode with the series' settings again.
//
// Requests wait while events are processed: an object destroyed during such a wait returns without
// touching itself again.
class TTimeLapseCamera
{
public:
    TTimeLapseCamera();
    ~TTimeLapseCamera();
    TTimeLapseCamera(const TTimeLapseCamera&) = delete;
    TTimeLapseCamera& operator=(const TTimeLapseCamera&) = delete;

    void SetShooting(TShooting* shooting) { m_shooting = shooting; }
    TShooting* Shooting() const { return m_shooting; }
    TCamera* Camera() const;

    // Shot number; an error answer to the press is pressed once more while mayPressAgain says so.
    TTimeLapseShotOutcome Shoot(int number, const std::function<bool()>& mayPressAgain);
    // What the shooting object's last take gave: its files only when it was taken and the card
    // lists new files for it, and whether the camera stopped answering.
    TTimeLapseShotOutcome Outcome(bool taken) const;
    // The camera's value of a property; empty when it has none.
    QString ParamValue(const char* name) const;

    // The record view of the shot just taken as jpeg and decoded into image; false when the camera
    // has none or gave none.
    bool RecordView(QByteArray& jpeg, QImage& image);

    // The settings a camera that comes back gets again.
    void NoteSettings();
    // Recording mode and the noted settings; false while the camera does not answer.
    bool Restore();

private:
    TShooting* m_shooting = nullptr;
    QList<QPair<QString, QString>> m_settings; // property, raw value
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
