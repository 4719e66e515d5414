#pragma once

#include "import/TCameraImportItem.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class TMovPlayTimeAction;
class TThumbnailAction;
class TThumbnailCache;

// Fetches the thumbnails (and the play times of movies) of a folder's files after the folder is
// shown, one camera request at a time and in the background, so the page stays usable meanwhile.
// The cells that can be seen go first, also after a scroll; the rest follows in order, and a
// thumbnail that failed is asked for once more after all others. Thumbnails come from the disk
// cache where it has them and go into it when fetched.
//
// Driven by the event loop: each step picks the next file and starts one request; its answer starts
// the next step. Nothing here waits, so whoever needs the camera for itself holds the loader and
// waits until IsFetching() is false.
class TThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    TThumbnailLoader(TThumbnailAction& thumbnail, TMovPlayTimeAction* playTime, QObject* parent = nullptr);
    ~TThumbnailLoader() override;

    // Where thumbnails are kept between runs, and the camera's name for their keys; none: no cache.
    void SetCache(TThumbnailCache* cache, const QString& cameraName);
    // Appends a file at the next index. thumbnail: its thumbnail is wanted; playTime: a movie whose
    // play time is wanted.
    int Add(const TCameraImportItem& file, bool thumbnail, bool playTime);
    // Forgets every file; a request still running is left to end unheard.
    void Clear();
    // The indexes the user can see now go first.
    void SetVisible(int first, int last);
    // The page is not shown: no new request.
    void SetPaused(bool paused);
    // Someone else needs the camera: no new request until released.
    void SetHeld(bool held);
    // A request of ours is running.
    bool IsFetching() const { return m_fetching; }
    // Thumbnails wanted, and of those arrived or failed for good.
    int Total() const { return m_total; }
    int Done() const { return m_done; }

    // Whether the camera may be asked now (connected, in playback); none: always.
    std::function<bool()> CanAsk;

signals:
    // jpeg empty: no thumbnail, also not after the second try.
    void ThumbnailReady(int index, const QByteArray& jpeg);
    void PlayTimeReady(int index, const QString& text);

private:
    enum class State : quint8 { None, Waiting, Retry, Done };
    struct Job
    {
        QString Path;
        QString Key; // in the cache
        State Thumbnail = State::None;
        State PlayTime = State::None;
    };
    enum class Kind { Thumbnail, PlayTime };

    void schedule(int ms);
    void step();
    // The next request to make; false when nothing is left.
    bool next(int& index, Kind& kind);
    bool fromCache(int index);
    void request(int index, Kind kind);
    void thumbnailAnswered(int index, bool ok);
    void finishThumbnail(int index, const QByteArray& jpeg);

    TThumbnailAction& m_thumbnail;
    TMovPlayTimeAction* m_playTime;
    TThumbnailCache* m_cache = nullptr;
    QString m_cameraName;
    std::vector<Job> m_jobs;
    int m_visibleFirst = -1;
    int m_visibleLast = -1;
    // Where the walks in file order go on: all before it are taken.
    size_t m_firstCursor = 0;
    size_t m_playCursor = 0;
    size_t m_retryCursor = 0;
    int m_total = 0;
    int m_done = 0;
    int m_noAnswers = 0; // in a row; the camera may be gone
    bool m_paused = false;
    bool m_held = false;
    bool m_fetching = false;
    quint64 m_generation = 0; // changes with Clear: a late answer belongs to files gone
    QTimer m_timer;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
