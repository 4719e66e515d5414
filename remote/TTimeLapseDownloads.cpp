#include "remote/TTimeLapseDownloads.h"

#include "base/TLogger.h"
#include "camera/WaitFunc.h"
#include "import/TFileLoaderAction.h"
#include "session/TCamera.h"

#include <QElapsedTimer>
#include <QTimer>

#include <exception>

TTimeLapseDownloads::TTimeLapseDownloads(QObject* parent)
    : QObject(parent)
{ }

TTimeLapseDownloads::~TTimeLapseDownloads()
{
    *m_alive = false;
    if (m_loader)
        m_loader->OnLoaded = nullptr;
}

void TTimeLapseDownloads::SetCamera(TCamera* camera)
{
    m_loader.reset();
    if (!camera)
        return;
    m_loader = std::make_unique<TFileLoaderAction>(camera->Import.FileLoader.Link);
    m_loader->Probe(nullptr);
    m_loader->OnLoaded = [this](TFileLoaderAction*, bool ok) { onLoaded(ok); };
}

void TTimeLapseDownloads::Add(int shot, const TTimeLapseShotFile& file)
{
    m_queue.push_back({ shot, file, 0 });
}

void TTimeLapseDownloads::YieldToShot()
{
    if (m_current && m_loader) {
        m_cancelledForShot = true;
        m_loader->Cancel();
    }
}

void TTimeLapseDownloads::done(int shot, const QString& fileName, bool ok, const QString& why)
{
    if (FileDone)
        FileDone(shot, fileName, ok, why);
}

void TTimeLapseDownloads::StartNext()
{
    const auto held = [this] { return IsHeld && IsHeld(); };
    if (m_wait || held())
        return;
    while (!m_current && !held() && m_loader && !m_queue.empty()) {
        TDownload next = m_queue.front();
        m_queue.pop_front();
        QString why;
        const QString local = TFileLoaderAction::TargetPath(Folder, next.File.FileName, &why);
        if (local.isEmpty()) {
            done(next.Shot, next.File.FileName, false, why);
            continue;
        }
        ++next.Attempts;
        m_current = std::make_unique<TDownload>(next);
        bool started = false;
        try {
            started
                = m_loader->Load(next.File.CameraPath, { local, next.File.Size, next.File.Modified }, false);
        } catch (const std::exception& e) {
            TLogger::LogAlways(
                QStringLiteral("TTimeLapseSeries.startNextDownload (Ex): ") + QString::fromUtf8(e.what()));
        }
        // A transfer that could not even begin ends here; its completion never comes.
        if (!started && m_current)
            onLoaded(false);
    }
}

void TTimeLapseDownloads::onLoaded(bool ok)
{
    if (!m_current)
        return;
    const TDownload loaded = *m_current;
    m_current.reset();
    const bool forShot = m_cancelledForShot;
    m_cancelledForShot = false;
    // A camera that does not answer uses up no attempt: the file waits until it is back.
    const bool gone = !ok && m_loader && m_loader->LastFailure == TCameraFailure::NoAnswer;
    if (ok) {
        done(loaded.Shot, loaded.File.FileName, true, {});
    } else if (forShot || gone) {
        TDownload again = loaded;
        --again.Attempts;
        m_queue.push_front(again);
        m_wait = m_wait || gone;
    } else if (loaded.Attempts < Attempts) {
        m_queue.push_back(loaded);
    } else {
        done(loaded.Shot, loaded.File.FileName, false, m_loader ? m_loader->LastError : QString());
    }
    // Not inside the loader's own completion.
    QTimer::singleShot(0, this, [this] { StartNext(); });
}

bool TTimeLapseDownloads::WaitAll(int timeoutMs)
{
    const std::shared_ptr<bool> alive = m_alive;
    QElapsedTimer clock;
    clock.start();
    m_wait = false;
    StartNext();
    qint64 nextTry = clock.elapsed() + 1000;
    while (Pending() > 0 && clock.elapsed() < timeoutMs) {
        Wait(20);
        if (!*alive)
            return false;
        // A camera that went away meanwhile is asked again now and then.
        if (m_wait && clock.elapsed() >= nextTry) {
            m_wait = false;
            nextTry = clock.elapsed() + 1000;
            StartNext();
        }
    }
    if (Pending() == 0)
        return true;
    // Given up: what is left is named in the log as not loaded.
    if (m_loader)
        m_loader->Reset();
    m_current.reset();
    std::deque<TDownload> left;
    left.swap(m_queue);
    for (const TDownload& d : left)
        done(d.Shot, d.File.FileName, false, QStringLiteral("not loaded before the end"));
    return false;
}
