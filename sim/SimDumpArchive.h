#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace camsim {

// Reads the stored (uncompressed) zip that lumivar-cli dump writes. The simulator keeps its own
// reader so that a fault in the client's writer cannot hide behind the same fault in a shared
// reader. Every offset and length is checked against the archive; names that leave the root are
// refused.
class SimDumpArchive
{
public:
    // False with one line in error() for anything that is not a complete stored zip.
    bool read(const QByteArray& archive);
    const QString& error() const { return m_error; }
    const QMap<QString, QByteArray>& entries() const { return m_entries; }
    bool contains(const QString& name) const { return m_entries.contains(name); }
    QByteArray entry(const QString& name) const { return m_entries.value(name); }

private:
    bool fail(const QString& why);

    QMap<QString, QByteArray> m_entries;
    QString m_error;
};

} // namespace camsim
