#pragma once

#include "base/TObservable.h"

#include <QList>
#include <QString>

#include <mutex>

class TBaseObserver;
class TSetup;

// The program log: builds "hh:mm:ss.zzz: message" lines and hands each to the attached observers
// in attachment order. Safe to call from any thread; observers are called on the logging thread
// (TMessageObserver moves the line to its own thread). The lock is held while observers run, so
// after Detach returns the observer is called no more; an observer must therefore not wait for
// another thread that may be logging.
class TLogger : public TObservable
{
public:
    // DebugMode is read from setup at each Log; without a setup only "always" lines are written.
    explicit TLogger(const TSetup* setup);
    ~TLogger() override;

    void Log(const QString& message, bool always = false);
    QString Text() const;

    void Notify() override;
    void Attach(TBaseObserver* observer) override;
    void Detach(TBaseObserver* observer) override;

    static TLogger* Instance();
    static void SetInstance(TLogger* logger);

    // Log through the process-wide logger when there is one (tools and tests may run without).
    static void LogAlways(const QString& message);
    static void LogTrace(const QString& message);
    static void LogTo(const QString& message, bool always);

private:
    void deliver(const QString& line);

    const TSetup* m_setup;
    // A standard mutex rather than QMutex, so thread sanitizer builds can follow the locking.
    mutable std::recursive_mutex m_mutex;
    QString m_text;
    QList<TBaseObserver*> m_observers;
};
