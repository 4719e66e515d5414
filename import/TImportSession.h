#pragma once

#include "base/TCommunication.h"
#include "camera/TBaseAction.h"
#include "import/TCameraImportItem.h"
#include "import/TPreviewList.h"
#include "import/TTransferQueue.h"

#include <QElapsedTimer>

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TCameraImport;
class TMovPlayTimeAction;
class TThumbnailCache;
class TThumbnailLoader;

// One import from the camera's card, without any window: the folders, one folder's files with
// their thumbnails, and the copy of a selection into a folder of the computer, with progress and a
// result for every file. The photo import page shows it; lumivar-cli drives it.
//
// A folder load lists the files and ends; their thumbnails (and movies' play times) follow in the
// background, one request at a time, from a cache that lasts as long as the session, from the disk
// cache, or from the camera. Every operation of the session holds them back while it runs.
//
// Every camera request waits while events are processed: a second operation while one runs is
// refused, and a session destroyed during such a wait returns without touching itself again.
class TImportSession : public QObject
{
    Q_OBJECT

public:
    // None: loaded without thumbnails; Waiting: still to come; Failed: the camera gave none, twice.
    enum class TPreviewState { None, Waiting, Loaded, Failed };

    // One file of the loaded folders.
    struct TItem
    {
        TCameraImportItem File; // as the camera listed it
        const TPreview* Preview = nullptr; // once loaded
        QString LocalPath; // the copy on the computer; empty while the file is only on the camera
        QString PlayTime; // movies, when the camera tells it
        TPreviewState PreviewState = TPreviewState::None;
    };

    struct TLoadOptions
    {
        // Each file's thumbnail from the caches or the camera, after the load.
        bool Thumbnails = true;
        // Where earlier copies are looked for: a file there counts as copied when it is the same file
        // (name or a free variant of it, and size; TLocalCopies).
        QString LocalFolder;
        // Only files it accepts are loaded; none: every file.
        std::function<bool(const TCameraImportItem&)> Accept;
        // Keep the files loaded before (a whole card, folder by folder).
        bool Append = false;
    };

    using TOutcome = TTransferQueue::TOutcome;
    struct TResult
    {
        int Index = -1; // into Items()
        TOutcome Outcome = TOutcome::NotDone;
        TCameraFailure Failure = TCameraFailure::None; // why a file failed
        // Why it was skipped, failed or not done; for a copy, a time that could not be set.
        QString Reason;
    };

    // cameraThere tells whether the camera can still be asked (connected, in playback); none:
    // always. playTime may be none; it gives the play time of movies.
    TImportSession(TCameraImport& import, TMovPlayTimeAction* playTime,
        std::function<bool()> cameraThere = {}, QObject* parent = nullptr);
    ~TImportSession() override;

    // Lists the card's folders (plain names only) and loads the newest (the last listed). prepare (may
    // be none) runs first, inside the same operation: the page switches the camera to playback there.
    bool ReloadSources(const std::function<void()>& prepare, const TLoadOptions& options);
    // The card's folders with plain names, in listing order. False when the camera did not list them.
    bool ListFolders();
    // The files of one folder ("100OLYMP") into Items(), oldest first. An empty folder is no error.
    bool LoadFolder(const QString& folder, const TLoadOptions& options);
    // Copies the items at indexes, in this order, into folder (an empty one is asked of chooseFolder;
    // none chosen or not existing: nothing happens and the result is false). A file whose copy is in
    // the folder is skipped; a different file under its name keeps it, the copy takes a free variant
    // of the name; a file the camera has not, or that cannot be written, fails and the next one
    // follows; a camera that stops answering, a target folder that goes away or Cancel stop the
    // import (Cancel removes what had arrived of the file in flight). True when it ran to the end.
    bool ImportSelection(const std::vector<int>& indexes, const QString& folder,
        const std::function<QString()>& chooseFolder = {});
    // Ends the running operation after the current file; a running download ends at once and leaves
    // nothing behind.
    void Cancel();
    // Appends a file known from elsewhere (a live import's poll), without thumbnail; returns its
    // index into Items(). -1 while an operation runs.
    int AddItem(const TCameraImportItem& file);

    // Where thumbnails are kept between runs and the camera's name for them (TThumbnailCache::
    // AskCameraName); none: only for the session's life. Applies to the next folder load.
    void SetThumbnailCache(TThumbnailCache* cache, const QString& cameraName);
    // Whether the camera is free for a thumbnail request now (no request of another part running);
    // none: always.
    void SetCameraIdle(std::function<bool()> idle) { m_cameraIdle = std::move(idle); }
    // The items the user can see; their thumbnails go first.
    void SetVisibleItems(int first, int last);
    // No thumbnail requests while paused (the page is not shown).
    void PauseThumbnails(bool paused);
    // Items loaded with thumbnails, and of those the ones whose thumbnail is there or failed for good.
    int ThumbnailsTotal() const;
    int ThumbnailsDone() const;

    bool IsBusy() const { return m_busy; }
    const QStringList& Folders() const { return m_folders; }
    const std::vector<TItem>& Items() const { return m_items; }
    // The sum of the listed sizes of Items().
    qint64 DataSize() const;
    // The last import's result for each file asked for.
    const std::vector<TResult>& Results() const { return m_results; }
    // The last import in a line ("28 kopiert, 1 übersprungen, 1 fehlgeschlagen"), then one line per
    // file that failed or was not done, with its reason.
    QString Summary() const;
    int CountOf(TOutcome outcome) const;
    // Why names were left out of the last listing or load ("refused the camera file name ...").
    const QStringList& Refused() const { return m_refused; }
    // Why the last listing or load failed or stopped.
    const QString& LastError() const { return m_lastError; }
    const TPreviewList& Previews() const { return m_previews; }
    // The queue the imports go through (whether copies found in the folder are skipped).
    TTransferQueue& Transfers() { return *m_transfers; }

signals:
    // An operation (listing, loading, import) begins and ends its work with the camera.
    void Communication(const TCommunication& communication);
    // percent 0 to 100; the title names the operation, the detail the current file or the end.
    void Progress(const QString& title, const QString& detail, bool finished, int percent);
    void FoldersListed();
    void ItemsCleared();
    void ItemAdded(int index);
    // Its play time or its local copy became known.
    void ItemChanged(int index);
    // Its thumbnail arrived or failed for good (PreviewState).
    void PreviewChanged(int index);
    void ThumbnailProgress(int done, int total);
    void FolderLoaded();
    // The card's folders or a folder's files could not be listed, also when asked once more
    // (LastError); a folder without files is no failure.
    void ListingFailed();
    void FileStarted(int index);
    // Bytes of the running download so far and its expected size (-1 unknown).
    void BytesReceived(qint64 received, qint64 expected);
    void FileImported(const TImportSession::TResult& result);
    void ImportFinished();

private:
    class Operation;
    // Go on (after a file whose name was refused), stop, or return at once: the session was destroyed.
    enum class Step { Go, Refused, Stop, Gone };

    bool listFolders(const std::shared_ptr<bool>& alive);
    bool loadFolder(const QString& folder, const TLoadOptions& options, const std::shared_ptr<bool>& alive);
    bool listFiles(
        const QString& folder, std::vector<TCameraImportItem>& files, const std::shared_ptr<bool>& alive);
    // One file of a folder load: its item; its thumbnail and play time follow in the background.
    Step loadItem(
        const TCameraImportItem& file, const TLoadOptions& options, const std::shared_ptr<bool>& alive);
    bool runImport(
        const std::vector<int>& indexes, const QString& folder, const std::shared_ptr<bool>& alive);
    void connectTransfers();
    void importProgress(const QString& detail, qint64 received, bool force);
    bool isCameraThere() const;
    void clearItems();
    // Waits for a running thumbnail request and holds the rest back; false when the session went.
    bool holdThumbnails(const std::shared_ptr<bool>& alive);
    void thumbnailReady(int index, const QByteArray& jpeg);
    QString previewKey(const TCameraImportItem& file) const;
    void progress(const QString& title, const QString& detail, bool finished, double percent);
    void refuse(const QString& logLine, const QString& why);

    TCameraImport& m_import;
    TMovPlayTimeAction* m_playTime;
    std::function<bool()> m_cameraThere;
    std::function<bool()> m_cameraIdle;
    TPreviewList m_previews; // named by TThumbnailCache::Key
    TThumbnailCache* m_cache = nullptr;
    QString m_cameraName;
    std::unique_ptr<TThumbnailLoader> m_thumbnails;
    int m_thumbnailsTotal = 0; // items loaded with thumbnails
    int m_thumbnailsDone = 0; // of those with a thumbnail or failed for good
    QStringList m_folders;
    std::vector<TItem> m_items;
    std::vector<TResult> m_results;
    QStringList m_refused;
    QString m_lastError;
    bool m_busy = false;
    bool m_cancelled = false;
    std::unique_ptr<TTransferQueue> m_transfers;
    // The running import's progress: its title, the bytes of the files done and of all of them, and
    // when the file in flight began (for the time left).
    struct TRun
    {
        QString Title;
        qint64 TotalBytes = 0;
        qint64 DoneBytes = 0;
        int Done = 0;
        int Count = 0;
        QString Current;
        QElapsedTimer FileClock;
        QElapsedTimer Throttle;
    } m_run;
    // Lets a wait that outlived the session notice it.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
