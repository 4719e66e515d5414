#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

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
    // Asked while a GET waits; true ends it as Cancelled (the connection check stops with the camera
    // object).
    std::function<bool()> IsAborted;
};

struct TCameraAnswer
{
    bool Completed = false; // an answer arrived (any status code)
    int Code = -1;
    QByteArray Body;
    QString Error; // why it did not complete
    TCameraFailure Failure = TCameraFailure::None; // set when it did not complete
};

using TCameraTransport = std::function<TCameraAnswer(const TCameraRequest&)>;

// A download: the body goes into the caller's sink as it arrives, so a file never sits in memory and
// the sink reports the progress.
struct TCameraStreamRequest
{
    QString Url;
    int ReadTimeoutMs = 0;
    bool LogBody = false;
    QIODevice* Sink = nullptr; // open for writing; it must outlive the exchange
    qint64 MaxBodySize = -1; // a longer body ends the exchange as Unreadable; -1: no limit
};

// One streamed exchange as its caller holds it; each is used once, in one of the two forms.
// Freeing the handle ends a running background exchange without any further write or call; it may
// be freed from inside its own completion. Implementations never throw.
class TCameraStream
{
public:
    using Done = std::function<void(const TCameraAnswer& answer)>;

    virtual ~TCameraStream() = default;
    // Waited form: the whole exchange while events are processed. The handle must not be freed
    // during the wait (abort it instead).
    virtual TCameraAnswer run() = 0;
    // Background form: returns at once; done follows exactly once, from the event loop. False, with
    // the reason in why and without a done call, when the exchange could not start.
    virtual bool start(Done done, QString& why) = 0;
    // Ends the running exchange at once as Cancelled: nothing more reaches the sink; a waiting run
    // returns, a background exchange reports through its done call.
    virtual void abort() = 0;
};

using TCameraStreamTransport = std::function<std::unique_ptr<TCameraStream>(const TCameraStreamRequest&)>;

// Where and how the program reaches the camera: the host is asked for at each request, so a changed
// camera address takes effect at once; the transports are HTTP unless a test puts fakes in.
struct TCameraLink
{
    std::function<QString()> Host;
    TCameraTransport Transport;
    TCameraStreamTransport StreamTransport;

    static TCameraLink ToHost(const QString& host);

    QString host() const { return Host ? Host() : QString(); }
    QString url(const char* endpointFormat) const;
    // Waited exchange; never throws. An answer that did not complete always carries a failure kind.
    TCameraAnswer send(const TCameraRequest& request) const;
    // A streamed exchange, not yet started; never null, never throws.
    std::unique_ptr<TCameraStream> stream(const TCameraStreamRequest& request) const;

    // The HTTP transports: a TIdHTTPEx per exchange, created through TIdHTTPBuilder.
    static TCameraAnswer SendHttp(const TCameraRequest& request);
    static std::unique_ptr<TCameraStream> StreamHttp(const TCameraStreamRequest& request);
};
