#include "ImportCommand.h"

#include "CliContext.h"
#include "CliInterrupt.h"
#include "ListCommand.h"
#include "ProgressBar.h"
#include "base/TSetup.h"
#include "import/FileSizeText.h"
#include "import/TCameraImport.h"
#include "import/TFileKind.h"
#include "import/TImportSession.h"
#include "import/TLocalCopies.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <vector>

bool ImportCommand::Filter::Matches(const TCameraImportItem& item) const
{
    if (!TFileKind::Accepts(Types, item.FileName))
        return false;
    if ((Since.isValid() || Until.isValid()) && !item.Date.isValid())
        return false;
    if (Since.isValid() && item.Date < Since)
        return false;
    if (Until.isValid() && item.Date > Until)
        return false;
    return true;
}

int ImportCommand::run(CliContext& context, const QStringList& arguments)
{
    QString dest = context.setup().GetDownloadDirectory();
    bool all = false, onlyNew = false;
    Filter filter;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        auto value = [&](QString& into) {
            if (i + 1 >= arguments.size())
                return false;
            into = arguments.at(++i);
            return true;
        };
        QString text;
        if (arg == QLatin1String("--dest")) {
            if (!value(dest) || dest.trimmed().isEmpty())
                return context.usage(QStringLiteral("--dest needs a folder"));
        } else if (arg == QLatin1String("--all")) {
            all = true;
        } else if (arg == QLatin1String("--new")) {
            onlyNew = true;
        } else if (arg == QLatin1String("--type")) {
            if (!value(text))
                return context.usage(QStringLiteral("--type needs extensions such as JPG,ORF"));
            filter.Types << TFileKind::ParseTypes(text);
        } else if (arg == QLatin1String("--since") || arg == QLatin1String("--until")) {
            QDate& date = arg == QLatin1String("--since") ? filter.Since : filter.Until;
            if (!value(text) || !(date = QDate::fromString(text, Qt::ISODate)).isValid())
                return context.usage(QStringLiteral("%1 needs a date YYYY-MM-DD").arg(arg));
        } else {
            return context.usage(QStringLiteral("import does not know \"%1\"").arg(arg));
        }
    }
    if (all && onlyNew)
        return context.usage(QStringLiteral("--new and --all exclude each other"));
    if (const QString unknown = ListCommand::UnknownTypes(filter.Types); !unknown.isEmpty())
        return context.usage(unknown);
    if (filter.Since.isValid() && filter.Until.isValid() && filter.Since > filter.Until)
        return context.usage(
            QStringLiteral("--since %1 lies after --until %2")
                .arg(filter.Since.toString(Qt::ISODate), filter.Until.toString(Qt::ISODate)));
    if (dest.trimmed().isEmpty())
        return context.usage(QStringLiteral("import needs --dest DIR (no download folder is set)"));
    if (!QDir().mkpath(dest) || !QFileInfo(dest).isDir())
        return context.fail(QStringLiteral("cannot create the folder %1").arg(dest));
    dest = QDir(dest).absolutePath();

    ListCommand::Card card = ListCommand::OpenCard(context);
    if (!card.Import)
        return context.fail(card.Error);
    TCameraImport& import = *card.Import;

    QStringList errors;
    int skipped = 0, failed = 0;
    auto failure = [&](const QString& why) {
        errors << why;
        ++failed;
    };
    TImportSession session(import, nullptr);
    session.Transfers().SkipCopies = !all;
    if (!session.ListFolders())
        return context.fail(session.LastError());
    for (const QString& why : session.Refused())
        failure(ListCommand::Printable(why));

    // Lists first, so the progress line knows the whole amount.
    TImportSession::TLoadOptions options;
    options.Thumbnails = false;
    options.Append = true;
    options.Accept = [&filter](const TCameraImportItem& item) { return filter.Matches(item); };
    const QStringList folders = session.Folders();
    for (const QString& folder : folders) {
        if (!session.LoadFolder(folder, options))
            failure(session.LastError());
        for (const QString& why : session.Refused())
            failure(ListCommand::Printable(why));
    }
    const std::vector<TImportSession::TItem>& items = session.Items();
    std::vector<int> plan;
    qint64 totalBytes = 0;
    for (int i = 0; i < int(items.size()); ++i) {
        const TCameraImportItem& item = items[size_t(i)].File;
        const qint64 size = item.Size();
        if (size < 0) {
            failure(QStringLiteral("%1: the camera lists no size")
                        .arg(ListCommand::Printable(item.CameraPath())));
            continue;
        }
        // The same file (name or a free variant of it, size and time) is there already; a different
        // file under its name is kept and the copy takes a free variant of the name.
        if (!all && !TLocalCopies::FindCopy(dest, item).isEmpty()) {
            ++skipped;
            continue;
        }
        plan.push_back(i);
        totalBytes += size;
    }

    std::optional<CliInterrupt> interrupt(std::in_place);
    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, [&session] {
        if (CliInterrupt::Requested())
            session.Cancel();
    });
    watch.start();

    ProgressBar progress(int(plan.size()), totalBytes);
    int copied = 0, done = 0;
    qint64 bytes = 0;
    QString current;
    QObject::connect(&session, &TImportSession::FileStarted, [&](int index) {
        current = items[size_t(index)].File.FileName;
        progress.Update(done, bytes, current);
    });
    QObject::connect(&session, &TImportSession::BytesReceived,
        [&](qint64 received, qint64) { progress.Update(done, bytes + received, current); });
    QObject::connect(&session, &TImportSession::FileImported, [&](const TImportSession::TResult& result) {
        const TCameraImportItem& item = items[size_t(result.Index)].File;
        if (result.Outcome == TImportSession::TOutcome::Copied) {
            ++copied;
            bytes += item.Size();
            if (!result.Reason.isEmpty())
                errors << result.Reason; // copied, but its time could not be set
        } else if (result.Outcome == TImportSession::TOutcome::Skipped
            && !items[size_t(result.Index)].LocalPath.isEmpty()) {
            ++skipped; // its copy turned up meanwhile
        } else if (CliInterrupt::Requested() || result.Failure == TCameraFailure::Cancelled) {
            failure(QStringLiteral("%1: cancelled").arg(item.FileName));
        } else {
            failure(ListCommand::Printable(result.Reason));
        }
        ++done;
        progress.Update(done, bytes, QString());
    });
    if (!plan.empty())
        session.ImportSelection(plan, dest);
    // A camera gone or a folder removed stops the import; a cancelled one only ends.
    for (const TImportSession::TResult& result : session.Results())
        if (result.Outcome == TImportSession::TOutcome::NotDone && !CliInterrupt::Requested())
            failure(QStringLiteral("%1: %2").arg(
                ListCommand::Printable(items[size_t(result.Index)].File.FileName), result.Reason));
    progress.Finish();
    watch.stop();
    interrupt.reset();

    if (context.json()) {
        context.printJson(QJsonDocument(
            QJsonObject { { QStringLiteral("copied"), copied }, { QStringLiteral("skipped"), skipped },
                { QStringLiteral("failed"), failed }, { QStringLiteral("bytes"), double(bytes) },
                { QStringLiteral("errors"), QJsonArray::fromStringList(errors) } }));
    } else {
        for (const QString& e : errors)
            std::fprintf(stderr, "lumivar-cli: %s\n", e.toLocal8Bit().constData());
        context.print(QStringLiteral("%1 copied (%2), %3 skipped, %4 failed%5")
                          .arg(copied)
                          .arg(FileSizeText(bytes))
                          .arg(skipped)
                          .arg(failed)
                          .arg(CliInterrupt::Requested() ? QStringLiteral(", cancelled") : QString()));
    }
    return failed > 0 || CliInterrupt::Requested() ? CliContext::Failure : CliContext::Success;
}
