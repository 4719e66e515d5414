#pragma once

#include <QSaveFile>

#include <functional>

// The file a download streams into: written under a temporary name in the target folder and put
// under its final name only by commit, so an interrupted transfer never leaves a partial file there.
// Counts what was written and reports it as it goes.
class TDownloadFile : public QSaveFile
{
public:
    explicit TDownloadFile(const QString& fileName);

    qint64 Written() const { return m_written; }
    // A write was refused (full disk, file gone); the transfer cannot complete.
    bool IsWriteFailed() const { return m_writeFailed; }
    std::function<void(qint64 written)> OnWritten;

protected:
    qint64 writeData(const char* data, qint64 length) override;

private:
    qint64 m_written = 0;
    bool m_writeFailed = false;
};
