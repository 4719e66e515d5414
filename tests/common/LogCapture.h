#pragma once

#include "base/TBaseObserver.h"
#include "base/TLogger.h"

#include <QString>
#include <QStringList>

#include <mutex>

namespace lumivar::test {

// Routes the program log into a list while it lives (the previous logger comes back after).
// Thread-safe: the live view receiving thread logs too.
class LogCapture : public TBaseObserver
{
public:
    LogCapture()
        : m_logger(nullptr)
    {
        m_previous = TLogger::Instance();
        TLogger::SetInstance(&m_logger);
        m_logger.Attach(this);
    }
    ~LogCapture() override
    {
        m_logger.Detach(this);
        TLogger::SetInstance(m_previous);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void Update(const QString& line) override
    {
        const std::lock_guard lock(m_mutex);
        m_lines.append(line);
    }
    // Lines holding text.
    int count(const QString& text) const
    {
        const std::lock_guard lock(m_mutex);
        int n = 0;
        for (const QString& line : m_lines)
            n += line.contains(text) ? 1 : 0;
        return n;
    }
    bool contains(const QString& text) const { return count(text) > 0; }
    QStringList lines() const
    {
        const std::lock_guard lock(m_mutex);
        return m_lines;
    }
    QString all() const { return lines().join(u'\n'); }

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
    TLogger m_logger;
    TLogger* m_previous = nullptr;
};

} // namespace lumivar::test
