#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Why an exchange or an action failed, for callers that decide on it; the message texts beside it
// are for people and logs.
enum class TCameraFailure : quint8 {
    None,
    NoAnswer, // no connection, no answer in time, or the answer broke off before it was complete
    Status, // the camera answered, with another status code than the action expects
    Unreadable, // the answer is not what the action expects
    LocalWrite, // a file or buffer of ours refused the bytes (folder gone, disk full)
    Reset, // the action was reset while it waited; the answer was dropped
    Cancelled, // the caller stopped the exchange
    Busy, // the action was still running an earlier request
    Internal, // an unexpected error inside the program
};

// One exchange with the camera as an action sees it, independent of the transport underneath.
struct TCameraRequest
{
    QByteArray Method = "GET";
    QString Url;
    int ReadTimeoutMs = 0;
    bool LogBody = true;
    QString ContentType; // of a POST body
    QByteArray Body; // one line, sent trimmed
};

struct TCameraAnswer
{
    bool Completed = false; // an answer arrived (any status code)
    int Code = -1;
    QByteArray Body;
    QString Error; // why it did not complete
};

using TCameraTransport = std::function<TCameraAnswer(const TCameraRequest&)>;

// Where and how the actions reach the camera: the host is asked for at each request, so a changed
// camera address takes effect at once; the transport is HTTP unless a test puts a fake in.
struct TCameraLink
{
    std::function<QString()> Host;
    TCameraTransport Transport;

    static TCameraLink ToHost(const QString& host);

    QString host() const { return Host ? Host() : QString(); }
    QString url(const char* endpointFormat) const;
    // Waited exchange; never throws.
    TCameraAnswer send(const TCameraRequest& request) const;

    // The HTTP transport: a TIdHTTPEx per exchange, created through TIdHTTPBuilder.
    static TCameraAnswer SendHttp(const TCameraRequest& request);
};

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

    // Busy false. Also marks any request still waiting as outdated, so its late answer is dropped.
    virtual void Reset();

protected:
    // Changes with every Reset; a request compares it before and after its wait.
    quint64 resetCount() const { return m_resets; }

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
};
