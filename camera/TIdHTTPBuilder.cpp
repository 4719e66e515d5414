#include "camera/TIdHTTPBuilder.h"

#include "base/TLogger.h"
#include "camera/TIdHTTPEx.h"

#include <QBuffer>

TIdHTTPEx* TIdHTTPBuilder::CreateHTTP(int readTimeoutMs, bool logBody, QObject* parent)
{
    auto* http = new TIdHTTPEx(readTimeoutMs, logBody, parent);
    http->OnLog = &TIdHTTPBuilder::LogExchange;
    return http;
}

void TIdHTTPBuilder::LogExchange(TIdHTTPEx* /*sender*/, const QString& method, const QString& pathAndQuery,
    bool logBody, int code, QIODevice* response)
{
    TLogger::LogAlways(ExchangeRecord(method, pathAndQuery, logBody, code, response));
}

QString TIdHTTPBuilder::ExchangeRecord(
    const QString& method, const QString& pathAndQuery, bool logBody, int code, QIODevice* response)
{
    QString record;
    if (!method.isEmpty())
        record += method + QLatin1Char(' ') + pathAndQuery + QStringLiteral("\r\n");
    record += QStringLiteral("Response-Code: ") + QString::number(code) + QStringLiteral("\r\n");
    // Only in-memory answers are text worth logging; files are downloads.
    if (logBody) {
        if (const auto* buffer = qobject_cast<const QBuffer*>(response))
            record += QString::fromUtf8(buffer->data()) + QStringLiteral("\r\n");
    }
    return record;
}
