#pragma once

#include "base/TCommunication.h"
#include "import/TBaseCameraImportItems.h"
#include "import/TLiveImportTracker.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

class TCameraImport;
class TCameraModeAction;
class TTransferQueue;

// The live import without its window: the camera in shutter mode, the newest folder polled every
// two seconds against the baseline taken at start, and every new file that passes the filter queued
// and copied into the target folder, oldest first, one at a time. The copies go through a transfer
// queue (TTransferQueue), so a file is either complete under its name or not there at all, never over
// a different file of that name, and a burst is copied back to back without polls in between.
//
// Bodies without folder pages are polled through the listing request, in playback (the mode that
// lists); a body without a shutter-only mode says so in Notice(). A file that fails comes back at the
// next poll, at most three times, then it is reported as failed for good. A camera that goes away is
// reported and polled on; polling picks up where it was when it answers again, and a start after the
// page was stopped because the camera went away keeps the baseline, so shots taken just before the
// drop are fetched after it.
//
// Requests wait while events are processed: the poll refuses to run inside itself or during a copy,
// and an object destroyed during such a wait returns without touching itself again.
class TLiveImport : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollIntervalMs = 2000;
    static constexpr int DownloadDelayMs = 250;
    // A poll that saw new files still to be confirmed (the camera may be writing them) comes this soon.
    static constexpr int ConfirmDelayMs = 500;

    // cameraThere tells whether the camera can still be asked (connected); none: always. mode may be
    // none: the camera's mode is left as it is.
    TLiveImport(TCameraImport& import, TCameraModeAction* mode, std::function<bool()> cameraThere = {},
        QObject* parent = nullptr);
    ~TLiveImport() override;

    // Writes the trace lines of start.
    bool DetailedLog = false;

    // Tests poll faster than the camera needs.
    void SetPollInterval(int ms) { m_pollIntervalMs = ms; }
    int PollInterval() const { return m_pollIntervalMs; }

    // Extensions to fetch, upper case without dot ("JPG", "ORF", "MOV"); empty: every file.
    void SetFilter(const QStringList& extensions);
    const QStringList& Filter() const { return m_filter; }
    // Where the copies go; a folder that does not exist holds the queue until it does.
    void SetTargetFolder(const QString& folder);
    const QString& TargetFolder() const { return m_targetFolder; }
    bool IsTargetFolderValid() const;

    // Forgets the counters, the lists and the queue, and stops.
    void Reset();
    // Shutter-only mode (or playback on a body without it), the baseline poll, then polling.
    void Start();
    // Stops polling and copying; a copy in flight ends first. Counters stay, and so does the baseline
    // when the camera is away: the next Start goes on from it.
    void Leave();
    // One poll; queueNew false takes a baseline. False when it could not list or may not run now.
    bool RequestData(bool queueNew);
    // Stops polling and queueing until the next Start; the file in flight is abandoned (its
    // temporary file removed) and the queue emptied.
    void CancelTransfer();

    bool IsRunning() const { return m_running; }
    bool IsRequesting() const { return m_requesting; }
    bool IsDownloading() const { return m_downloading; }
    bool IsCancelled() const { return m_cancel; }
    // Files wait or one is being copied. A cancelled copy counts no more: it may still be unwinding
    // below a wait that called CancelTransfer, but it can no longer write its file.
    bool IsTransferring() const;
    int QueueLength() const;
    qint64 DownloadedCount() const { return m_downloadedCount; }
    qint64 DownloadedBytes() const { return m_downloadedBytes; }
    qint64 FailedCount() const { return m_failedCount; }
    // The polled folder's newest shot: its files and their description ("vom" line last).
    const TBaseCameraImportItems& Latest() const { return m_latest; }
    const QString& LastTakeInfo() const { return m_lastTakeInfo; }
    bool IsJpeg() const;
    bool IsRaw() const;
    // The camera's folders of the last listing and the polled one (the newest).
    const QStringList& Folders() const { return m_folders; }
    const QString& Folder() const { return m_folder; }
    // Lists through the listing request: the body has no folder pages.
    bool IsUsingImageList() const { return m_useImageList; }
    bool HasShutterMode() const;
    // One line for the user about what keeps the import from working as it should; empty when all
    // is well.
    const QString& Notice() const { return m_notice; }
    // The line about the body's missing shutter-only mode; stays while the body is the same.
    const QString& ModeNotice() const { return m_modeNotice; }

signals:
    // A camera communication begins or ends.
    void Communication(const TCommunication& communication);
    // Counters, queue, latest shot or notice changed.
    void Changed();
    // The camera began a new folder: what was shown belongs to the old one.
    void FolderChanged(const QString& folder);
    void DownloadStarted(const TCameraImportItem& file);
    // Bytes of the running copy so far and its expected size (-1 unknown).
    void BytesReceived(qint64 received, qint64 expected);
    // The file is complete at localPath.
    void FileLanded(const TCameraImportItem& file, const QString& localPath);
    // A copy failed; final: it is not tried again.
    void FileFailed(const TCameraImportItem& file, const QString& reason, bool final);

private:
    bool requestData(bool queueNew, const std::shared_ptr<bool>& alive);
    bool listFolders(const std::shared_ptr<bool>& alive);
    bool listFolder(const QString& folder, const std::shared_ptr<bool>& alive);
    void pollTick();
    void downloadTick();
    void armDownload();
    void fileDone(
        const TCameraImportItem& file, int outcome, const QString& reason, const QString& localPath);
    void setNotice(const QString& notice);
    void trace(const QString& line) const;

    TCameraImport& m_import;
    TCameraModeAction* m_mode;
    std::function<bool()> m_cameraThere;
    std::unique_ptr<TTransferQueue> m_transfers;
    TLiveImportTracker m_tracker;
    QStringList m_filter;
    QString m_targetFolder;
    int m_pollIntervalMs = PollIntervalMs;

    bool m_running = false;
    bool m_requesting = false;
    bool m_downloading = false;
    bool m_cancel = false;
    bool m_useImageList = false;
    bool m_cameraAway = false;
    bool m_baselineTaken = false; // a baseline poll went through since Start
    bool m_resume = false; // left while the camera was away: the next Start keeps the baseline
    qint64 m_downloadedCount = 0;
    qint64 m_downloadedBytes = 0;
    qint64 m_failedCount = 0;
    TBaseCameraImportItems m_latest { true };
    TBaseCameraImportItems m_listing { true }; // the last poll's files of the polled folder
    QStringList m_folders;
    QString m_folder;
    QString m_lastTakeInfo;
    QString m_notice;
    QString m_modeNotice;
    QTimer m_pollTimer;
    QTimer m_downloadTimer;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
