#include "ImportCommand.h"

#include "CliContext.h"
#include "ListCommand.h"
#include "ProgressBar.h"
#include "base/TSetup.h"
#include "import/FileSizeText.h"
#include "import/TCameraImport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <vector>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

struct Planned
{
    const TCameraImportItem* Item;
    QString Path;
    qint64 Size;
};

} // namespace

bool ImportCommand::Filter::Matches(const TCameraImportItem& item) const
{
    if (!Types.isEmpty()) {
        const qsizetype dot = item.FileName.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot < 0 ? QString() : item.FileName.mid(dot + 1).toUpper();
        if (!Types.contains(ext))
            return false;
    }
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
            for (const QString& type : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
                filter.Types << type.trimmed().toUpper().remove(QLatin1Char('.'));
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
    QString error;
    QStringList folders;
    if (!ListCommand::ListFolders(import, folders, error))
        return context.fail(error);

    // Lists first, so the progress line knows the whole amount.
    std::vector<std::unique_ptr<TCameraImportItems>> lists;
    std::vector<Planned> plan;
    qint64 totalBytes = 0;
    for (const QString& folder : folders) {
        QString why;
        if (TFileLoaderAction::SafeFileName(folder, &why).isEmpty()) {
            failure(ListCommand::Printable(why));
            continue;
        }
        auto items = std::make_unique<TCameraImportItems>();
        if (!ListCommand::ListFiles(import, folder, *items, error)) {
            failure(error);
            continue;
        }
        for (const TCameraImportItem* item : *items) {
            if (!filter.Matches(*item))
                continue;
            const QString path = TFileLoaderAction::TargetPath(dest, item->FileName, &why);
            if (path.isEmpty()) {
                failure(ListCommand::Printable(why));
                continue;
            }
            const qint64 size = item->Size();
            if (size < 0) {
                failure(QStringLiteral("%1: the camera lists no size")
                            .arg(ListCommand::Printable(item->CameraPath())));
                continue;
            }
            const QFileInfo existing(path);
            if (!all && existing.exists() && existing.isFile() && existing.size() == size) {
                ++skipped;
                continue;
            }
            plan.push_back({ item, path, size });
            totalBytes += size;
        }
        lists.push_back(std::move(items));
    }

    g_interrupted = 0;
    const auto previousHandler = std::signal(SIGINT, onInterrupt);
    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, [&import] {
        if (g_interrupted)
            import.FileLoader.Cancel();
    });
    watch.start();

    ProgressBar progress(int(plan.size()), totalBytes);
    int copied = 0, done = 0;
    qint64 bytes = 0;
    for (const Planned& p : plan) {
        if (g_interrupted)
            break;
        import.FileLoader.OnProgress = [&](qint64 received, qint64) {
            progress.Update(done, bytes + received, p.Item->FileName);
    };
    TFileLoadTarget target;
    target.FileName = p.Path;
    target.ExpectedSize = p.Size;
    target.Modified = p.Item->DateTime();
    progress.Update(done, bytes, p.Item->FileName);
    if (import.FileLoader.Load(p.Item->CameraPath(), target, true)) {
        ++copied;
        bytes += p.Size;
        if (!import.FileLoader.LastError.isEmpty())
            errors << import.FileLoader.LastError; // copied, but its time could not be set
    } else {
        failure(g_interrupted ? QStringLiteral("%1: cancelled").arg(p.Item->FileName)
                              : ListCommand::Printable(import.FileLoader.LastError));
    }
    ++done;
    progress.Update(done, bytes, QString());
}
import.FileLoader.OnProgress = nullptr;
progress.Finish();
watch.stop();
std::signal(SIGINT, previousHandler);

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
                      .arg(g_interrupted ? QStringLiteral(", cancelled") : QString()));
}
return failed > 0 || g_interrupted ? CliContext::Failure : CliContext::Success;
}
