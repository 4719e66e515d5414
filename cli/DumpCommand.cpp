#include "DumpCommand.h"

#include "CliContext.h"
#include "camera/TCameraDump.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>
#include <unistd.h>

int DumpCommand::run(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 2 || arguments[0] != QStringLiteral("--out") || arguments[1].isEmpty())
        return context.usage(QStringLiteral("dump needs --out FILE.zip"));
    const QString path = arguments[1];

    // The live view port the program uses, checked before the camera is asked to send there.
    QString portError;
    const quint16 port = context.liveViewPort(-1, portError);
    if (port == 0)
        return context.fail(portError);
    TCameraDump dump(context.cameraLink(), port);
    const bool terminal = isatty(fileno(stderr)) != 0;
    if (terminal)
        dump.setProgress([](const QString& what, int percent) {
            std::fprintf(stderr, "\r\033[K%3d %% %s", percent, qPrintable(what));
            std::fflush(stderr);
        });
    const TCameraDump::Result result = dump.run();
    if (terminal)
        std::fprintf(stderr, "\r\033[K");

    if (result.Archive.isEmpty())
        return context.fail(
            QStringLiteral("nothing written, the camera at %1 does not answer: %2 (lumivar-cli doctor "
                           "tells why)")
                .arg(context.cameraHost(), result.Failures.value(0)));
    QString error;
    if (!TCameraDump::WriteArchive(path, result.Archive, error))
        return context.fail(error);
    if (context.json())
        context.printJson(QJsonDocument(QJsonObject { { QStringLiteral("file"), path },
            { QStringLiteral("ok"), result.Failures.isEmpty() },
            { QStringLiteral("failures"), QJsonArray::fromStringList(result.Failures) } }));
    else
        context.print(QStringLiteral("wrote %1").arg(path));
    if (!result.Failures.isEmpty())
        return context.fail(
            QStringLiteral("the dump is incomplete: ") + result.Failures.join(QStringLiteral("; ")));
    return CliContext::Success;
}
