#include "import/TImportSession.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "camera/TMovPlayTimeAction.h"
#include "camera/WaitFunc.h"
#include "import/FileSizeText.h"
#include "import/TCameraImport.h"
#include "import/TLocalCopies.h"
#include "import/TThumbnailCache.h"
#include "import/TThumbnailLoader.h"
#include "import/TTransferQueue.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <exception>

// Marks the session busy for the length of one operation and announces its start and end; a session
// destroyed meanwhile is not touched again.
class TImportSession::Operation
{
public:
    explicit Operation(TImportSession& session)
        : m_session(session)
        , m_alive(session.m_alive)
    {
        session.m_busy = true;
        session.m_cancelled = false;
    }
    ~Operation()
    {
        if (!*m_alive)
            return;
        m_session.m_busy = false;
        m_session.m_thumbnails->SetHeld(false);
        if (m_started)
            emit m_session.Communication(TCommunication::End());
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // False when a receiver of the start destroyed the session.
    bool start()
    {
        m_started = true;
        // The camera gets one request at a time: a running thumbnail request ends first.
        if (!m_session.holdThumbnails(m_alive))
            return false;
        emit m_session.Communication(TCommunication::Begin());
        return *m_alive;
    }
    bool gone() const { return !*m_alive; }
    const std::shared_ptr<bool>& alive() const { return m_alive; }

private:
    TImportSession& m_session;
    std::shared_ptr<bool> m_alive;
    bool m_started = false;
};

namespace {

QString cameraGone()
{
    return QStringLiteral("the camera does not answer");
}

// Progress lines of a running import at most this often; the end of a file always.
constexpr qint64 kProgressEveryMs = 200;
// Files at least this long to copy show the time left.
constexpr qint64 kTimeLeftAfterMs = 3000;
// Failed files the summary names; the rest it counts.
constexpr int kNamedFailures = 8;

} // namespace

TImportSession::TImportSession(
    TCameraImport& import, TMovPlayTimeAction* playTime, std::function<bool()> cameraThere, QObject* parent)
    : QObject(parent)
    , m_import(import)
    , m_playTime(playTime)
    , m_cameraThere(std::move(cameraThere))
    , m_thumbnails(std::make_unique<TThumbnailLoader>(import.Thumbnail, playTime))
    , m_transfers(std::make_unique<TTransferQueue>(import.FileLoader.Link))
{
    m_thumbnails->CanAsk = [this] { return !m_busy && isCameraThere() && (!m_cameraIdle || m_cameraIdle()); };
    connect(m_thumbnails.get(), &TThumbnailLoader::ThumbnailReady, this, &TImportSession::thumbnailReady);
    connect(
        m_thumbnails.get(), &TThumbnailLoader::PlayTimeReady, this, [this](int index, const QString& text) {
            if (index < 0 || index >= int(m_items.size()))
                return;
            m_items[size_t(index)].PlayTime = text;
            emit ItemChanged(index);
        });
    m_transfers->CameraThere = [this] { return isCameraThere(); };
    connectTransfers();
}

TImportSession::~TImportSession()
{
    *m_alive = false;
    m_thumbnails.reset();
}

bool TImportSession::isCameraThere() const
{
    return !m_cameraThere || m_cameraThere();
}

void TImportSession::progress(const QString& title, const QString& detail, bool finished, double percent)
{
    // Halves to even, as the progress line has always rounded.
    emit Progress(title, detail, finished, int(std::nearbyint(percent)));
}

void TImportSession::refuse(const QString& logLine, const QString& why)
{
    TLogger::LogAlways(logLine);
    m_refused << why;
}

qint64 TImportSession::DataSize() const
{
    qint64 total = 0;
    for (const TItem& item : m_items)
        total += std::max<qint64>(item.File.Size(), 0);
    return total;
}

void TImportSession::SetThumbnailCache(TThumbnailCache* cache, const QString& cameraName)
{
    m_cache = cache;
    m_cameraName = cameraName;
}

void TImportSession::SetVisibleItems(int first, int last)
{
    m_thumbnails->SetVisible(first, last);
}

void TImportSession::PauseThumbnails(bool paused)
{
    m_thumbnails->SetPaused(paused);
}

int TImportSession::ThumbnailsTotal() const
{
    return m_thumbnailsTotal;
}

int TImportSession::ThumbnailsDone() const
{
    return m_thumbnailsDone;
}

bool TImportSession::holdThumbnails(const std::shared_ptr<bool>& alive)
{
    m_thumbnails->SetHeld(true);
    while (*alive && m_thumbnails->IsFetching())
        Wait(5);
    return *alive;
}

void TImportSession::clearItems()
{
    m_items.clear();
    m_thumbnails->Clear();
    m_thumbnailsTotal = m_thumbnailsDone = 0;
}

QString TImportSession::previewKey(const TCameraImportItem& file) const
{
    return TThumbnailCache::Key(m_cameraName, file);
}

void TImportSession::thumbnailReady(int index, const QByteArray& jpeg)
{
    if (index < 0 || index >= int(m_items.size()))
        return;
    TItem& item = m_items[size_t(index)];
    if (jpeg.isEmpty()) {
        item.PreviewState = TPreviewState::Failed;
    } else {
        const QString key = previewKey(item.File);
        m_previews.Add(std::make_unique<TPreview>(key, jpeg));
        item.Preview = m_previews.Find(key);
        item.PreviewState = TPreviewState::Loaded;
    }
    ++m_thumbnailsDone;
    const std::shared_ptr<bool> alive = m_alive;
    emit PreviewChanged(index);
    if (*alive)
        emit ThumbnailProgress(m_thumbnailsDone, m_thumbnailsTotal);
}

int TImportSession::AddItem(const TCameraImportItem& file)
{
    if (m_busy)
        return -1;
    m_items.push_back({ file, nullptr, {}, {} });
    m_thumbnails->Add(file, false, false);
    const int index = int(m_items.size()) - 1;
    emit ItemAdded(index);
    return index;
}

void TImportSession::Cancel()
{
    if (!m_busy)
        return;
    m_cancelled = true;
    m_transfers->Cancel();
}

bool TImportSession::ReloadSources(const std::function<void()>& prepare, const TLoadOptions& options)
{
    if (m_busy)
        return false;
    Operation operation(*this);
    if (!operation.start())
        return false;
    if (prepare) {
        prepare();
        if (operation.gone())
            return false;
    }
    clearItems();
    emit ItemsCleared();
    if (operation.gone() || !listFolders(operation.alive()))
        return false;
    // The folder the source list shows: the newest.
    if (!m_folders.isEmpty())
        return loadFolder(m_folders.last(), options, operation.alive());
    return true;
}

bool TImportSession::ListFolders()
{
    if (m_busy)
        return false;
    Operation operation(*this);
    return operation.start() && listFolders(operation.alive());
}

bool TImportSession::listFolders(const std::shared_ptr<bool>& alive)
{
    m_folders.clear();
    m_refused.clear();
    m_lastError.clear();
    emit FoldersListed();
    if (!*alive)
        return false;
    if (!isCameraThere()) {
        m_lastError = cameraGone();
        emit ListingFailed();
        return false;
    }
    // Cameras without the listing request still serve the folder pages.
    const bool listing = m_import.ImageList.Enabled;
    TBaseImportAction& action = listing ? static_cast<TBaseImportAction&>(m_import.ImageList)
                                        : static_cast<TBaseImportAction&>(m_import.DirectoryList);
    TCameraImport& import = m_import;
    const auto list = [&] {
        return listing ? import.ImageList.Execute(QString()) : import.DirectoryList.Execute(QString());
    };
    bool ok = list();
    if (!*alive)
        return false;
    if (!ok && isCameraThere()) {
        // A single bad answer must not leave the page empty: once more.
        TLogger::LogAlways(QStringLiteral("TImportSession.ListFolders: again after ") + action.LastError);
        ok = list();
        if (!*alive)
            return false;
    }
    if (!ok) {
        m_lastError = (listing ? QStringLiteral("could not list /DCIM: %1")
                               : QStringLiteral("could not read the page /DCIM: %1"))
                          .arg(action.LastError);
        emit ListingFailed();
        return false;
    }
    if (listing)
        m_import.ImageList.ParseFolders();
    else
        m_import.DirectoryList.ParseFolders();
    // Folder names go into requests and local paths; only plain names are offered.
    for (const QString& folder : action.Folders) {
        QString why;
        if (TFileLoaderAction::SafeFileName(folder, &why).isEmpty())
            refuse(QStringLiteral("TImportSession.ListFolders: folder name refused: ") + folder, why);
        else
            m_folders << folder;
    }
    emit FoldersListed();
    return *alive;
}

bool TImportSession::LoadFolder(const QString& folder, const TLoadOptions& options)
{
    if (m_busy)
        return false;
    Operation operation(*this);
    return operation.start() && loadFolder(folder, options, operation.alive());
}

bool TImportSession::listFiles(
    const QString& folder, std::vector<TCameraImportItem>& files, const std::shared_ptr<bool>& alive)
{
    const QString path = QLatin1Char('/') + folder;
    // The camera's actions outlive the session; the session itself may be gone after the wait.
    TCameraImport& import = m_import;
    const bool listing = import.ImageList.Enabled;
    TBaseImportAction& action = listing ? static_cast<TBaseImportAction&>(import.ImageList)
                                        : static_cast<TBaseImportAction&>(import.DirectoryList);
    const auto list
        = [&] { return listing ? import.ImageList.Execute(path) : import.DirectoryList.Execute(path); };
    // 404 is the camera's answer for a folder without files.
    const auto empty = [&] { return listing && action.ResponseCode == 404; };
    bool ok = list();
    if (!*alive)
        return false;
    if (!ok && !empty() && isCameraThere()) {
        // A single bad answer must not leave the page empty: once more.
        TLogger::LogAlways(QStringLiteral("TImportSession.LoadFolder: again after ") + action.LastError);
        ok = list();
        if (!*alive)
            return false;
    }
    if (!ok) {
        if (!empty())
            m_lastError = QStringLiteral("could not list /DCIM%1: %2").arg(path, action.LastError);
        return false;
    }
    if (listing)
        import.ImageList.ParseItems();
    else
        import.DirectoryList.ParseItems();
    // Copies: the listing action runs again for the next folder while these wait for thumbnails.
    for (const TCameraImportItem* file : action.Items)
        files.push_back(*file);
    return true;
}

bool TImportSession::loadFolder(
    const QString& folder, const TLoadOptions& options, const std::shared_ptr<bool>& alive)
{
    m_refused.clear();
    m_lastError.clear();
    m_thumbnails->SetCache(m_cache, m_cameraName);
    if (!options.Append) {
        clearItems();
        emit ItemsCleared();
        if (!*alive)
            return false;
    }
    std::vector<TCameraImportItem> files;
    bool listed = false;
    if (isCameraThere()) {
        listed = listFiles(folder, files, alive);
        if (!*alive)
            return false;
    } else {
        m_lastError = cameraGone();
    }
    if (!listed && !m_lastError.isEmpty()) {
        emit ListingFailed();
        if (!*alive)
            return false;
    }
    bool interrupted = false;
    if (listed) {
        if (options.Accept)
            std::erase_if(files, [&](const TCameraImportItem& file) { return !options.Accept(file); });
        const int count = int(files.size());
        const QString title = rs("_rsLoadPreview", { count });
        if (options.Thumbnails)
            progress(title, QString(), false, 0);
        try {
            for (int i = 0; i < count && *alive; ++i) {
                if (m_cancelled) {
                    m_lastError = QStringLiteral("cancelled");
                    interrupted = true;
                    break;
                }
                if (loadItem(files[size_t(i)], options, alive) == Step::Gone)
                    return false;
            }
        } catch (const std::exception& e) {
            TLogger::LogAlways(
                QStringLiteral("TImportSession.LoadFolder (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
            m_lastError = QStringLiteral("unexpected error");
            interrupted = true;
        }
        if (!*alive)
            return false;
        if (options.Thumbnails) {
            // The list is read; thumbnails not yet at hand stream in afterwards (the page counts them),
            // so the line does not call the work done before they are.
            const char* detail = interrupted           ? "_rsTaskFailed"
                : m_thumbnailsDone < m_thumbnailsTotal ? "_rsThumbnailsFollow"
                                                       : "_rsTaskFinished";
            progress(title, rs(detail), true, 100);
        }
    }
    if (!*alive)
        return false;
    emit FolderLoaded();
    return *alive && m_lastError.isEmpty();
}

TImportSession::Step TImportSession::loadItem(
    const TCameraImportItem& file, const TLoadOptions& options, const std::shared_ptr<bool>& alive)
{
    // The names go into requests and local paths.
    QString why;
    if (TFileLoaderAction::SafeFileName(file.FileName, &why).isEmpty()
        || TFileLoaderAction::SafeFileName(file.Directory.mid(1), &why).isEmpty()
        || !file.Directory.startsWith(QLatin1Char('/'))) {
        if (why.isEmpty())
            why = QStringLiteral("refused the camera folder \"%1\": it is not below /DCIM")
                      .arg(file.Directory);
        refuse(QStringLiteral("TImportSession.LoadFolder: file name refused: ") + file.Directory
                + QLatin1Char('/') + file.FileName,
            why);
        return Step::Refused;
    }
    TItem item { file, nullptr, {}, {} };
    if (options.Thumbnails) {
        // Shown before in this session: at once; otherwise the loader brings it after the load.
        item.Preview = m_previews.Find(previewKey(file));
        item.PreviewState = item.Preview ? TPreviewState::Loaded : TPreviewState::Waiting;
        ++m_thumbnailsTotal;
        m_thumbnailsDone += item.Preview ? 1 : 0;
    }
    item.LocalPath = TLocalCopies::FindCopy(options.LocalFolder, file);
    const bool wantsThumbnail = item.PreviewState == TPreviewState::Waiting;
    m_items.push_back(std::move(item));
    const bool movie = m_playTime && m_playTime->Enabled
        && file.FileName.endsWith(QLatin1String(".MOV"), Qt::CaseInsensitive);
    const int index = m_thumbnails->Add(file, wantsThumbnail, movie);
    emit ItemAdded(index);
    return *alive ? Step::Go : Step::Gone;
}

bool TImportSession::ImportSelection(
    const std::vector<int>& indexes, const QString& folder, const std::function<QString()>& chooseFolder)
{
    if (m_busy || indexes.empty())
        return false;
    for (const int index : indexes)
        if (index < 0 || index >= int(m_items.size()))
            return false;
    Operation operation(*this);
    QString target = folder.trimmed();
    if (target.isEmpty() && chooseFolder) {
        target = chooseFolder().trimmed();
        if (operation.gone())
            return false;
    }
    if (target.isEmpty() || !QFileInfo(target).isDir() || !operation.start())
        return false;
    return runImport(indexes, QFileInfo(target).absoluteFilePath(), operation.alive());
}

void TImportSession::connectTransfers()
{
    TTransferQueue* queue = m_transfers.get();
    connect(queue, &TTransferQueue::FileStarted, this, [this](const TTransferQueue::TJob& job) {
        const int index = m_results[size_t(job.Tag)].Index;
        m_run.Current = job.File.FileName;
        m_run.FileClock.start();
        importProgress(m_run.Current, 0, true);
        emit FileStarted(index);
    });
    connect(queue, &TTransferQueue::BytesReceived, this, [this](qint64 received, qint64 expected) {
        importProgress(m_run.Current, received, false);
        emit BytesReceived(received, expected);
    });
    connect(queue, &TTransferQueue::FileDone, this, [this](const TTransferQueue::TResult& done) {
        TResult& result = m_results[size_t(done.Job.Tag)];
        result.Outcome = done.Outcome;
        result.Failure = done.Failure;
        result.Reason = done.Reason;
        ++m_run.Done;
        m_run.DoneBytes += std::max<qint64>(done.Job.File.Size(), 0);
        const std::shared_ptr<bool> alive = m_alive;
        TItem& item = m_items[size_t(result.Index)];
        if (!done.LocalPath.isEmpty() && item.LocalPath != done.LocalPath) {
            item.LocalPath = done.LocalPath;
            emit ItemChanged(result.Index);
            if (!*alive)
                return;
        }
        if (done.Outcome == TTransferQueue::TOutcome::Copied) {
            importProgress(done.Job.File.FileName, 0, true);
            if (!*alive)
                return;
        }
        emit FileImported(result);
    });
}

void TImportSession::importProgress(const QString& detail, qint64 received, bool force)
{
    if (!force && m_run.Throttle.isValid() && m_run.Throttle.elapsed() < kProgressEveryMs)
        return;
    m_run.Throttle.start();
    const qint64 done = m_run.DoneBytes + received;
    const double percent = m_run.TotalBytes > 0 ? 100.0 * double(done) / double(m_run.TotalBytes)
                                                : 100.0 * m_run.Done / std::max(1, m_run.Count);
    QString text = detail;
    if (received > 0) {
        // The file in flight in bytes, and for a long one the time left at its pace so far.
        const qint64 expected = m_transfers->Current() ? m_transfers->Current()->File.Size() : -1;
        const qint64 elapsed = m_run.FileClock.isValid() ? m_run.FileClock.elapsed() : 0;
        qint64 left = -1;
        if (expected > received && elapsed >= kTimeLeftAfterMs)
            left = qint64(double(elapsed) * double(expected - received) / double(received));
        text += QStringLiteral(" – ") + TTransferQueue::BytesText(received, expected, left);
    }
    progress(m_run.Title, text, false, std::min(percent, 100.0));
}

bool TImportSession::runImport(
    const std::vector<int>& indexes, const QString& folder, const std::shared_ptr<bool>& alive)
{
    m_results.clear();
    m_run = {};
    m_run.Count = int(indexes.size());
    TTransferQueue& queue = *m_transfers;
    queue.Clear();
    for (const int index : indexes) {
        m_results.push_back({ index, TOutcome::NotDone, TCameraFailure::None, {} });
        const TCameraImportItem& file = m_items[size_t(index)].File;
        m_run.TotalBytes += std::max<qint64>(file.Size(), 0);
        queue.Enqueue(file, folder, int(m_results.size()) - 1);
    }
    m_run.Title = rs("_rsImportFile", { m_run.Count });
    progress(m_run.Title, QString(), false, 0);
    if (!*alive)
        return false;

    bool ran = false;
    QString stopped;
    try {
        ran = queue.Run();
        if (!*alive)
            return false;
        stopped = queue.StopReason();
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TImportSession.ImportSelection (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
        stopped = QStringLiteral("unexpected error");
    }
    if (!*alive)
        return false;
    queue.Clear();
    if (!ran && stopped.isEmpty())
        stopped = QStringLiteral("stopped");
    for (TResult& result : m_results) {
        // The file in flight when the user cancelled was not copied; it did not fail.
        if (m_cancelled && result.Failure == TCameraFailure::Cancelled)
            result.Outcome = TOutcome::NotDone;
        if (result.Outcome == TOutcome::NotDone)
            result.Reason = m_cancelled ? rs("_rsImportCancelledReason") : stopped;
    }

    const char* outcome = stopped.isEmpty() ? "_rsTaskFinished"
        : m_cancelled                       ? "_rsTaskCancelled"
                                            : "_rsTaskFailed";
    progress(m_run.Title, rs(outcome), true, 100);
    if (!*alive)
        return false;
    emit ImportFinished();
    return *alive && stopped.isEmpty();
}

int TImportSession::CountOf(TOutcome outcome) const
{
    return int(std::count_if(
        m_results.begin(), m_results.end(), [outcome](const TResult& r) { return r.Outcome == outcome; }));
}

QString TImportSession::Summary() const
{
    if (m_results.empty())
        return {};
    const int failed = CountOf(TOutcome::Failed);
    QString text = TTransferQueue::SummaryText(CountOf(TOutcome::Copied), CountOf(TOutcome::Skipped), failed);
    // The failures by name, a few of them: a long list would push the page off the screen.
    int named = 0;
    for (const TResult& result : m_results) {
        if (result.Outcome != TOutcome::Failed || named == kNamedFailures)
            continue;
        text += QLatin1Char('\n') + m_items[size_t(result.Index)].File.FileName + QStringLiteral(": ")
            + result.Reason;
        ++named;
    }
    if (failed > named)
        text += QLatin1Char('\n') + rs("_rsImportMoreFailed", { failed - named });
    // The files the run did not reach share one reason.
    const auto notDone = std::find_if(
        m_results.begin(), m_results.end(), [](const TResult& r) { return r.Outcome == TOutcome::NotDone; });
    if (notDone != m_results.end())
        text += QLatin1Char('\n') + rs("_rsImportNotCopied", { CountOf(TOutcome::NotDone), notDone->Reason });
    return text;
}
