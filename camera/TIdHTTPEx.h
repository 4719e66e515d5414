#pragma once

#include "camera/TCameraLink.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QEventLoop;
class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

// HTTP/1.1 client of every camera request. One manager per client, so no connection outlives it.
//
// Waited requests (Get without OnDone, Post) return when the exchange has ended while the caller's
// thread keeps processing events, so timers and clicks run during a request. An asynchronous Get
// (OnDone assigned) returns at once and reports through OnDone on this thread.
class TIdHTTPEx : public QObject
{
    Q_OBJECT
public:
    // Answers kept in memory are capped by default; downloads into files set MaxBodySize = -1.
    static constexpr qint64 DefaultMaxBodySize = 16 * 1024 * 1024;
    static constexpr const char* DefaultUserAgent = "OI.Share v2";
    static constexpr const char* DefaultContentType = "application/x-www-form-urlencoded";

    TIdHTTPEx(int readTimeoutMs, bool logBody, QObject* parent = nullptr);
    ~TIdHTTPEx() override;

    // GET into the stream (open for writing; a QBuffer for answers, a QFile for downloads).
    // Waited: true when the exchange completed without a transport error, whatever the status code.
    // Asynchronous: true when the request started; OnDone then follows exactly once. False means it
    // did not start (bad URL, client busy) and OnDone is not called.
    bool Get(const QString& url, QIODevice* response);
    // As Get; a waited call also ends when the caller's flag turns true. The abandoned request runs
    // on to its end or time-out, but nothing of it reaches the stream or this client any more.
    bool GetAbortable(const QString& url, QIODevice* response, const bool& abort);
    // As above, the caller asked instead of a flag read.
    bool GetAbortable(const QString& url, QIODevice* response, const std::function<bool()>& isAborted);
    // Always waited. One line: that line trimmed; several: each trimmed and joined with "&".
    bool Post(const QString& url, const QStringList& requestLines, QIODevice* response);

    // Status line number of the last answer, -1 when none arrived.
    int ResponseCode() const { return m_responseCode; }
    // Reason of the last failure, empty after a successful exchange.
    QString LastError() const { return m_lastError; }
    // Its kind: NoAnswer, LocalWrite (the stream refused bytes), Unreadable (over MaxBodySize),
    // Cancelled (Abort or the caller's abort), Internal; None after a successful exchange.
    TCameraFailure LastFailure() const { return m_lastFailure; }
    // Ends the running request with a failure (for example a cancelled download).
    void Abort();

    // The body of a POST as the camera expects it from the request lines.
    static QByteArray PostBody(const QStringList& requestLines);

    QString ContentType; // of a POST body; empty: DefaultContentType
    QString UserAgent = QString::fromLatin1(DefaultUserAgent);
    int ReadTimeout = 0; // ms without any received byte that end a request; 0: no limit
    bool LogBody = false;
    qint64 MaxBodySize = DefaultMaxBodySize; // -1: no limit
    std::function<void(TIdHTTPEx* sender, bool success)> OnDone;
    std::function<void(TIdHTTPEx* sender, const QString& method, const QString& pathAndQuery, bool logBody,
        int code, QIODevice* response)>
        OnLog;

private:
    bool startRequest(const QByteArray& method, const QString& url, QIODevice* response,
        const QByteArray* body, bool async);
    bool waitForEnd(const std::function<bool()>& isAborted);
    void readAvailable(QNetworkReply* reply);
    void onMetaData(QNetworkReply* reply);
    void onFinished(QNetworkReply* reply);
    void failRunning(TCameraFailure kind, const QString& reason);
    void logFailure(const QString& operation, const QString& url, const QString& reason) const;

    QNetworkAccessManager* m_manager = nullptr;
    QNetworkReply* m_reply = nullptr; // the request whose answer is still wanted
    QIODevice* m_stream = nullptr;
    QEventLoop* m_loop = nullptr; // the running wait, if any
    QByteArray m_method;
    QString m_url;
    QString m_pathAndQuery;
    QString m_failure; // set when we end the request ourselves
    QString m_lastError;
    TCameraFailure m_failureKind = TCameraFailure::None; // of m_failure
    TCameraFailure m_lastFailure = TCameraFailure::None;
    qint64 m_received = 0;
    qint64 m_expected = -1;
    int m_responseCode = -1;
    bool m_async = false; // OnDone reports the end
    bool m_success = false;
    // A write into the stream may run events (a progress display): the readyRead and the finish
    // they bring wait for the chunk on its way, so the body keeps its order and its count.
    bool m_reading = false;
    bool m_finishDeferred = false;
};
