#include "WatchCommand.h"

#include "CliContext.h"
#include "CliInterrupt.h"
#include "session/TCamera.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <unistd.h>

QStringList WatchCommand::CapabilityNames(quint8 capabilities)
{
    QStringList names;
    if (capabilities & TCamera::CapImport)
        names << QStringLiteral("import");
    if (capabilities & TCamera::CapRemote)
        names << QStringLiteral("remote control");
    if (capabilities & TCamera::CapGPS)
        names << QStringLiteral("gps");
    if (capabilities & TCamera::CapRelease)
        names << QStringLiteral("remote release");
    return names;
}

QString WatchCommand::ChangeText(const TCamera& camera, const QString& model)
{
    if (!camera.Connected)
        return QStringLiteral("gone");
    const QString who = model.isEmpty() ? QStringLiteral("camera") : model;
    if (!camera.IsPrivate)
        return QStringLiteral("connected: %1 (not private, no capabilities)").arg(who);
    const QStringList names = CapabilityNames(camera.Capabilities);
    return QStringLiteral("connected: %1 (private, version %2), capabilities: %3")
        .arg(
            who, camera.Version, names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")));
}

QJsonObject WatchCommand::ChangeJson(const TCamera& camera, const QString& model)
{
    if (!camera.Connected)
        return QJsonObject { { QStringLiteral("event"), QStringLiteral("gone") } };
    return QJsonObject {
        { QStringLiteral("event"), QStringLiteral("connected") }, { QStringLiteral("model"), model },
        { QStringLiteral("version"), camera.Version }, { QStringLiteral("private"), camera.IsPrivate },
        { QStringLiteral("capabilities"), QJsonArray::fromStringList(CapabilityNames(camera.Capabilities)) }
    };
}

int WatchCommand::run(CliContext& context, const QStringList& arguments)
{
    int seconds = 0;
    for (int i = 0; i < arguments.size(); ++i) {
        bool ok = false;
        if (arguments.at(i) == QLatin1String("--seconds") && i + 1 < arguments.size())
            seconds = arguments.at(++i).toInt(&ok);
        if (!ok || seconds <= 0)
            return context.usage(QStringLiteral("watch takes only --seconds N (N > 0)"));
    }
    if (isatty(fileno(stderr)))
        std::fprintf(stderr, "watching %s (Ctrl-C ends)\n", context.cameraHost().toLocal8Bit().constData());

    TCamera camera(context.setup());
    bool seen = false;
    camera.OnChangeConnection = [&context, &seen](TCamera* sender, bool& handled) {
        seen = seen || sender->Connected;
        QString model;
        if (sender->Connected)
            sender->Info.CameraInfo.Execute(model);
        if (context.json())
            context.print(
                QString::fromUtf8(QJsonDocument(ChangeJson(*sender, model)).toJson(QJsonDocument::Compact)));
        else
            context.print(ChangeText(*sender, model));
        handled = true;
    };

    std::optional<CliInterrupt> interrupt(std::in_place);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (CliInterrupt::Requested())
            QCoreApplication::quit();
    });
    poll.start(100);
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    camera.Stop();
    interrupt.reset();
    // Watching a camera that never answered has found nothing.
    if (!seen && !camera.Connected)
        return context.fail(QStringLiteral("no camera answered at %1").arg(context.cameraHost()));
    return CliContext::Success;
}
