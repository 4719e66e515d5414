#pragma once

#include "import/TTransferQueue.h"
#include "remote/TTimeLapseShot.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>

class TCamera;

// The download of each shot's files in the background between shots, through a transfer queue on
// the camera's link. A failed transfer is tried again at the end of the queue up to Attempts times;
// one stopped for a shot, or one that found the camera gone, goes back to the front without using up
// an attempt, and a gone camera holds the queue until the next shot that works.
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

    // Files through a queue on camera's link; none without a camera.
    void SetCamera(TCamera* camera);
    void Add(int shot, const TTimeLapseShotFile& file);
    // Called once a run that gave way to a shot has ended: the shot may go now.
    std::function<void()> GaveWay;

    // The camera is the shot's: a running transfer gives way and is tried again after it. The shot
    // waits for GaveWay: the camera gets one request at a time.
    void YieldToShot();
    // A run of the queue is going on (in the background).
    bool IsRunning() const { return m_transfers && m_transfers->IsRunning(); }
    // A shot worked: the camera answers again.
    void Resume() { m_wait = false; }
    // Starts the waiting files in the background, unless held.
    void StartNext();
    int Pending() const;
    // Waits while events are processed until every queued file is loaded or given up, at most
    // timeoutMs; what is left then is given up. False when files were given up or the object was
    // destroyed meanwhile.
    bool WaitAll(int timeoutMs);

private:
    bool held() const { return m_wait || (IsHeld && IsHeld()); }
    // The queue's run ended.
    void stopped(bool all);
    void fileDone(const TTransferQueue::TResult& result);
    // Reports every file not loaded as given up for why and forgets it.
    void giveUp(const QString& why);

    std::unique_ptr<TTransferQueue> m_transfers;
    // Files added while there is no camera.
    std::deque<TTransferQueue::TJob> m_waiting;
    bool m_yielded = false;
    bool m_deadline = false;
    // A transfer found the camera gone: the queue waits for the next shot that works.
    bool m_wait = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
