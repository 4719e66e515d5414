#pragma once

#include <QDateTime>
#include <QTemporaryFile>

#include <functional>

// The file a download streams into: written under a temporary name in the target folder and placed
// under its final name only by Place, which never replaces another file (TLocalCopies), so an
// interrupted transfer never leaves a partial file there and a name taken by a different file keeps
// it. Counts what was written and reports it as it goes.
class TDownloadFile : public QTemporaryFile
{
public:
    explicit TDownloadFile(const QString& fileName);

    bool Open();
    qint64 Written() const { return m_written; }
    // A write was refused (full disk, file gone); the transfer cannot complete.
    bool IsWriteFailed() const { return m_writeFailed; }
    // Flushes to the disk, stamps the camera's time (when valid) and moves the file to its name or
    // the first free variant of it. The final path; empty with the reason in why when it failed (the
    // temporary file is then removed with this object).
    QString Place(const QDateTime& modified, QString* why, QString* timeWhy);
    std::function<void(qint64 written)> OnWritten;

protected:
    qint64 writeData(const char* data, qint64 length) override;

private:
    QString m_wanted;
    qint64 m_written = 0;
    bool m_writeFailed = false;
};
