#pragma once

#include "camera/TCameraLink.h"

#include <QString>

#include <functional>

// Base of every request action: one object per CGI request, Busy while it executes.
class TBaseAction
{
public:
    explicit TBaseAction(TCameraLink link);
    virtual ~TBaseAction();
    TBaseAction(const TBaseAction&) = delete;
    TBaseAction& operator=(const TBaseAction&) = delete;

    bool Busy = false;
    TCameraLink Link;
    // Why the last request failed; None after a success and for a disabled action.
    TCameraFailure LastFailure = TCameraFailure::None;

    // Busy false. Also marks any request still waiting as outdated, so its late answer is dropped.
    virtual void Reset();

protected:
    // One request as runRequest runs it.
    struct RequestFrame
    {
        QString Operation; // the log lines' name; empty: "<Class>.Execute"
        bool Enabled = true; // a disabled action sends nothing and returns DisabledResult
        bool DisabledResult = true;
        // The request, built once the action is busy and enabled. It may wait itself (a step
        // before the request); an action reset meanwhile then sends nothing.
        std::function<TCameraRequest()> Prepare;
        // Why the answer is no success, None when it is; it also takes what the action keeps.
        // Called for every answer that is not dropped, with or without a status.
        std::function<TCameraFailure(const TCameraAnswer& answer)> Judge;
        // The action's completion event, after Judge; not for a dropped answer or an exception.
        std::function<void(bool success)> Done;
    };

    // The frame of every request: Busy for its duration (the previous state restored after it),
    // the enabled check, the request through Link, its answer dropped when the action was reset
    // during the wait (trace "<Operation>: reset while waiting, answer dropped"), a transport
    // failure logged as "<Operation>: <error>", an exception as "<Operation> (Ex): <text>".
    // LastFailure tells why the result is false.
    bool runRequest(const RequestFrame& frame);

    // Changes with every Reset; a request compares it before and after its wait.
    quint64 resetCount() const { return m_resets; }
    QString className() const { return m_className; }
    void setClassName(const QString& name) { m_className = name; }

    // Sets Busy for the lifetime of the guard; restores the previous state, since the wait inside a
    // request lets a nested call of the same action run and end first.
    class BusyGuard
    {
    public:
        explicit BusyGuard(TBaseAction& action)
            : m_action(action)
            , m_previous(action.Busy)
        {
            action.Busy = true;
        }
        ~BusyGuard() { m_action.Busy = m_previous; }
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

    private:
        TBaseAction& m_action;
        bool m_previous;
    };

    static void logTrace(const QString& message);
    static void logError(const QString& message);

private:
    quint64 m_resets = 0;
    QString m_className = QStringLiteral("TBaseAction");
};
