#include "InfoCommand.h"

#include "CliContext.h"
#include "camera/TCameraInfo.h"
#include "camera/TOIShare.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// A number when the camera wrote one, else null (also for a disabled action).
QJsonValue number(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    return ok ? QJsonValue(double(value)) : QJsonValue();
}

} // namespace

int InfoCommand::capabilities(const QStringList& supported, bool isPrivate)
{
    if (!isPrivate)
        return 0;
    int bits = 0;
    if (supported.contains(QStringLiteral("web"), Qt::CaseInsensitive))
        bits |= 1;
    if (supported.contains(QStringLiteral("remote"), Qt::CaseInsensitive))
        bits |= 2;
    if (supported.contains(QStringLiteral("gps"), Qt::CaseInsensitive))
        bits |= 4;
    if (supported.contains(QStringLiteral("release"), Qt::CaseInsensitive))
        bits |= 8;
    return bits;
}

int InfoCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return context.usage(QStringLiteral("info takes no arguments"));
    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    TCameraInfo info(TCameraLink::ToHost(context.cameraHost()));
    if (!info.Probe(commandList))
        return context.fail(QStringLiteral("the command list could not be probed"));

    QString mode, model, files, free;
    QStringList failed;
    if (!info.ConnectMode.Execute(mode))
        failed << QStringLiteral("connection mode");
    if (!info.CameraInfo.Execute(model))
        failed << QStringLiteral("model");
    if (!info.DCFFileCount.Execute(files))
        failed << QStringLiteral("file count");
    if (!info.UnusedCapacity.Execute(free))
        failed << QStringLiteral("free capacity");
    // 4294967295 (all bits set) is the camera's word for a free space it does not know.
    const bool freeUnknown = free.trimmed() == QLatin1String("4294967295");
    if (freeUnknown)
        free.clear();
    const bool isPrivate = mode.compare(QLatin1String("private"), Qt::CaseInsensitive) == 0;
    const int caps = capabilities(commandList.SupportedFunctions, isPrivate);

    if (context.json()) {
        context.printJson(QJsonDocument(QJsonObject { { QStringLiteral("model"), model },
            { QStringLiteral("connectmode"), mode }, { QStringLiteral("version"), commandList.Version },
            { QStringLiteral("support"), QJsonArray::fromStringList(commandList.SupportedFunctions) },
            { QStringLiteral("capabilities"), caps }, { QStringLiteral("files"), number(files) },
            { QStringLiteral("free"), number(free) } }));
    } else {
        const auto shown = [](const QString& text) { return text.isEmpty() ? QStringLiteral("-") : text; };
        // Concatenated, not formatted: camera texts may hold "%" signs.
        context.print(QStringLiteral("model:        ") + shown(model) + QStringLiteral("\nconnect mode: ")
            + shown(mode) + QStringLiteral("\nversion:      ") + shown(commandList.Version)
            + QStringLiteral("\nsupport:      ")
            + shown(commandList.SupportedFunctions.join(QStringLiteral(", ")))
            + QStringLiteral("\ncapabilities: ") + QString::number(caps) + QStringLiteral("\nfiles:        ")
            + shown(files) + QStringLiteral("\nfree:         ")
            + (freeUnknown ? QStringLiteral("unknown") : shown(free))
            + (free.isEmpty() ? QString() : QStringLiteral(" bytes")));
    }
    if (!failed.isEmpty())
        return context.fail(QStringLiteral("could not read: %1").arg(failed.join(QStringLiteral(", "))));
    return CliContext::Success;
}
