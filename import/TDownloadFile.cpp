#include "import/TDownloadFile.h"

#include "import/TLocalCopies.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

TDownloadFile::TDownloadFile(const QString& fileName)
    : QTemporaryFile(fileName + QStringLiteral(".XXXXXX.part"))
    , m_wanted(fileName)
{ }

bool TDownloadFile::Open()
{
    return QTemporaryFile::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TDownloadFile::writeData(const char* data, qint64 length)
{
    // A short write (the disk filled up within this chunk) is followed by one for the rest, so the
    // system's refusal becomes the file's error instead of passing for a broken transfer.
    qint64 total = 0;
    while (total < length) {
        const qint64 n = QTemporaryFile::writeData(data + total, length - total);
        if (n <= 0)
            break;
        total += n;
    }
    if (total < length)
        m_writeFailed = true;
    if (total > 0) {
        m_written += total;
        if (OnWritten)
            OnWritten(m_written);
    }
    return total > 0 || length == 0 ? total : -1;
}

QString TDownloadFile::Place(const QDateTime& modified, QString* why, QString* timeWhy)
{
    if (!flush()) {
        if (why)
            *why = QStringLiteral("cannot write %1: %2").arg(m_wanted, errorString());
        return {};
    }
#ifdef Q_OS_UNIX
    // Complete on the disk before it takes its name, as a saved file is.
    ::fsync(handle());
#endif
    if (modified.isValid() && !setFileTime(modified, QFileDevice::FileModificationTime) && timeWhy)
        *timeWhy = QStringLiteral("cannot set the time of %1: %2").arg(m_wanted, errorString());
    // A temporary file is made for its owner alone; a copy is as readable as a saved file.
    setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
        | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const QString temporary = fileName();
    close();
    const QString placed = TLocalCopies::Place(temporary, m_wanted, m_written, modified, why);
    if (!placed.isEmpty())
        setAutoRemove(false);
    return placed;
}
