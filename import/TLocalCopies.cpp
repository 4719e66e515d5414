#include "import/TLocalCopies.h"

#include "import/TCameraImportItem.h"
#include "import/TFileLoaderAction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr qint64 kToleranceSecs = 2; // the card keeps even seconds
constexpr qint64 kQuarterHour = 15 * 60;
constexpr qint64 kMaxZoneShift = 26 * 3600;

bool isTaken(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}

// Over a file of the same bytes only.
bool replaceWith(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    QFile::remove(to);
    return QFile::rename(from, to);
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

} // namespace

bool TLocalCopies::IsSameFile(const QFileInfo& local, qint64 size, const QDateTime& cameraTime)
{
    if (!local.isFile() || size < 0 || local.size() != size)
        return false;
    const QDateTime localTime = local.lastModified();
    if (!cameraTime.isValid() || !localTime.isValid() || localTime.time().msec() != 0)
        return true;
    const qint64 apart = std::llabs(localTime.secsTo(cameraTime));
    if (apart <= kToleranceSecs)
        return true;
    const qint64 offQuarter = apart % kQuarterHour;
    return apart <= kMaxZoneShift
        && (offQuarter <= kToleranceSecs || kQuarterHour - offQuarter <= kToleranceSecs);
}

QString TLocalCopies::Variant(const QString& fileName, int n)
{
    if (n <= 0)
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString suffix = QLatin1Char('_') + QString::number(n);
    return dot <= 0 ? fileName + suffix : fileName.left(dot) + suffix + fileName.mid(dot);
}

QString TLocalCopies::FindCopy(
    const QString& folder, const QString& fileName, qint64 size, const QDateTime& time)
{
    if (folder.trimmed().isEmpty())
        return {};
    const QString first = TFileLoaderAction::TargetPath(folder, fileName);
    if (first.isEmpty())
        return {};
    const QString dir = QFileInfo(first).absolutePath();
    for (int n = 0; n <= MaxVariants; ++n) {
        const QFileInfo candidate(dir + QLatin1Char('/') + Variant(QFileInfo(first).fileName(), n));
        if (!isTaken(candidate))
            return {};
        if (IsSameFile(candidate, size, time))
            return candidate.filePath();
    }
    return {};
}

QString TLocalCopies::FindCopy(const QString& folder, const TCameraImportItem& file)
{
    return FindCopy(folder, file.FileName, file.Size(), file.DateTime());
}

QString TLocalCopies::Place(
    const QString& temporary, const QString& wanted, qint64 size, const QDateTime& time, QString* why)
{
    const QFileInfo target(wanted);
    const QString dir = target.absolutePath();
    const QString name = target.fileName();
    for (int n = 0; n <= MaxVariants; ++n) {
        const QString path = dir + QLatin1Char('/') + Variant(name, n);
        const QFileInfo candidate(path);
        if (!isTaken(candidate)) {
            // Refuses to replace a file that appeared since the look; then the next name is tried.
            if (QFile::rename(temporary, path))
                return path;
            if (!isTaken(QFileInfo(path))) {
                if (why)
                    *why = QStringLiteral("cannot write %1").arg(path);
                return {};
            }
            continue;
        }
        if (IsSameFile(candidate, size, time)) {
            if (replaceWith(temporary, path))
                return path;
            if (why)
                *why = QStringLiteral("cannot replace %1").arg(path);
            return {};
        }
    }
    if (why)
        *why = QStringLiteral("no free name for %1 in %2").arg(name, dir);
    return {};
}
