#include "remote/TTimeLapseDownloads.h"

#include "camera/WaitFunc.h"
#include "session/TCamera.h"

#include <QElapsedTimer>
#include <QTimer>

#include <utility>

namespace {

TCameraImportItem importItem(const TTimeLapseShotFile& file)
{
    const int slash = file.CameraPath.lastIndexOf(QLatin1Char('/'));
    TCameraImportItem item(slash > 0 ? file.CameraPath.left(slash) : QStringLiteral("/"), file.FileName,
        file.Size >= 0 ? QString::number(file.Size) : QString(), {}, {});
    item.Date = file.Modified.date();
    item.Time = file.Modified.time();
    return item;
}

} // namespace

TTimeLapseDownloads::TTimeLapseDownloads(QObject* parent)
    : QObject(parent)
{ }

TTimeLapseDownloads::~TTimeLapseDownloads()
{
    *m_alive = false;
}

void TTimeLapseDownloads::SetCamera(TCamera* camera)
{
    if (m_transfers) {
        // Also the file in flight: its transfer ends with the queue.
        if (const TTransferQueue::TJob* current = m_transfers->Current())
            m_waiting.push_back(*current);
        for (const TTransferQueue::TJob& job : m_transfers->Pending())
            m_waiting.push_back(job);
        m_transfers.reset();
    }
    if (!camera)
        return;
    m_transfers = std::make_unique<TTransferQueue>(camera->Import.FileLoader.Link);
    // Each shot's files are new: a name already taken gets a free variant.
    m_transfers->SkipCopies = false;
    m_transfers->HoldWhenGone = true;
    m_transfers->CameraThere = [this] { return !held(); };
    connect(m_transfers.get(), &TTransferQueue::FileDone, this,
        [this](const TTransferQueue::TResult& result) { fileDone(result); });
    connect(m_transfers.get(), &TTransferQueue::Stopped, this, [this](bool all) { stopped(all); });
    for (const TTransferQueue::TJob& job : m_waiting)
        m_transfers->Enqueue(job.File, job.Folder, job.Tag);
    m_waiting.clear();
}

void TTimeLapseDownloads::Add(int shot, const TTimeLapseShotFile& file)
{
    if (m_transfers)
        m_transfers->Enqueue(importItem(file), Folder, shot);
    else
        m_waiting.push_back({ importItem(file), Folder, shot, 0 });
}

int TTimeLapseDownloads::Pending() const
{
    return int(m_waiting.size()) + (m_transfers ? m_transfers->Count() : 0);
}

void TTimeLapseDownloads::YieldToShot()
{
    if (m_transfers && m_transfers->IsRunning()) {
        m_yielded = true;
        m_transfers->GiveWay();
    }
}

void TTimeLapseDownloads::fileDone(const TTransferQueue::TResult& result)
{
    if (!FileDone)
        return;
    // Found already there counts as loaded; any other skip names its reason.
    const bool ok = result.Outcome == TTransferQueue::TOutcome::Copied
        || (result.Outcome == TTransferQueue::TOutcome::Skipped && !result.LocalPath.isEmpty());
    FileDone(result.Job.Tag, result.Job.File.FileName, ok, ok ? QString() : result.Reason);
}

void TTimeLapseDownloads::StartNext()
{
    if (held() || !m_transfers || m_transfers->IsRunning() || m_transfers->Count() == 0)
        return;
    m_transfers->Attempts = Attempts;
    m_transfers->Retarget(Folder);
    m_yielded = false;
    // In the background: whatever comes meanwhile (the next shot, a click) runs beside it.
    m_transfers->Start();
}

void TTimeLapseDownloads::stopped(bool all)
{
    const std::shared_ptr<bool> alive = m_alive;
    const bool yielded = std::exchange(m_yielded, false);
    if (yielded && GaveWay) {
        GaveWay();
        if (!*alive)
            return;
    }
    if (!m_transfers)
        return;
    if (m_transfers->Holding())
        m_wait = true;
    if (all || m_deadline || yielded)
        return;
    if (!held()) {
        // Neither a shot nor the camera holds it: the folder is gone or the camera was reset.
        giveUp(m_transfers->StopReason());
    }
}

void TTimeLapseDownloads::giveUp(const QString& why)
{
    std::deque<TTransferQueue::TJob> left;
    left.swap(m_waiting);
    if (m_transfers) {
        for (const TTransferQueue::TJob& job : m_transfers->Pending())
            left.push_back(job);
        m_transfers->Clear();
    }
    for (const TTransferQueue::TJob& job : left)
        if (FileDone)
            FileDone(job.Tag, job.File.FileName, false, why);
}

bool TTimeLapseDownloads::WaitAll(int timeoutMs)
{
    const std::shared_ptr<bool> alive = m_alive;
    QElapsedTimer clock;
    clock.start();
    m_wait = false;
    m_deadline = false;
    // A transfer still running at the end gives way; it is then given up with the rest.
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, this, [this] {
        m_deadline = true;
        if (m_transfers)
            m_transfers->GiveWay();
    });
    limit.start(timeoutMs);
    StartNext();
    qint64 nextTry = clock.elapsed() + 1000;
    while (Pending() > 0 && !m_deadline && clock.elapsed() < timeoutMs) {
        Wait(20);
        if (!*alive)
            return false;
        // A camera that went away meanwhile is asked again now and then.
        if (m_wait && clock.elapsed() >= nextTry) {
            m_wait = false;
            nextTry = clock.elapsed() + 1000;
        }
        StartNext();
    }
    limit.stop();
    if (m_transfers && m_transfers->IsRunning()) {
        // The file in flight goes back into the queue once its transfer has ended.
        m_transfers->GiveWay();
        for (int i = 0; i < 100 && m_transfers && m_transfers->IsRunning(); ++i) {
            Wait(10);
            if (!*alive)
                return false;
        }
    }
    m_deadline = false;
    if (Pending() == 0)
        return true;
    giveUp(QStringLiteral("not loaded before the end"));
    return false;
}
