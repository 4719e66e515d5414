#pragma once

#include <QByteArray>
#include <QString>

class TCameraImportItem;
class TCameraInfoAction;

// Thumbnails kept on disk between runs, one file each, so a folder seen before shows its pictures
// without asking the camera. An entry is known by the camera (model and serial number where the
// camera tells them), the file's path, size, date and time; a file replaced on the card under the
// same name therefore gets a new entry. The folder is bounded in size: the entries used least
// recently go first. An entry that does not read back exactly as written is removed and counts as
// missing.
class TThumbnailCache
{
public:
    static constexpr qint64 DefaultMaxBytes = 64 * 1024 * 1024;

    // folder empty: DefaultFolder().
    explicit TThumbnailCache(const QString& folder = QString(), qint64 maxBytes = DefaultMaxBytes);

    // "thumbnails" in the user's cache folder (XDG_CACHE_HOME on Linux).
    static QString DefaultFolder();
    // What the camera says about itself, for Key: its model and, where it tells it, its serial
    // number. Asks the camera; "unknown" when it does not answer.
    static QString AskCameraName(TCameraInfoAction& info);
    static QString Key(const QString& cameraName, const TCameraImportItem& file);

    // The thumbnail stored under key; empty when there is none or it was damaged (then removed).
    // A hit counts as a use.
    QByteArray Find(const QString& key);
    // Stores (or replaces) the entry and drops the oldest ones while the folder is over its bound.
    bool Store(const QString& key, const QByteArray& jpeg);

    QString Folder() const { return m_folder; }
    // The file an entry lives in, whether it exists or not.
    QString EntryPath(const QString& key) const;
    // The bytes of all entries (read from the folder the first time).
    qint64 TotalBytes();

private:
    void scan();
    void shrink();
    void remove(const QString& path, qint64 size);

    QString m_folder;
    qint64 m_maxBytes;
    qint64 m_total = -1; // -1: not scanned yet
};
