#include "RequestCommand.h"

#include "CliContext.h"
#include "camera/TCameraLink.h"

#include <QCommandLineParser>
#include <QJsonObject>

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

    TCameraRequest request;
    request.Url = url;
    request.ReadTimeoutMs = timeout;
    request.LogBody = true;
    if (parser.isSet(postOption)) {
        const QString postBody = parser.value(postOption);
        request.Method = "POST";
        request.Body = postBody.toUtf8();
        if (postBody.trimmed().startsWith(QLatin1Char('<')))
            request.ContentType = QStringLiteral("text/xml");
    }
    const TCameraAnswer answer = context.cameraLink().send(request);

    if (context.json()) {
        QJsonObject result;
        result.insert(QStringLiteral("status"), answer.Code);
        result.insert(QStringLiteral("body"), QString::fromUtf8(answer.Body));
        if (!answer.Completed)
            result.insert(QStringLiteral("error"), answer.Error);
        context.printJson(QJsonDocument(result));
    } else if (answer.Code >= 0) {
        context.print(QString::number(answer.Code));
        context.print(QString::fromUtf8(answer.Body));
    }
    if (answer.Code < 0 || !answer.Completed)
        return context.fail(QStringLiteral("no answer from %1: %2").arg(url, answer.Error));
    return answer.Code >= 200 && answer.Code < 300 ? CliContext::Success : CliContext::Failure;
}
