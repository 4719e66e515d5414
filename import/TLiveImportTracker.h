#pragma once

#include "import/TCameraImportItem.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// Decides, poll by poll, which files of the newest folder a live import fetches. A file is new by
// name and size against the baseline, so a shot that reuses a deleted shot's number is still
// fetched; it is handed out only when two polls agree on its size, because the camera may still be
// writing it. A file that fails comes back at the next poll, at most three times, then counts as
// failed for good.
class TLiveImportTracker
{
public:
    static constexpr int MaxAttempts = 3;

    // Extensions to fetch, upper case without dot ("JPG", "ORF", "MOV"); empty: every file.
    void SetFilter(const QStringList& extensions);
    bool Accepts(const TCameraImportItem& file) const;
    // Everything listed now is old.
    void SetBaseline(const std::vector<TCameraImportItem>& listing);
    // The files of this poll's listing to queue now, in listing order.
    std::vector<TCameraImportItem> Poll(const std::vector<TCameraImportItem>& listing);
    void MarkDone(const TCameraImportItem& file);
    // True when the file comes back at a later poll, false when it has failed for good.
    bool MarkFailed(const TCameraImportItem& file);
    bool IsFailed(const TCameraImportItem& file) const;
    // Handed out and neither done nor failed yet.
    bool IsPending(const TCameraImportItem& file) const;
    // The last poll listed new files that wait for a second poll with the same size.
    bool HasUnconfirmed() const { return m_unconfirmed; }
    // Why names of the listings were never handed out ("P../x.JPG: ..."), once per name.
    const QStringList& Refused() const { return m_refused; }

private:
    static QString key(const TCameraImportItem& file);
    static QString nameKey(const TCameraImportItem& file);

    QStringList m_extensions;
    QSet<QString> m_known; // baseline, done and failed for good: never handed out again
    QSet<QString> m_pending;
    QHash<QString, qint64> m_lastSize; // by name: the size the previous poll listed
    QHash<QString, int> m_failures;
    QStringList m_refused;
    bool m_unconfirmed = false;
};
