#include "import/TThumbnailLoader.h"

#include "camera/TMovPlayTimeAction.h"
#include "import/TThumbnailAction.h"
#include "import/TThumbnailCache.h"

#include <QElapsedTimer>

namespace {

// Cache hits of one step before the event loop gets its turn again.
constexpr int kStepBudgetMs = 10;
// How soon to look again while the camera may not be asked.
constexpr int kCannotAskMs = 50;
// After answers that did not come, twice in a row: room for the connection check to find out.
constexpr int kNoAnswerPauseMs = 1000;

bool looksLikeJpeg(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xD8");
}

} // namespace

TThumbnailLoader::TThumbnailLoader(TThumbnailAction& thumbnail, TMovPlayTimeAction* playTime, QObject* parent)
    : QObject(parent)
    , m_thumbnail(thumbnail)
    , m_playTime(playTime)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TThumbnailLoader::step);
}

TThumbnailLoader::~TThumbnailLoader()
{
    *m_alive = false;
    // The actions outlive us; nothing of a running request may reach us any more.
    if (m_fetching) {
        m_thumbnail.Abandon();
        if (m_playTime)
            m_playTime->Abandon();
    }
}

void TThumbnailLoader::SetCache(TThumbnailCache* cache, const QString& cameraName)
{
    m_cache = cache;
    m_cameraName = cameraName;
}

int TThumbnailLoader::Add(const TCameraImportItem& file, bool thumbnail, bool playTime)
{
    Job job;
    job.Path = file.CameraPath();
    if (thumbnail) {
        job.Thumbnail = State::Waiting;
        if (m_cache)
            job.Key = TThumbnailCache::Key(m_cameraName, file);
        ++m_total;
    }
    if (playTime)
        job.PlayTime = State::Waiting;
    m_jobs.push_back(std::move(job));
    if (thumbnail || playTime)
        schedule(0);
    return int(m_jobs.size()) - 1;
}

void TThumbnailLoader::Clear()
{
    m_jobs.clear();
    m_firstCursor = m_playCursor = m_retryCursor = 0;
    m_visibleFirst = m_visibleLast = -1;
    m_total = m_done = 0;
    m_noAnswers = 0;
    ++m_generation;
}

void TThumbnailLoader::SetVisible(int first, int last)
{
    m_visibleFirst = first;
    m_visibleLast = last;
    schedule(0);
}

void TThumbnailLoader::SetPaused(bool paused)
{
    m_paused = paused;
    if (!paused)
        schedule(0);
}

void TThumbnailLoader::SetHeld(bool held)
{
    m_held = held;
    if (!held)
        schedule(0);
}

void TThumbnailLoader::schedule(int ms)
{
    if (!m_timer.isActive() || ms < m_timer.remainingTime())
        m_timer.start(ms);
}

bool TThumbnailLoader::next(int& index, Kind& kind)
{
    const int count = int(m_jobs.size());
    const int first = std::max(0, m_visibleFirst);
    const int last = std::min(count - 1, m_visibleLast);
    for (int i = first; m_visibleFirst >= 0 && i <= last; ++i) {
        if (m_jobs[size_t(i)].Thumbnail == State::Waiting) {
            index = i;
            kind = Kind::Thumbnail;
            return true;
        }
    }
    for (int i = first; m_visibleFirst >= 0 && i <= last; ++i) {
        if (m_jobs[size_t(i)].PlayTime == State::Waiting) {
            index = i;
            kind = Kind::PlayTime;
            return true;
        }
    }
    // Each walk passes a file for good: a state never goes back.
    while (m_firstCursor < m_jobs.size() && m_jobs[m_firstCursor].Thumbnail != State::Waiting)
        ++m_firstCursor;
    if (m_firstCursor < m_jobs.size()) {
        index = int(m_firstCursor);
        kind = Kind::Thumbnail;
        return true;
    }
    while (m_playCursor < m_jobs.size() && m_jobs[m_playCursor].PlayTime != State::Waiting)
        ++m_playCursor;
    if (m_playCursor < m_jobs.size()) {
        index = int(m_playCursor);
        kind = Kind::PlayTime;
        return true;
    }
    while (m_retryCursor < m_jobs.size() && m_jobs[m_retryCursor].Thumbnail != State::Retry)
        ++m_retryCursor;
    if (m_retryCursor < m_jobs.size()) {
        index = int(m_retryCursor);
        kind = Kind::Thumbnail;
        return true;
    }
    return false;
}

void TThumbnailLoader::step()
{
    if (m_paused || m_held || m_fetching)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    const quint64 generation = m_generation;
    QElapsedTimer budget;
    budget.start();
    int index = -1;
    Kind kind = Kind::Thumbnail;
    while (next(index, kind)) {
        if (kind == Kind::Thumbnail && m_jobs[size_t(index)].Thumbnail == State::Waiting
            && fromCache(index)) {
            // A receiver may have cleared the files or destroyed us.
            if (!*alive || generation != m_generation || m_paused || m_held)
                return;
            if (budget.elapsed() >= kStepBudgetMs) {
                schedule(0);
                return;
            }
            continue;
        }
        if (CanAsk && !CanAsk()) {
            schedule(kCannotAskMs);
            return;
        }
        request(index, kind);
        return;
    }
}

bool TThumbnailLoader::fromCache(int index)
{
    const Job& job = m_jobs[size_t(index)];
    if (!m_cache || job.Key.isEmpty())
        return false;
    const QByteArray jpeg = m_cache->Find(job.Key);
    if (jpeg.isEmpty())
        return false;
    finishThumbnail(index, jpeg);
    return true;
}

void TThumbnailLoader::request(int index, Kind kind)
{
    Job& job = m_jobs[size_t(index)];
    const std::shared_ptr<bool> alive = m_alive;
    const quint64 generation = m_generation;
    m_fetching = true;
    if (kind == Kind::PlayTime) {
        const bool started = m_playTime
            && m_playTime->Start(job.Path, [this, alive, generation, index](bool ok, const QString& text) {
                   if (!*alive)
                       return;
                   m_fetching = false;
                   if (generation == m_generation) {
                       m_jobs[size_t(index)].PlayTime = State::Done;
                       if (ok && !text.isEmpty())
                           emit PlayTimeReady(index, text);
                       if (!*alive)
                           return;
                   }
                   schedule(0);
               });
        if (!started) {
            m_fetching = false;
            job.PlayTime = State::Done;
            schedule(0);
        }
        return;
    }
    const bool started = m_thumbnail.Start(job.Path, [this, alive, generation, index](bool ok) {
        if (!*alive)
            return;
        m_fetching = false;
        if (generation == m_generation) {
            thumbnailAnswered(index, ok);
            if (!*alive)
                return;
        }
        schedule(m_noAnswers >= 2 ? kNoAnswerPauseMs : 0);
    });
    if (started)
        return;
    m_fetching = false;
    if (!m_thumbnail.Enabled) {
        // The camera offers no thumbnails: every file shows without one.
        finishThumbnail(index, {});
        if (*alive)
            schedule(0);
    } else if (m_thumbnail.Busy) {
        schedule(kCannotAskMs); // a request of someone else
    } else {
        thumbnailAnswered(index, false);
        if (*alive)
            schedule(0);
    }
}

void TThumbnailLoader::thumbnailAnswered(int index, bool ok)
{
    Job& job = m_jobs[size_t(index)];
    const QByteArray jpeg = ok ? m_thumbnail.Data : QByteArray();
    if (ok && looksLikeJpeg(jpeg)) {
        m_noAnswers = 0;
        if (m_cache && !job.Key.isEmpty())
            m_cache->Store(job.Key, jpeg);
        finishThumbnail(index, jpeg);
        return;
    }
    // A camera reset while it waited: the file is not to blame; it is asked for again.
    if (m_thumbnail.LastFailure == TCameraFailure::Reset)
        return;
    m_noAnswers = m_thumbnail.ResponseCode < 0 ? m_noAnswers + 1 : 0;
    if (job.Thumbnail == State::Waiting)
        job.Thumbnail = State::Retry;
    else
        finishThumbnail(index, {});
}

void TThumbnailLoader::finishThumbnail(int index, const QByteArray& jpeg)
{
    m_jobs[size_t(index)].Thumbnail = State::Done;
    ++m_done;
    emit ThumbnailReady(index, jpeg);
}
