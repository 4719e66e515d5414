#include "TetherCommand.h"

#include "CliContext.h"
#include "CliInterrupt.h"
#include "ListCommand.h"
#include "PlayModeOnExit.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "import/FileSizeText.h"
#include "import/TCameraImport.h"
#include "import/TFileKind.h"
#include "import/TLiveImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <unistd.h>

int TetherCommand::run(CliContext& context, const QStringList& arguments)
{
    QString dest;
    QStringList types;
    int seconds = 0;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (arg == QLatin1String("--dest")) {
            if (!hasValue || (dest = arguments.at(++i)).trimmed().isEmpty())
                return context.usage(QStringLiteral("--dest needs a folder"));
        } else if (arg == QLatin1String("--type")) {
            if (!hasValue)
                return context.usage(QStringLiteral("--type needs extensions such as JPG,ORF"));
            types << TFileKind::ParseTypes(arguments.at(++i));
            if (types.isEmpty())
                return context.usage(QStringLiteral("--type needs extensions such as JPG,ORF"));
        } else if (arg == QLatin1String("--seconds")) {
            bool ok = false;
            seconds = hasValue ? arguments.at(++i).toInt(&ok) : 0;
            if (!ok || seconds <= 0)
                return context.usage(QStringLiteral("--seconds needs a number N > 0"));
        } else {
            return context.usage(QStringLiteral("tether does not know \"%1\"").arg(arg));
        }
    }
    if (dest.isEmpty())
        return context.usage(QStringLiteral("tether needs --dest DIR"));
    if (const QString unknown = ListCommand::UnknownTypes(types); !unknown.isEmpty())
        return context.usage(unknown);
    if (!QDir().mkpath(dest) || !QFileInfo(dest).isDir())
        return context.fail(QStringLiteral("cannot create the folder %1").arg(dest));
    dest = QDir(dest).absolutePath();

    TOIShare commandList;
    const QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    const TCameraLink link = TCameraLink::ToHost(context.cameraHost());
    TCameraImport import(link);
    if (!import.Probe(commandList))
        return context.fail(QStringLiteral("could not set up the transfer actions"));
    TCameraModeAction mode(link);
    if (const TCGIFunction* switching = commandList.Functions.Find(QStringLiteral("switch_cammode")))
        mode.Probe(*switching);
    const PlayModeOnExit backToPlay(mode); // live import switches to shutter mode where it can

    TLiveImport live(import, &mode);
    live.SetTargetFolder(dest);
    live.SetFilter(types);
    const bool json = context.json();
    auto event = [&context, json](const QJsonObject& object, const QString& text) {
        if (json)
            context.print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        else
            context.print(text);
    };
    QStringList notCopied; // names whose last attempt failed, listed at the end
    int abandoned = 0; // files that waited or were under way when Ctrl-C came
    bool ending = false;
    QObject::connect(
        &live, &TLiveImport::FileLanded, [&](const TCameraImportItem& file, const QString& path) {
            notCopied.removeAll(file.FileName);
            QJsonObject object = ListCommand::FileToJson(file);
            object.insert(QStringLiteral("event"), QStringLiteral("landed"));
            object.insert(QStringLiteral("path"), path);
            event(object,
                QStringLiteral("%1\t%2\t%3")
                    .arg(ListCommand::Printable(file.FileName), FileSizeText(file.SizeText), path));
        });
    QObject::connect(
        &live, &TLiveImport::FileFailed, [&](const TCameraImportItem& file, const QString& why, bool final) {
            if (!notCopied.contains(file.FileName))
                notCopied << file.FileName;
            QJsonObject object = ListCommand::FileToJson(file);
            object.insert(
                QStringLiteral("event"), final ? QStringLiteral("failed") : QStringLiteral("retry"));
            object.insert(QStringLiteral("reason"), ListCommand::Printable(why));
            event(object,
                QStringLiteral("%1\t%2: %3")
                    .arg(ListCommand::Printable(file.FileName),
                        final ? QStringLiteral("failed")
                              : QStringLiteral("failed, tried again at the next poll"),
                        ListCommand::Printable(why)));
        });
    // What keeps the import from working goes to stderr once each time it changes.
    QString lastNotice;
    QObject::connect(&live, &TLiveImport::Changed, [&] {
        // A request cut short by the end is no news about the camera.
        const QString notice = live.Notice();
        if (ending || notice == lastNotice)
            return;
        lastNotice = notice;
        if (!notice.isEmpty())
            std::fprintf(stderr, "%s\n", notice.toLocal8Bit().constData());
    });

    live.Start();
    if (!live.ModeNotice().isEmpty())
        std::fprintf(stderr, "%s\n", live.ModeNotice().toLocal8Bit().constData());
    if (live.Folder().isEmpty())
        return context.fail(
            QStringLiteral("the camera at %1 lists no folder to watch").arg(context.cameraHost()));
    if (isatty(fileno(stderr)))
        std::fprintf(stderr, "watching %s for new shots into %s (Ctrl-C ends)\n",
            live.Folder().toLocal8Bit().constData(), dest.toLocal8Bit().constData());

    std::optional<CliInterrupt> interrupt(std::in_place);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (CliInterrupt::Requested() && !ending) {
            // The file coming in is abandoned; the loader removes what had arrived.
            ending = true;
            abandoned = live.QueueLength() + (live.IsDownloading() ? 1 : 0);
            live.CancelTransfer();
            live.Leave();
        }
        if (ending && !live.IsDownloading())
            QCoreApplication::quit();
    });
    check.start(100);
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, [&] {
            // Time is up: no more polls; the file in flight still lands.
            ending = true;
            live.Leave();
        });
    QCoreApplication::exec();
    interrupt.reset();
    live.Leave();
    if (!json)
        std::fprintf(stderr, "%lld file(s), %s\n", static_cast<long long>(live.DownloadedCount()),
            FileSizeText(live.DownloadedBytes()).toLocal8Bit().constData());
    // Only a run that copied every new file it saw is a success.
    const qint64 waiting = abandoned + live.QueueLength();
    const qint64 failed = qMax<qint64>(notCopied.size(), live.FailedCount());
    if (failed + waiting == 0)
        return CliContext::Success;
    QString line = QStringLiteral("%1 file(s) not copied").arg(failed + waiting);
    if (!notCopied.isEmpty())
        line += QStringLiteral(": ") + ListCommand::Printable(notCopied.join(QStringLiteral(", ")));
    if (waiting > 0)
        line += QStringLiteral(" (%1 still waiting at the end)").arg(waiting);
    return context.fail(line);
}
