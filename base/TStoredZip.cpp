#include "base/TStoredZip.h"

#include <QSet>

#include <array>

namespace zip {
namespace {
constexpr quint32 LocalSignature = 0x04034b50;
constexpr quint32 CentralSignature = 0x02014b50;
constexpr quint32 EndSignature = 0x06054b50;
constexpr int LocalHeaderSize = 30;
constexpr int CentralHeaderSize = 46;
constexpr int EndRecordSize = 22;
constexpr quint16 Utf8NamesFlag = 0x0800;

std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table {};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void put16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void put32(QByteArray& out, quint32 v)
{
    put16(out, quint16(v & 0xffff));
    put16(out, quint16(v >> 16));
}

quint16 get16(const QByteArray& in, qsizetype at)
{
    return quint16(quint8(in[at]) | (quint8(in[at + 1]) << 8));
}

quint32 get32(const QByteArray& in, qsizetype at)
{
    return quint32(get16(in, at)) | (quint32(get16(in, at + 2)) << 16);
}
} // namespace

quint32 crc32(const QByteArray& data)
{
    static const auto table = makeCrcTable();
    quint32 c = 0xffffffffu;
    for (char ch : data)
        c = table[(c ^ quint8(ch)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

bool IsSafeEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(u':'))
        return false;
    const QStringList parts = name.split(u'/');
    for (const QString& part : parts) {
        if (part.isEmpty() || part == QLatin1String("..") || part == QLatin1String("."))
            return false;
    }
    return true;
}

bool TZipWriter::add(const QString& name, const QByteArray& data)
{
    if (!IsSafeEntryName(name))
        return false;
    for (const TZipEntry& e : m_entries) {
        if (e.name == name)
            return false;
    }
    m_entries.append({ name, data });
    return true;
}

QByteArray TZipWriter::archive() const
{
    QByteArray out;
    QByteArray central;
    for (const TZipEntry& e : m_entries) {
        const QByteArray name = e.name.toUtf8();
        const quint32 crc = crc32(e.data);
        const auto offset = quint32(out.size());
        put32(out, LocalSignature);
        put16(out, 10); // version needed
        put16(out, Utf8NamesFlag);
        put16(out, 0); // stored
        put16(out, 0); // time
        put16(out, 0x21); // date 1980-01-01
        put32(out, crc);
        put32(out, quint32(e.data.size()));
        put32(out, quint32(e.data.size()));
        put16(out, quint16(name.size()));
        put16(out, 0);
        out.append(name);
        out.append(e.data);

        put32(central, CentralSignature);
        put16(central, 20); // made by
        put16(central, 10);
        put16(central, Utf8NamesFlag);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0x21);
        put32(central, crc);
        put32(central, quint32(e.data.size()));
        put32(central, quint32(e.data.size()));
        put16(central, quint16(name.size()));
        put16(central, 0); // extra
        put16(central, 0); // comment
        put16(central, 0); // disk
        put16(central, 0); // internal attributes
        put32(central, 0); // external attributes
        put32(central, offset);
        central.append(name);
    }
    const auto centralOffset = quint32(out.size());
    out.append(central);
    put32(out, EndSignature);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint16(m_entries.size()));
    put16(out, quint16(m_entries.size()));
    put32(out, quint32(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

bool TZipReader::fail(const QString& why)
{
    m_entries.clear();
    m_error = why;
    return false;
}

bool TZipReader::read(const QByteArray& archive)
{
    m_entries.clear();
    m_error.clear();
    if (archive.size() < EndRecordSize)
        return fail(QStringLiteral("not a zip archive (too short)"));
    // The end record sits at the end, possibly followed by a comment of up to 64 KiB.
    qsizetype end = -1;
    for (qsizetype at = archive.size() - EndRecordSize;
         at >= 0 && at >= archive.size() - EndRecordSize - 0xffff; --at) {
        if (get32(archive, at) == EndSignature) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return fail(QStringLiteral("not a zip archive or cut short (no end record)"));
    const quint16 count = get16(archive, end + 10);
    const quint32 centralSize = get32(archive, end + 12);
    const quint32 centralOffset = get32(archive, end + 16);
    if (qsizetype(centralOffset) + qsizetype(centralSize) > end)
        return fail(QStringLiteral("zip archive cut short (central directory outside the file)"));

    QSet<QString> seen;
    qsizetype at = centralOffset;
    for (int i = 0; i < count; ++i) {
        if (at + CentralHeaderSize > end || get32(archive, at) != CentralSignature)
            return fail(QStringLiteral("zip archive damaged (central directory entry %1)").arg(i + 1));
        const quint16 method = get16(archive, at + 10);
        const quint32 crc = get32(archive, at + 16);
        const quint32 packed = get32(archive, at + 20);
        const quint32 size = get32(archive, at + 24);
        const quint16 nameLen = get16(archive, at + 28);
        const quint16 extraLen = get16(archive, at + 30);
        const quint16 commentLen = get16(archive, at + 32);
        const quint32 local = get32(archive, at + 42);
        if (at + CentralHeaderSize + nameLen > end)
            return fail(QStringLiteral("zip archive damaged (central directory entry %1)").arg(i + 1));
        const QString name = QString::fromUtf8(archive.mid(at + CentralHeaderSize, nameLen));
        if (!IsSafeEntryName(name))
            return fail(QStringLiteral("zip entry \"%1\" points outside the archive's root").arg(name));
        if (seen.contains(name))
            return fail(QStringLiteral("zip entry \"%1\" appears twice").arg(name));
        seen.insert(name);
        if (method != 0 || packed != size)
            return fail(
                QStringLiteral("zip entry \"%1\" is compressed; only stored entries are read").arg(name));
        if (qsizetype(local) + LocalHeaderSize > centralOffset || get32(archive, local) != LocalSignature)
            return fail(QStringLiteral("zip entry \"%1\" damaged (no local header)").arg(name));
        const qsizetype dataAt
            = qsizetype(local) + LocalHeaderSize + get16(archive, local + 26) + get16(archive, local + 28);
        if (dataAt + qsizetype(size) > centralOffset)
            return fail(QStringLiteral("zip entry \"%1\" cut short").arg(name));
        const QByteArray data = archive.mid(dataAt, size);
        if (crc32(data) != crc)
            return fail(QStringLiteral("zip entry \"%1\" damaged (checksum differs)").arg(name));
        m_entries.append({ name, data });
        at += CentralHeaderSize + nameLen + extraLen + commentLen;
    }
    return true;
}

QByteArray TZipReader::entry(const QString& name) const
{
    for (const TZipEntry& e : m_entries) {
        if (e.name == name)
            return e.data;
    }
    return {};
}

bool TZipReader::IsPresent(const QString& name) const
{
    for (const TZipEntry& e : m_entries) {
        if (e.name == name)
            return true;
    }
    return false;
}
} // namespace zip
