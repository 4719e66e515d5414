#include "base/TLogger.h"

#include "base/TBaseObserver.h"
#include "base/TSetup.h"

#include <QTime>

#include <atomic>

namespace {
std::atomic<TLogger*> s_instance { nullptr };
} // namespace

TLogger::TLogger(const TSetup* setup)
    : m_setup(setup)
{ }

TLogger::~TLogger()
{
    TLogger* self = this;
    s_instance.compare_exchange_strong(self, nullptr);
}

void TLogger::Log(const QString& message, bool always)
{
    if (!always && !(m_setup && m_setup->DebugMode))
        return;
    const QString line
        = QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")) + QStringLiteral(": ") + message;
    const std::lock_guard lock(m_mutex);
    m_text = line;
    // The line built here is handed on, not Text again, which another thread may already have replaced.
    deliver(line);
}

QString TLogger::Text() const
{
    const std::lock_guard lock(m_mutex);
    return m_text;
}

void TLogger::Notify()
{
    const std::lock_guard lock(m_mutex);
    deliver(m_text);
}

void TLogger::deliver(const QString& line)
{
    // Walks a copy, so an observer may attach or detach from inside its Update; one detached
    // meanwhile (and perhaps destroyed) is skipped.
    const QList<TBaseObserver*> observers = m_observers;
    for (TBaseObserver* observer : observers) {
        if (m_observers.contains(observer))
            observer->Update(line);
    }
}

void TLogger::Attach(TBaseObserver* observer)
{
    if (!observer)
        return;
    const std::lock_guard lock(m_mutex);
    m_observers.append(observer);
}

void TLogger::Detach(TBaseObserver* observer)
{
    const std::lock_guard lock(m_mutex);
    // Every attachment goes, so a detached observer may be destroyed safely.
    m_observers.removeAll(observer);
}

TLogger* TLogger::Instance()
{
    return s_instance.load();
}

void TLogger::SetInstance(TLogger* logger)
{
    s_instance.store(logger);
}

void TLogger::LogAlways(const QString& message)
{
    if (TLogger* logger = Instance())
        logger->Log(message, true);
}

void TLogger::LogTrace(const QString& message)
{
    if (TLogger* logger = Instance())
        logger->Log(message, false);
}

void TLogger::LogTo(const QString& message, bool always)
{
    if (TLogger* logger = Instance())
        logger->Log(message, always);
}
