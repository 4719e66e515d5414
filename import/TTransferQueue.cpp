#include "import/TTransferQueue.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "import/FileSizeText.h"
#include "import/TLocalCopies.h"

#include <QFileInfo>
#include <QTimer>

#include <exception>

namespace {

constexpr TNamedText kTransferTexts[] = {
    { "_rsTransferSummary", "%d kopiert, %d übersprungen, %d fehlgeschlagen" },
    { "_rsTransferBytes", "%s von %s" },
    { "_rsTransferBytesLeft", "%s von %s, noch %s" },
    { "_rsTransferCancel", "Abbrechen" },
};

QString cameraGone()
{
    return QStringLiteral("the camera does not answer");
}

// A failed try after which the run cannot go on.
bool stopsRun(const TFileLoaderAction& loader)
{
    switch (loader.LastFailure) {
    case TCameraFailure::Cancelled:
    case TCameraFailure::Reset:
        return true;
    case TCameraFailure::LocalWrite:
        return false; // that file only: the next one may fit
    default:
        // No answer at all: the camera is gone, every further request would wait as long.
        return loader.ResponseCode < 0;
    }
}

QString durationText(qint64 ms)
{
    const qint64 s = (ms + 999) / 1000;
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600)
            .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TTransferQueue::TTransferQueue(const TCameraLink& link, QObject* parent)
    : QObject(parent)
    , m_loader(link)
{
    TNamedTexts::Register(kTransferTexts);
    m_loader.Probe(nullptr);
    m_loader.OnProgress
        = [this](qint64 received, qint64 expected) { emit BytesReceived(received, expected); };
    m_loader.OnLoaded = [this](TFileLoaderAction*, bool ok) { backgroundLoaded(ok); };
}

TTransferQueue::~TTransferQueue()
{
    *m_alive = false;
    m_loader.OnProgress = nullptr;
    m_loader.OnLoaded = nullptr;
}

QString TTransferQueue::SummaryText(int copied, int skipped, int failed)
{
    TNamedTexts::Register(kTransferTexts);
    return rs("_rsTransferSummary", { copied, skipped, failed });
}

QString TTransferQueue::BytesText(qint64 received, qint64 expected, qint64 msLeft)
{
    TNamedTexts::Register(kTransferTexts);
    const QString done = FileSizeText(received);
    const QString whole = expected >= 0 ? FileSizeText(expected) : QStringLiteral("?");
    if (msLeft < 0)
        return rs("_rsTransferBytes", { done, whole });
    return rs("_rsTransferBytesLeft", { done, whole, durationText(msLeft) });
}

void TTransferQueue::Enqueue(const TCameraImportItem& file, const QString& folder, int tag)
{
    m_queue.push_back({ file, folder, tag, 0 });
}

void TTransferQueue::Clear()
{
    m_queue.clear();
}

void TTransferQueue::Retarget(const QString& folder)
{
    for (TJob& job : m_queue)
        job.Folder = folder;
}

void TTransferQueue::Cancel()
{
    m_queue.clear();
    if (!m_running)
        return;
    m_cancelled = true;
    m_loader.Cancel();
}

void TTransferQueue::GiveWay()
{
    if (!m_running)
        return;
    m_gaveWay = true;
    if (m_current)
        m_loader.Cancel();
}

void TTransferQueue::beginRun()
{
    m_running = true;
    m_cancelled = m_gaveWay = m_holding = false;
    m_stopReason.clear();
}

TTransferQueue::Next TTransferQueue::takeNext()
{
    if (m_queue.empty() || m_cancelled || m_gaveWay)
        return Next::Stop;
    if (!QFileInfo(m_queue.front().Folder).isDir()) {
        m_stopReason = QStringLiteral("the target folder %1 is gone").arg(m_queue.front().Folder);
        return Next::Stop;
    }
    if (CameraThere && !CameraThere()) {
        m_stopReason = cameraGone();
        return Next::Stop;
    }
    const std::shared_ptr<bool> alive = m_alive;
    m_current = m_queue.front();
    m_queue.pop_front();
    emit FileStarted(*m_current);
    if (!*alive)
        return Next::Gone;
    if (m_gaveWay && !m_cancelled) {
        // Asked to give way before the file began: it waits first, untouched.
        m_queue.push_front(*m_current);
        m_current.reset();
        return Next::Stop;
    }
    return Next::Go;
}

TTransferQueue::Next TTransferQueue::settle(TResult& result, Next next)
{
    TJob job = *m_current;
    m_current.reset();
    result.Job = job; // with the tries made
    if (m_gaveWay && !m_cancelled) {
        // Not its fault: the try does not count.
        --job.Attempts;
        m_queue.push_front(job);
        return Next::Stop;
    }
    if (HoldWhenGone && next == Next::Stop && !m_cancelled && result.Outcome == TOutcome::Failed
        && result.Failure != TCameraFailure::Reset) {
        // Not its fault either: it waits for the camera.
        --job.Attempts;
        m_queue.push_front(job);
        m_holding = true;
        m_stopReason = cameraGone();
        return Next::Stop;
    }
    if (m_cancelled && result.Outcome == TOutcome::Failed) {
        result.Failure = TCameraFailure::Cancelled;
        result.Reason = QStringLiteral("cancelled");
    }
    if (result.Outcome == TOutcome::Failed && next == Next::Go && !m_cancelled && job.Attempts < Attempts) {
        m_queue.push_back(job);
        return Next::Go;
    }
    const std::shared_ptr<bool> alive = m_alive;
    emit FileDone(result);
    if (!*alive)
        return Next::Gone;
    if (next == Next::Stop) {
        m_stopReason = m_cancelled                    ? QStringLiteral("cancelled")
            : result.Failure == TCameraFailure::Reset ? QStringLiteral("the camera was reset")
                                                      : cameraGone();
    }
    return next;
}

bool TTransferQueue::endRun()
{
    if (m_cancelled) {
        m_queue.clear();
        m_stopReason = QStringLiteral("cancelled");
    } else if (m_gaveWay && m_stopReason.isEmpty()) {
        m_stopReason = QStringLiteral("gave way");
    }
    m_running = false;
    return m_queue.empty() && m_stopReason.isEmpty();
}

void TTransferQueue::failed(TResult& result, TCameraFailure failure, const QString& reason)
{
    result.Outcome = TOutcome::Failed;
    result.Failure = failure;
    result.Reason = reason;
}

bool TTransferQueue::Run()
{
    if (m_running)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    beginRun();
    for (;;) {
        const Next taken = takeNext();
        if (taken == Next::Gone)
            return false;
        if (taken == Next::Stop)
            break;
        TResult result { *m_current, TOutcome::NotDone, TCameraFailure::None, {}, {} };
        Next next = Next::Go;
        if (m_cancelled) {
            failed(result, TCameraFailure::Cancelled, QStringLiteral("cancelled"));
        } else {
            try {
                next = transfer(*m_current, result);
            } catch (const std::exception& e) {
                TLogger::LogAlways(
                    QStringLiteral("TTransferQueue.Run (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
                failed(result, TCameraFailure::Internal, QStringLiteral("unexpected error"));
            }
        }
        if (next == Next::Gone || !*alive)
            return false;
        next = settle(result, next);
        if (next == Next::Gone)
            return false;
        if (next == Next::Stop)
            break;
    }
    return endRun();
}

bool TTransferQueue::Start()
{
    if (m_running)
        return false;
    beginRun();
    backgroundStep();
    return true;
}

void TTransferQueue::backgroundStep()
{
    const std::shared_ptr<bool> alive = m_alive;
    for (;;) {
        const Next taken = takeNext();
        if (taken == Next::Gone)
            return;
        if (taken == Next::Stop)
            break;
        TResult result { *m_current, TOutcome::NotDone, TCameraFailure::None, {}, {} };
        Next next = Next::Go;
        QString local;
        if (m_cancelled) {
            failed(result, TCameraFailure::Cancelled, QStringLiteral("cancelled"));
        } else if (!prepare(*m_current, result, local)) {
            ++m_current->Attempts;
            const TJob& job = *m_current;
            bool started = false;
            try {
                started = m_loader.Load(
                    job.File.CameraPath(), { local, job.File.Size(), job.File.DateTime() }, false);
            } catch (const std::exception& e) {
                TLogger::LogAlways(
                    QStringLiteral("TTransferQueue.Start (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
            }
            if (!*alive)
                return;
            if (started)
                return; // backgroundLoaded follows
            // It could not even begin: a failed try.
            next = loaded(result, false);
        }
        next = settle(result, next);
        if (next == Next::Gone)
            return;
        if (next == Next::Stop)
            break;
    }
    const bool all = endRun();
    emit Stopped(all);
}

void TTransferQueue::backgroundLoaded(bool ok)
{
    if (!m_running || !m_current)
        return;
    TResult result { *m_current, TOutcome::NotDone, TCameraFailure::None, {}, {} };
    const Next next = settle(result, loaded(result, ok));
    if (next == Next::Gone)
        return;
    if (next == Next::Stop) {
        const bool all = endRun();
        emit Stopped(all);
        return;
    }
    // Not inside the loader's own completion.
    QTimer::singleShot(0, this, [this] {
        if (m_running && !m_current)
            backgroundStep();
    });
}

bool TTransferQueue::prepare(const TJob& job, TResult& result, QString& local)
{
    if (SkipCopies) {
        const QString copy = TLocalCopies::FindCopy(job.Folder, job.File);
        if (!copy.isEmpty()) {
            result.Outcome = TOutcome::Skipped;
            result.Reason = QStringLiteral("already copied to %1").arg(copy);
            result.LocalPath = copy;
            return true;
        }
    }
    QString why;
    local = TFileLoaderAction::TargetPath(job.Folder, job.File.FileName, &why);
    if (local.isEmpty()) {
        TLogger::LogAlways(QStringLiteral("TTransferQueue.Run: ") + why);
        result.Outcome = TOutcome::Skipped;
        result.Reason = why;
        return true;
    }
    return false;
}

TTransferQueue::Next TTransferQueue::transfer(TJob& job, TResult& result)
{
    QString local;
    if (prepare(job, result, local))
        return Next::Go;
    ++job.Attempts;
    const std::shared_ptr<bool> alive = m_alive;
    const bool ok
        = m_loader.Load(job.File.CameraPath(), { local, job.File.Size(), job.File.DateTime() }, true);
    if (!*alive)
        return Next::Gone;
    return loaded(result, ok);
}

TTransferQueue::Next TTransferQueue::loaded(TResult& result, bool ok)
{
    if (ok && !m_loader.LoadedFile.isEmpty()) {
        result.Outcome = TOutcome::Copied;
        result.Reason = m_loader.LastError; // a time that could not be set; the copy is kept
        result.LocalPath = m_loader.LoadedFile;
        return Next::Go;
    }
    if (ok) {
        // Done without a file: the loader was reset (and disabled) meanwhile.
        failed(result, TCameraFailure::Reset, QStringLiteral("the camera was reset"));
        return Next::Stop;
    }
    failed(result, m_loader.LastFailure, m_loader.LastError.isEmpty() ? cameraGone() : m_loader.LastError);
    return m_cancelled || m_gaveWay || stopsRun(m_loader) ? Next::Stop : Next::Go;
}
