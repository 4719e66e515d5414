#include "RequestCommand.h"

#include "CliContext.h"
#include "camera/TIdHTTPBuilder.h"
#include "camera/TIdHTTPEx.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QJsonObject>

#include <memory>

int RequestCommand::run(CliContext& context, const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption postOption(
        QStringLiteral("post"), QStringLiteral("POST this body"), QStringLiteral("BODY"));
    const QCommandLineOption timeoutOption(QStringLiteral("timeout"), QStringLiteral("read time-out"),
        QStringLiteral("MS"), QStringLiteral("10000"));
    parser.addOption(postOption);
    parser.addOption(timeoutOption);
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("path and query"));
    if (!parser.parse(QStringList { name() } + arguments))
        return context.usage(parser.errorText());
    const QStringList rest = parser.positionalArguments();
    if (rest.size() != 1)
        return context.usage(QStringLiteral("request needs exactly one PATH"));
    bool ok = false;
    const int timeout = parser.value(timeoutOption).toInt(&ok);
    if (!ok || timeout < 0)
        return context.usage(QStringLiteral("--timeout needs a number of milliseconds"));

    QString path = rest.first();
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    const QString url = QStringLiteral("http://%1%2").arg(context.cameraHost(), path);

    std::unique_ptr<TIdHTTPEx> http(TIdHTTPBuilder::CreateHTTP(timeout, true));
    QByteArray body;
    QBuffer stream(&body);
    stream.open(QIODevice::WriteOnly);
    bool done = false;
    if (parser.isSet(postOption)) {
        const QString postBody = parser.value(postOption);
        if (postBody.trimmed().startsWith(QLatin1Char('<')))
            http->ContentType = QStringLiteral("text/xml");
        done = http->Post(url, QStringList { postBody }, &stream);
    } else {
        done = http->Get(url, &stream);
    }
    const int code = http->ResponseCode();

    if (context.json()) {
        QJsonObject result;
        result.insert(QStringLiteral("status"), code);
        result.insert(QStringLiteral("body"), QString::fromUtf8(body));
        if (!done)
            result.insert(QStringLiteral("error"), http->LastError());
        context.printJson(QJsonDocument(result));
    } else if (code >= 0) {
        context.print(QString::number(code));
        context.print(QString::fromUtf8(body));
    }
    if (code < 0 || !done)
        return context.fail(QStringLiteral("no answer from %1: %2").arg(url, http->LastError()));
    return code >= 200 && code < 300 ? CliContext::Success : CliContext::Failure;
}
