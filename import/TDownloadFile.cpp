#include "import/TDownloadFile.h"

TDownloadFile::TDownloadFile(const QString& fileName)
    : QSaveFile(fileName)
{
    // No silent fallback to writing the final file directly where no temporary file can be made.
    setDirectWriteFallback(false);
}

qint64 TDownloadFile::writeData(const char* data, qint64 length)
{
    // A short write (the disk filled up within this chunk) is followed by one for the rest, so the
    // system's refusal becomes the file's error instead of passing for a broken transfer.
    qint64 total = 0;
    while (total < length) {
        const qint64 n = QSaveFile::writeData(data + total, length - total);
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
