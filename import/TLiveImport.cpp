#include "import/TLiveImport.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "camera/TCameraModeAction.h"
#include "import/CameraDateTime.h"
#include "import/FileSizeText.h"
#include "import/TCameraImport.h"
#include "import/TFileKind.h"
#include "import/TTransferQueue.h"

#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <vector>

namespace {

std::vector<TCameraImportItem> filesOf(const TBaseCameraImportItems& items)
{
    std::vector<TCameraImportItem> files;
    files.reserve(size_t(items.Count()));
    for (const TCameraImportItem* item : items)
        files.push_back(*item);
    return files;
}

bool isShutterMode(quint8 mode)
{
    return mode == TCameraModeAction::ModeShutter || mode == TCameraModeAction::ModeShutterWithSize;
}

} // namespace

TLiveImport::TLiveImport(
    TCameraImport& import, TCameraModeAction* mode, std::function<bool()> cameraThere, QObject* parent)
    : QObject(parent)
    , m_import(import)
    , m_mode(mode)
    , m_cameraThere(std::move(cameraThere))
    , m_transfers(std::make_unique<TTransferQueue>(import.FileLoader.Link))
{
    m_pollTimer.setSingleShot(true);
    m_downloadTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { pollTick(); });
    connect(&m_downloadTimer, &QTimer::timeout, this, [this] { downloadTick(); });
    // Left: the file in flight lands, the next waits for the next start.
    m_transfers->CameraThere = [this] { return m_running && (!m_cameraThere || m_cameraThere()); };
    connect(m_transfers.get(), &TTransferQueue::BytesReceived, this, &TLiveImport::BytesReceived);
    connect(m_transfers.get(), &TTransferQueue::FileStarted, this,
        [this](const TTransferQueue::TJob& job) { emit DownloadStarted(job.File); });
    connect(m_transfers.get(), &TTransferQueue::FileDone, this, [this](const TTransferQueue::TResult& r) {
        fileDone(r.Job.File, int(r.Outcome), r.Reason, r.LocalPath);
    });
}

TLiveImport::~TLiveImport()
{
    *m_alive = false;
    // A copy waiting in the queue ends at once; the queue notices it is gone.
    m_transfers->Cancel();
}

int TLiveImport::QueueLength() const
{
    return m_transfers->Count();
}

bool TLiveImport::IsTransferring() const
{
    // A cancelled copy counts no more: it may still be unwinding below a wait that called
    // CancelTransfer, but it can no longer write its file.
    return !m_cancel && (m_downloading || m_transfers->Count() > 0);
}

void TLiveImport::trace(const QString& line) const
{
    TLogger::LogTrace(line);
}

void TLiveImport::SetFilter(const QStringList& extensions)
{
    m_filter = TFileKind::NormalizeTypes(extensions);
    m_tracker.SetFilter(m_filter);
}

void TLiveImport::SetTargetFolder(const QString& folder)
{
    m_targetFolder = folder;
    // The files waiting go where the user points now.
    m_transfers->Retarget(folder);
}

bool TLiveImport::IsTargetFolderValid() const
{
    return !m_targetFolder.trimmed().isEmpty() && QFileInfo(m_targetFolder).isDir();
}

bool TLiveImport::HasShutterMode() const
{
    return m_mode && m_mode->Enabled
        && (m_mode->SupportedModes
            & (TCameraModeAction::FlagShutter | TCameraModeAction::FlagShutterWithSize));
}

void TLiveImport::Reset()
{
    m_pollTimer.stop();
    m_downloadTimer.stop();
    m_transfers->Cancel();
    m_running = m_requesting = m_downloading = m_cancel = false;
    m_useImageList = m_cameraAway = m_baselineTaken = m_resume = false;
    m_downloadedCount = m_downloadedBytes = m_failedCount = 0;
    m_latest.Clear();
    m_listing.Clear();
    m_folders.clear();
    m_folder.clear();
    m_lastTakeInfo.clear();
    m_notice.clear();
    m_modeNotice.clear();
    m_tracker.SetBaseline({});
    emit Changed();
}

void TLiveImport::Start()
{
    const std::shared_ptr<bool> alive = m_alive;
    if (DetailedLog)
        trace(QStringLiteral("TfraLiveImport.GoStart: ceStart"));
    emit Communication(TCommunication::Begin());
    if (!*alive)
        return;
    try {
        m_modeNotice.clear();
        if (HasShutterMode()) {
            m_mode->SwitchToMode(TCameraModeAction::ModeShutter);
        } else if (m_mode) {
            // The body cannot be a pure release: it is polled in playback, where it lists.
            m_modeNotice = rs("_rsLiveImportNoShutterMode");
            if (m_mode->Enabled)
                m_mode->SwitchToMode(TCameraModeAction::ModePlay);
        }
        if (*alive) {
            // Back after the camera went away: what it shot meanwhile is new, files queued before wait
            // on. Otherwise everything on the card now is old.
            const bool resume = m_resume && m_baselineTaken && !m_cancel;
            m_resume = false;
            m_requesting = m_downloading = m_cancel = false;
            m_running = true;
            m_lastTakeInfo.clear();
            if (!resume) {
                m_baselineTaken = false;
                m_transfers->Clear();
            }
            requestData(resume, alive);
        }
        if (*alive)
            m_pollTimer.start(m_pollIntervalMs);
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraLiveImport.GoStart (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (!*alive)
        return;
    emit Changed();
    if (!*alive)
        return;
    if (DetailedLog)
        trace(QStringLiteral("TfraLiveImport.GoStart: ceStop"));
    emit Communication(TCommunication::End());
}

void TLiveImport::Leave()
{
    m_pollTimer.stop();
    m_downloadTimer.stop();
    m_resume = m_running && (m_cameraAway || (m_cameraThere && !m_cameraThere()));
    m_running = false;
    trace(QStringLiteral("TfraLiveImport.OnLeaveModule: Finished"));
}

void TLiveImport::CancelTransfer()
{
    m_cancel = true;
    m_downloadTimer.stop();
    if (m_transfers->Count() > 0)
        trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Cancel Import"));
    // The running copy ends as failed and takes its temporary file with it.
    m_transfers->Cancel();
    emit Changed();
}

void TLiveImport::pollTick()
{
    m_pollTimer.stop();
    if (!m_running)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    requestData(true, alive);
    if (*alive && m_running) {
        // New files not yet confirmed (the camera may still write them): the next poll comes sooner.
        m_pollTimer.start(
            m_tracker.HasUnconfirmed() ? std::min(ConfirmDelayMs, m_pollIntervalMs) : m_pollIntervalMs);
        trace(QStringLiteral("TfraLiveImport.tmrRequestTimer: Verarbeitung"));
    }
}

bool TLiveImport::RequestData(bool queueNew)
{
    return requestData(queueNew, m_alive);
}

bool TLiveImport::listFolders(const std::shared_ptr<bool>& alive)
{
    if (!m_useImageList) {
        // Readable in shutter mode, where the listing request is not.
        THTTPImageListAction& pages = m_import.DirectoryList;
        const bool listed = pages.Execute(QString());
        if (!*alive)
            return false;
        if (listed) {
            pages.ParseFolders();
            m_folders = pages.Folders;
            return !m_folders.isEmpty();
        }
        if (pages.ResponseCode != 404 || !m_import.ImageList.Enabled)
            return false;
        // A later body without folder pages: its listing request answers in playback.
        TLogger::LogAlways(
            QStringLiteral("TfraLiveImport.RequestData: no folder pages, polling get_imglist"));
        m_useImageList = true;
        if (m_mode && m_mode->Enabled && isShutterMode(m_mode->Mode)) {
            m_mode->SwitchToMode(TCameraModeAction::ModePlay);
            if (!*alive)
                return false;
        }
    }
    TImageListAction& list = m_import.ImageList;
    const bool listed = list.Execute(QString());
    if (!*alive || !listed)
        return false;
    list.ParseFolders();
    m_folders = list.Folders;
    return !m_folders.isEmpty();
}

bool TLiveImport::listFolder(const QString& folder, const std::shared_ptr<bool>& alive)
{
    TBaseImportAction* action = m_useImageList ? static_cast<TBaseImportAction*>(&m_import.ImageList)
                                               : static_cast<TBaseImportAction*>(&m_import.DirectoryList);
    const QString path = QLatin1Char('/') + folder;
    const bool listed
        = m_useImageList ? m_import.ImageList.Execute(path) : m_import.DirectoryList.Execute(path);
    if (!*alive)
        return false;
    // The listing request answers an empty folder with 404.
    if (!listed && !(m_useImageList && action->ResponseCode == 404))
        return false;
    if (listed) {
        if (m_useImageList)
            m_import.ImageList.ParseItems();
        else
            m_import.DirectoryList.ParseItems();
    } else {
        action->Items.Clear();
    }
    m_listing.AssignFrom(&action->Items, true);
    m_latest.AssignFrom(&action->Items.LatestGroup(), true);
    return true;
}

bool TLiveImport::requestData(bool queueNew, const std::shared_ptr<bool>& aliveRef)
{
    // A copy: the member goes with the object while we wait.
    const std::shared_ptr<bool> alive = aliveRef;
    trace(QStringLiteral("TfraLiveImport.RequestData: Start"));
    if (m_requesting || m_cancel || m_downloading) {
        armDownload();
        trace(QStringLiteral("TfraLiveImport.RequestData: Stop"));
        return false;
    }
    m_requesting = true;
    bool result = false;
    trace(QStringLiteral("TfraLiveImport.RequestData: Process"));
    try {
        if (listFolders(alive)) {
            trace(QStringLiteral("TfraLiveImport.RequestData: Directory found"));
            const QString newest = m_folders.last();
            if (newest != m_folder) {
                const bool changed = !m_folder.isEmpty();
                m_folder = newest;
                if (changed) {
                    emit FolderChanged(m_folder);
                    if (!*alive)
                        return false;
                }
            }
            if (listFolder(m_folder, alive)) {
                trace(QStringLiteral("TfraLiveImport.RequestData: Download"));
                result = true;
                const std::vector<TCameraImportItem> files = filesOf(m_listing);
                if (!queueNew || !m_baselineTaken || m_cancel) {
                    // Everything there now is old; a cancel that came during the wait queues nothing.
                    m_tracker.SetBaseline(files);
                    m_baselineTaken = true;
                } else {
                    const int refusedBefore = int(m_tracker.Refused().size());
                    for (const TCameraImportItem& file : m_tracker.Poll(files))
                        m_transfers->Enqueue(file, m_targetFolder);
                    for (int i = refusedBefore; i < m_tracker.Refused().size(); ++i)
                        TLogger::LogAlways(QStringLiteral("TfraLiveImport.RequestData: refused ")
                            + m_tracker.Refused().at(i));
                }
            }
        }
        if (!*alive)
            return false;
        QString info;
        if (result) {
            // The group sorts oldest first; the newest file is described first.
            for (int i = m_latest.Count() - 1; i >= 0; --i) {
                const TCameraImportItem* item = m_latest[i];
                if (!info.isEmpty())
                    info += QStringLiteral("\r\n");
                info += item->FileName + QLatin1Char('\t') + FileSizeText(item->SizeText);
            }
            if (m_latest.Count() > 0) {
                const TCameraImportItem* newest = m_latest[m_latest.Count() - 1];
                info += QStringLiteral("\r\n") + rs("_rsFrom") + QLatin1Char(' ')
                    + CameraDateText(newest->DateText) + QLatin1Char(' ') + CameraTimeText(newest->TimeText);
            }
        } else {
            m_latest.Clear();
        }
        m_lastTakeInfo = info;
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraLiveImport.RequestData (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        m_lastTakeInfo.clear();
        result = false;
    }
    m_requesting = false;
    const bool answered
        = (m_useImageList ? m_import.ImageList.ResponseCode : m_import.DirectoryList.ResponseCode) >= 0;
    const bool gone = !result && (!answered || (m_cameraThere && !m_cameraThere()));
    if (gone && !m_cameraAway) {
        m_cameraAway = true;
        TLogger::LogAlways(QStringLiteral("TfraLiveImport.RequestData: the camera does not answer"));
        setNotice(rs("_rsLiveImportCameraGone"));
    } else if (result && m_cameraAway) {
        m_cameraAway = false;
        setNotice(QString());
        // Back after a power cycle, the body starts in playback, where it does not shoot by itself.
        if (HasShutterMode() && !m_useImageList) {
            m_mode->SwitchToMode(TCameraModeAction::ModeShutter);
            if (!*alive)
                return result;
        }
    }
    armDownload();
    emit Changed();
    if (!*alive)
        return result;
    trace(QStringLiteral("TfraLiveImport.RequestData: Stop"));
    return result;
}

void TLiveImport::armDownload()
{
    if (m_running && !m_cancel && m_transfers->Count() > 0 && !m_downloading && !m_downloadTimer.isActive())
        m_downloadTimer.start(0);
}

void TLiveImport::setNotice(const QString& notice)
{
    m_notice = notice;
}

void TLiveImport::downloadTick()
{
    const std::shared_ptr<bool> alive = m_alive;
    m_downloadTimer.stop();
    trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Start"));
    if (m_cancel) {
        m_transfers->Clear();
        trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Cancel Import"));
        emit Changed();
        return;
    }
    if (!IsTargetFolderValid() && m_transfers->Count() > 0) {
        // The files wait; the next poll tries again.
        if (m_notice.isEmpty() || m_notice != rs("_rsLiveImportTargetGone")) {
            TLogger::LogAlways(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: no target folder ")
                + m_targetFolder);
            setNotice(rs("_rsLiveImportTargetGone"));
            emit Changed();
        }
        return;
    }
    if (m_transfers->Count() == 0 || m_downloading || m_requesting || !m_running) {
        trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: StopLoadingInfo"));
        return;
    }
    if (m_notice == rs("_rsLiveImportTargetGone"))
        setNotice(QString());

    // The whole queue, back to back: polls wait until it is empty.
    m_downloading = true;
    trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Process"));
    const bool drained = m_transfers->Run();
    if (!*alive)
        return;
    m_downloading = false;
    if (m_cancel) {
        // Abandoned: the loader removed what had arrived.
        m_transfers->Clear();
        trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Cancel Import"));
        emit Changed();
        return;
    }
    if (!drained) {
        // Not begun (camera or folder gone meanwhile): the files stay, the next poll re-arms.
        trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Failed"));
    } else if (m_running) {
        // A burst may still be coming in: look again at once.
        m_pollTimer.start(0);
    }
    emit Changed();
    if (*alive)
        trace(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Stop"));
}

void TLiveImport::fileDone(
    const TCameraImportItem& file, int outcome, const QString& reason, const QString& localPath)
{
    using TOutcome = TTransferQueue::TOutcome;
    const std::shared_ptr<bool> alive = m_alive;
    switch (TOutcome(outcome)) {
    case TOutcome::Copied:
        m_tracker.MarkDone(file);
        ++m_downloadedCount;
        if (file.Size() > 0)
            m_downloadedBytes += file.Size();
        emit Changed();
        if (*alive)
            emit FileLanded(file, localPath);
        return;
    case TOutcome::Skipped:
        // Its copy is there already (or its name was refused): nothing to fetch.
        m_tracker.MarkDone(file);
        emit Changed();
        if (*alive && !localPath.isEmpty())
            emit FileLanded(file, localPath);
        return;
    case TOutcome::Failed:
        if (m_cancel)
            return;
        break;
    case TOutcome::NotDone:
        return;
    }
    const bool again = m_tracker.MarkFailed(file);
    if (!again)
        ++m_failedCount;
    TLogger::LogAlways(QStringLiteral("TfraLiveImport.ProcessBackgroundDownload: Failed ") + file.FileName
        + QStringLiteral(": ") + reason);
    emit Changed();
    if (*alive)
        emit FileFailed(file, reason, !again);
}

bool TLiveImport::IsJpeg() const
{
    return TFileKind::AnyHas(m_latest, QStringLiteral("JPG"));
}

bool TLiveImport::IsRaw() const
{
    return TFileKind::AnyHas(m_latest, QStringLiteral("ORF"));
}
