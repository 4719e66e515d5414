#pragma once

#include "remote/TTimeLapseShot.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>

class TCamera;
class TFileLoaderAction;

// The download of each shot's files in the background between shots, one file at a time through a
// loader of the camera's link. A failed transfer is tried again at the end of the queue up to
// Attempts times; one stopped for a shot, or one that found the camera gone, goes back to the front
// without using up an attempt, and a gone camera holds the queue until the next shot that works.
class TTimeLapseDownloads : public QObject
{
    Q_OBJECT

public:
    explicit TTimeLapseDownloads(QObject* parent = nullptr);
    ~TTimeLapseDownloads() override;

    // A file of shot is loaded (ok) or given up (why).
    std::function<void(int shot, const QString& fileName, bool ok, const QString& why)> FileDone;
    // True while no transfer may start: a shot is being taken or the camera is lost.
    std::function<bool()> IsHeld;
    QString Folder;
    // Transfers of a file are tried this often in all.
    int Attempts = 3;

    // Files through a loader of camera's link; none without a camera.
    void SetCamera(TCamera* camera);
    void Add(int shot, const TTimeLapseShotFile& file);
    // The camera is the shot's: a running transfer gives way and is tried again after it.
    void YieldToShot();
    // A shot worked: the camera answers again.
    void Resume() { m_wait = false; }
    void StartNext();
    int Pending() const { return int(m_queue.size()) + (m_current ? 1 : 0); }
    // Waits while events are processed until every queued file is loaded or given up, at most
    // timeoutMs; what is left then is given up. False when files were given up or the object was
    // destroyed meanwhile.
    bool WaitAll(int timeoutMs);

private:
    struct TDownload
    {
        int Shot = 0;
        TTimeLapseShotFile File;
        int Attempts = 0;
    };

    void onLoaded(bool ok);
    void done(int shot, const QString& fileName, bool ok, const QString& why);

    std::unique_ptr<TFileLoaderAction> m_loader;
    std::deque<TDownload> m_queue;
    std::unique_ptr<TDownload> m_current;
    bool m_cancelledForShot = false;
    // A transfer found the camera gone: the queue waits for the next shot that works.
    bool m_wait = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
