#include "import/TDownloadFile.h"

TDownloadFile::TDownloadFile(const QString& fileName)
    : QSaveFile(fileName)
{
    // No silent fallback to writing the final file directly where no temporary file can be made.
    setDirectWriteFallback(false);
}

qint64 TDownloadFile::writeData(const char* data, qint64 length)
{
    const qint64 n = QSaveFile::writeData(data, length);
    if (n < length)
        m_writeFailed = true;
    if (n > 0) {
        m_written += n;
        if (OnWritten)
            OnWritten(m_written);
    }
    return n;
}
