#pragma once

#include "camera/TCameraLink.h"
#include "import/TCameraImportItem.h"
#include "import/TFileLoaderAction.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

// Copies camera files into folders of the computer, one request at a time, with a loader of its own:
// the files wait in a queue, each is tried up to Attempts times (a failed try goes to the back), and
// each ends with a result. A copy is complete under its name or not there at all, and never takes the
// place of a different file (TLocalCopies); a file whose copy is already there is skipped.
//
// Run waits while events are processed (Start is its background form); from inside that wait Cancel
// ends the run after removing the file in flight, and GiveWay lets a shot go first: the file in flight is
// abandoned and waits first in the queue, its try not counted. A queue destroyed during the wait is not
// touched again.
class TTransferQueue : public QObject
{
    Q_OBJECT

public:
    enum class TOutcome { Copied, Skipped, Failed, NotDone };

    struct TJob
    {
        TCameraImportItem File;
        QString Folder; // where the copy goes
        int Tag = -1; // the caller's key for the file
        int Attempts = 0; // tries so far
    };

    struct TResult
    {
        TJob Job;
        TOutcome Outcome = TOutcome::NotDone;
        TCameraFailure Failure = TCameraFailure::None; // why a file failed
        // Why it was skipped or failed; for a copy, a time that could not be set.
        QString Reason;
        QString LocalPath; // the copy (or the copy found), the name or a free variant of it
    };

    explicit TTransferQueue(const TCameraLink& link, QObject* parent = nullptr);
    ~TTransferQueue() override;

    // Tries of a file within a run before it fails.
    int Attempts = 1;
    // A file whose copy is already in its folder is skipped; off: fetched again (the copy is replaced
    // by the same bytes).
    bool SkipCopies = true;
    // Asked before each file; false stops the run (the camera cannot be asked). None: always.
    std::function<bool()> CameraThere;
    // A file that finds the camera gone waits first in the queue, its try not counted, and the run
    // stops (Holding); off: it fails like any other file.
    bool HoldWhenGone = false;

    void Enqueue(const TCameraImportItem& file, const QString& folder, int tag = -1);
    // Forgets the waiting files (not the one in flight).
    void Clear();
    // The waiting files go to folder instead.
    void Retarget(const QString& folder);
    // Copies the waiting files until none is left or the run stops: Cancel, GiveWay, the camera gone
    // (CameraThere, or a file without any answer) or the next file's folder gone. Files not begun stay
    // queued. True when the queue ran empty without a stop; false at once while running.
    bool Run();
    // Run in the background: returns at once (false while a run goes on); the files follow from the
    // event loop and Stopped tells the end with what Run would have returned. Nothing waits inside
    // it, so a timer or a click meanwhile never runs nested in a transfer's wait.
    bool Start();
    // Ends a run: the file in flight is abandoned (its temporary file removed) and reported failed,
    // the waiting files are forgotten.
    void Cancel();
    // Abandons the file in flight (between files: begins none); it waits first in the queue and the
    // run returns. The caller that asked goes on once Run has returned, never inside its wait.
    void GiveWay();

    bool IsRunning() const { return m_running; }
    bool IsCancelled() const { return m_cancelled; }
    const std::deque<TJob>& Pending() const { return m_queue; }
    // The file being copied; none between files.
    const TJob* Current() const { return m_current ? &*m_current : nullptr; }
    // Waiting files and the one in flight.
    int Count() const { return int(m_queue.size()) + (m_current ? 1 : 0); }
    // Why the last run stopped with files left; empty when it ran out of files.
    const QString& StopReason() const { return m_stopReason; }
    // The last run stopped because a file found the camera gone (HoldWhenGone); that file waits first.
    bool Holding() const { return m_holding; }
    TFileLoaderAction& Loader() { return m_loader; }

    // "28 kopiert, 1 übersprungen, 1 fehlgeschlagen" for counts of a run.
    static QString SummaryText(int copied, int skipped, int failed);
    // "1.2 GB von 3.8 GB, noch 2:13" for a file in flight; the time only once it can be told.
    static QString BytesText(qint64 received, qint64 expected, qint64 msLeft);

signals:
    void FileStarted(const TTransferQueue::TJob& job);
    // Bytes of the file in flight so far and its expected size (-1 unknown).
    void BytesReceived(qint64 received, qint64 expected);
    void FileDone(const TTransferQueue::TResult& result);
    // A run begun with Start ended; all: the queue ran empty without a stop.
    void Stopped(bool all);

private:
    // One try of job; Gone when the queue went away meanwhile.
    enum class Next { Go, Stop, Gone };
    Next transfer(TJob& job, TResult& result);
    // A file settled without a transfer (its copy found, its name refused); else local is its path.
    bool prepare(const TJob& job, TResult& result, QString& local);
    // The loader's end of a try.
    Next loaded(TResult& result, bool ok);
    static void failed(TResult& result, TCameraFailure failure, const QString& reason);
    void beginRun();
    // The next file into m_current (FileStarted); Stop when the run ends before it.
    Next takeNext();
    // A try of m_current ended with result: tried again, held, or done (FileDone).
    Next settle(TResult& result, Next next);
    bool endRun();
    void backgroundStep();
    void backgroundLoaded(bool ok);

    TFileLoaderAction m_loader;
    std::deque<TJob> m_queue;
    std::optional<TJob> m_current;
    QString m_stopReason;
    bool m_running = false;
    bool m_cancelled = false;
    bool m_gaveWay = false;
    bool m_holding = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
