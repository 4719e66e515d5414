#pragma once

#include "base/TCommunication.h"
#include "import/TBaseCameraImportItems.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class TCamera;

// The remote release without its window: the shutter press, the poll of the camera's newest folder
// every two seconds, and what the poll found since the camera was set: how many new files, their
// size, the newest shot's files and their description. Only the newest shot of each poll counts;
// files present at start (the baseline) never do.
//
// Requests wait while events are processed: the poll refuses to run inside itself, and an object
// destroyed during such a wait returns without touching itself again.
class TRemoteRelease : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollIntervalMs = 2000;

    explicit TRemoteRelease(QObject* parent = nullptr);
    ~TRemoteRelease() override;

    // Writes the trace lines of start and release.
    bool DetailedLog = false;

    // Forgets everything counted and stops polling.
    void SetCamera(TCamera* camera);
    TCamera* Camera() const { return m_camera; }
    // The camera switches into shutter mode for a live view.
    bool CanSwitchMode() const;

    // Begins a communication, runs startView (may be none), takes the baseline and starts polling,
    // ending the communication however that goes.
    void Start(const std::function<void()>& startView = {});
    // Stops polling; the counters stay.
    void Leave();
    // One poll of the newest folder; a baseline only notes its files. False when it could not list
    // or a poll is running.
    bool RequestData(bool baseline);
    // A full press and release of the shutter; true when the press went through. The communication
    // events come also when nothing could be sent.
    bool TakePhoto();
    // One of the shutter-only modes: without (3) or with a live view size (4); nothing while the
    // camera has no modes. False when the camera refuses it (bodies without a shutter-only mode).
    bool EnterShutterMode(quint8 mode = 3);
    // The last switch to a shutter-only mode was refused: the page says why it cannot release.
    bool IsShutterModeRefused() const { return m_shutterModeRefused; }
    // Stops the shutter-mode live view when it runs.
    void StopReleaseView();

    bool IsRunning() const { return m_running; }
    bool IsRequesting() const { return m_requesting; }
    bool IsPolling() const { return m_timer.isActive(); }
    qint64 NewFileCount() const { return m_newFileCount; }
    // Shots, not files: a RAW+JPEG shot is one.
    qint64 NewShotCount() const { return m_newShotCount; }
    qint64 NewFileBytes() const { return m_newFileBytes; }
    const TBaseCameraImportItems& Latest() const { return m_latest; }
    const TBaseCameraImportItems& Known() const { return m_known; }
    // The newest shot's files with sizes and its date; empty after a baseline or a failed poll.
    const QString& LastTakeInfo() const { return m_lastTakeInfo; }
    bool IsJpeg() const;
    bool IsRaw() const;
    // The release bit, a camera with modes, and one of the two shutter-only modes.
    bool IsTakeEnabled() const;

signals:
    // A camera communication begins or ends; after a shot the free regions (none here).
    void Communication(const TCommunication& communication);
    // Counters, latest list or description changed.
    void Changed();

private:
    bool requestData(bool baseline, const std::shared_ptr<bool>& alive);
    bool hasExtension(const char* extension) const;
    void timerTick();
    void trace(const QString& line) const;

    TCamera* m_camera = nullptr;
    bool m_running = false;
    bool m_requesting = false;
    qint64 m_newFileCount = 0;
    qint64 m_newShotCount = 0;
    bool m_shutterModeRefused = false;
    qint64 m_newFileBytes = 0;
    TBaseCameraImportItems m_latest { true };
    TBaseCameraImportItems m_known { true };
    QString m_lastTakeInfo;
    QTimer m_timer;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
