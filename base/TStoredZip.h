#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A small zip archive without compression (method 0, "stored"): enough for the camera-answer
// dump, which holds JPEG and XML that would not shrink much anyway. Qt has no public zip writer.
// Entry names are relative paths with "/" separators; absolute paths and ".." are refused on
// writing and on reading, so an archive can never name a place outside its root.
namespace zip {
struct TZipEntry
{
    QString name;
    QByteArray data;
};

quint32 crc32(const QByteArray& data);

// True if the name may be stored: not empty, relative, no "..", no backslash or drive letter.
bool IsSafeEntryName(const QString& name);

class TZipWriter
{
public:
    // False (and nothing added) for an unsafe or duplicate name.
    bool add(const QString& name, const QByteArray& data);
    QByteArray archive() const;
    const QList<TZipEntry>& entries() const { return m_entries; }

private:
    QList<TZipEntry> m_entries;
};

// Reads a whole archive; on failure the entries stay empty and error() says why in one line.
class TZipReader
{
public:
    bool read(const QByteArray& archive);
    const QList<TZipEntry>& entries() const { return m_entries; }
    const QString& error() const { return m_error; }
    // Null QByteArray when the entry is missing.
    QByteArray entry(const QString& name) const;
    bool IsPresent(const QString& name) const;

private:
    bool fail(const QString& why);

    QList<TZipEntry> m_entries;
    QString m_error;
};
} // namespace zip
