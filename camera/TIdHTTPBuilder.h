#pragma once

#include <QString>

class QIODevice;
class QObject;
class TIdHTTPEx;

// Creates the HTTP client of a camera request and writes its exchange record to the log.
class TIdHTTPBuilder
{
public:
    // A new client with the read time-out, the log-body flag and LogExchange as its OnLog.
    // The caller owns it.
    static TIdHTTPEx* CreateHTTP(int readTimeoutMs, bool logBody, QObject* parent = nullptr);

    // One record per exchange, written in every run: "GET /get_caminfo.cgi\r\nResponse-Code: 200\r\n",
    // followed by the answer text and "\r\n" when logBody is set and the answer is held in memory.
    static void LogExchange(TIdHTTPEx* sender, const QString& method, const QString& pathAndQuery,
        bool logBody, int code, QIODevice* response);

    // The record itself, without writing it.
    static QString ExchangeRecord(
        const QString& method, const QString& pathAndQuery, bool logBody, int code, QIODevice* response);
};
