#include "import/TLiveImportTracker.h"

#include "import/TFileKind.h"
#include "import/TFileLoaderAction.h"

void TLiveImportTracker::SetFilter(const QStringList& extensions)
{
    m_extensions = TFileKind::NormalizeTypes(extensions);
}

bool TLiveImportTracker::Accepts(const TCameraImportItem& file) const
{
    return TFileKind::Accepts(m_extensions, file.FileName);
}

void TLiveImportTracker::SetBaseline(const std::vector<TCameraImportItem>& listing)
{
    m_known.clear();
    m_pending.clear();
    m_lastSize.clear();
    m_failures.clear();
    m_unconfirmed = false;
    for (const TCameraImportItem& file : listing)
        m_known.insert(key(file));
}

std::vector<TCameraImportItem> TLiveImportTracker::Poll(const std::vector<TCameraImportItem>& listing)
{
    std::vector<TCameraImportItem> ready;
    QHash<QString, qint64> sizes;
    m_unconfirmed = false;
    for (const TCameraImportItem& file : listing) {
        const QString name = nameKey(file);
        sizes.insert(name, file.Size());
        const QString id = key(file);
        if (file.Size() < 0 || m_known.contains(id) || m_pending.contains(id))
            continue;
        // Seen while the filter did not take it: old for good, as every file seen is.
        if (!Accepts(file)) {
            m_known.insert(id);
            continue;
        }
        // A name that could leave the target folder is never fetched.
        QString why;
        if (TFileLoaderAction::SafeFileName(file.FileName, &why).isEmpty()) {
            m_known.insert(id);
            m_refused << file.FileName + QStringLiteral(": ") + why;
            continue;
        }
        // Still growing, or seen for the first time: wait for a poll that lists the same size.
        if (m_lastSize.value(name, -1) != file.Size()) {
            m_unconfirmed = true;
            continue;
        }
        m_pending.insert(id);
        ready.push_back(file);
    }
    m_lastSize = sizes;
    return ready;
}

void TLiveImportTracker::MarkDone(const TCameraImportItem& file)
{
    const QString id = key(file);
    m_pending.remove(id);
    m_failures.remove(id);
    m_known.insert(id);
}

bool TLiveImportTracker::MarkFailed(const TCameraImportItem& file)
{
    const QString id = key(file);
    m_pending.remove(id);
    if (++m_failures[id] < MaxAttempts)
        return true;
    m_known.insert(id);
    return false;
}

bool TLiveImportTracker::IsFailed(const TCameraImportItem& file) const
{
    return m_failures.value(key(file)) >= MaxAttempts;
}

bool TLiveImportTracker::IsPending(const TCameraImportItem& file) const
{
    return m_pending.contains(key(file));
}

QString TLiveImportTracker::key(const TCameraImportItem& file)
{
    return nameKey(file) + QLatin1Char('|') + QString::number(file.Size());
}

QString TLiveImportTracker::nameKey(const TCameraImportItem& file)
{
    return file.Directory + QLatin1Char('/') + file.FileName.toUpper();
}
