#include "sim/SimDumpArchive.h"

#include <QRegularExpression>

namespace camsim {

namespace {
constexpr quint32 kLocalSignature = 0x04034b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr qsizetype kEndSize = 22;
constexpr qsizetype kCentralSize = 46;
constexpr qsizetype kLocalSize = 30;

quint32 u16(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | (quint32(quint8(b[at + 1])) << 8);
}

quint32 u32(const QByteArray& b, qsizetype at)
{
    return u16(b, at) | (u16(b, at + 2) << 16);
}

bool fits(const QByteArray& b, qsizetype at, qsizetype length)
{
    return at >= 0 && length >= 0 && at <= b.size() && length <= b.size() - at;
}

bool isSafeName(const QString& name)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(QChar(0))
        || drive.match(name).hasMatch())
        return false;
    for (const QString& part : name.split(u'/'))
        if (part == QLatin1String(".."))
            return false;
    return true;
}
} // namespace

bool SimDumpArchive::fail(const QString& why)
{
    m_entries.clear();
    m_error = why;
    return false;
}

bool SimDumpArchive::read(const QByteArray& archive)
{
    m_entries.clear();
    m_error.clear();
    // The end record sits in the last 22 bytes plus a comment of at most 64 KiB.
    qsizetype end = -1;
    for (qsizetype at = archive.size() - kEndSize; at >= 0 && at >= archive.size() - kEndSize - 0xFFFF; --at)
        if (u32(archive, at) == kEndSignature) {
            end = at;
            break;
        }
    if (end < 0)
        return fail(archive.startsWith("PK\x03\x04") ? QStringLiteral("the zip is cut short")
                                                     : QStringLiteral("not a zip archive"));
    const quint32 count = u16(archive, end + 10);
    const qsizetype directorySize = u32(archive, end + 12);
    qsizetype at = u32(archive, end + 16);
    if (!fits(archive, at, directorySize) || at + directorySize > end)
        return fail(QStringLiteral("the zip is cut short"));
    for (quint32 i = 0; i < count; ++i) {
        if (!fits(archive, at, kCentralSize) || u32(archive, at) != kCentralSignature)
            return fail(QStringLiteral("the zip's directory is damaged"));
        const quint32 method = u16(archive, at + 10);
        const qsizetype stored = u32(archive, at + 20);
        const qsizetype size = u32(archive, at + 24);
        const qsizetype nameLength = u16(archive, at + 28);
        const qsizetype extra = u16(archive, at + 30) + u16(archive, at + 32);
        const qsizetype local = u32(archive, at + 42);
        if (!fits(archive, at + kCentralSize, nameLength + extra))
            return fail(QStringLiteral("the zip's directory is damaged"));
        const QString name = QString::fromUtf8(archive.mid(at + kCentralSize, nameLength));
        at += kCentralSize + nameLength + extra;
        if (!isSafeName(name))
            return fail(QStringLiteral("the zip holds a path outside its root: %1").arg(name.left(80)));
        if (method != 0 || stored != size)
            return fail(
                QStringLiteral("the zip entry %1 is compressed; a dump stores its entries").arg(name));
        if (!fits(archive, local, kLocalSize) || u32(archive, local) != kLocalSignature)
            return fail(QStringLiteral("the zip is cut short"));
        const qsizetype data = local + kLocalSize + u16(archive, local + 26) + u16(archive, local + 28);
        if (!fits(archive, data, size))
            return fail(QStringLiteral("the zip is cut short"));
        if (m_entries.contains(name))
            return fail(QStringLiteral("the zip names %1 twice").arg(name));
        m_entries.insert(name, archive.mid(data, size));
    }
    return true;
}

} // namespace camsim
