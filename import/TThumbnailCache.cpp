#include "import/TThumbnailCache.h"

#include "base/TLogger.h"
#include "camera/TCameraInfoAction.h"
#include "camera/TStringDictionary.h"
#include "import/TCameraImportItem.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

#include <algorithm>

namespace {

// An entry: magic, key length and key (UTF-8), thumbnail length and bytes, then a SHA-1 of all
// that comes before it.
const QByteArray kMagic = QByteArrayLiteral("LVTHUMB1");
constexpr int kHashSize = 20;
constexpr qint64 kMaxEntryBytes = 4 * 1024 * 1024;
const QString kSuffix = QStringLiteral(".thumb");

void appendLength(QByteArray& out, quint32 n)
{
    char bytes[4];
    qToBigEndian(n, bytes);
    out.append(bytes, 4);
}

bool readLength(const QByteArray& in, qsizetype at, quint32& n)
{
    if (at < 0 || in.size() - at < 4)
        return false;
    n = qFromBigEndian<quint32>(in.constData() + at);
    return true;
}

} // namespace

TThumbnailCache::TThumbnailCache(const QString& folder, qint64 maxBytes)
    : m_folder(folder.isEmpty() ? DefaultFolder() : folder)
    , m_maxBytes(maxBytes)
{ }

QString TThumbnailCache::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/thumbnails");
}

QString TThumbnailCache::AskCameraName(TCameraInfoAction& info)
{
    QString model;
    if (!info.Enabled || !info.Execute(model))
        return QStringLiteral("unknown");
    QString serial;
    if (const TXMLNode* root = info.Document.Root()) {
        for (const TXMLNode* child : root->Children())
            if (TStringDictionary::SameText(child->Name(), QStringLiteral("serialno")))
                serial = child->Value().Text.trimmed();
    }
    if (model.isEmpty())
        model = QStringLiteral("unknown");
    return serial.isEmpty() ? model : model + QLatin1Char('#') + serial;
}

QString TThumbnailCache::Key(const QString& cameraName, const TCameraImportItem& file)
{
    // The card's file system ignores case; the listing's own texts identify the file's version.
    return QStringList { cameraName, file.CameraPath().toUpper(), file.SizeText, file.DateText,
        file.TimeText }
        .join(QLatin1Char('|'));
}

QString TThumbnailCache::EntryPath(const QString& key) const
{
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex();
    return m_folder + QLatin1Char('/') + QString::fromLatin1(hash) + kSuffix;
}

qint64 TThumbnailCache::TotalBytes()
{
    scan();
    return m_total;
}

void TThumbnailCache::scan()
{
    if (m_total >= 0)
        return;
    m_total = 0;
    const QFileInfoList entries
        = QDir(m_folder).entryInfoList({ QStringLiteral("*") + kSuffix }, QDir::Files | QDir::Hidden);
    for (const QFileInfo& entry : entries)
        m_total += entry.size();
}

void TThumbnailCache::remove(const QString& path, qint64 size)
{
    if (QFile::remove(path) && m_total >= 0)
        m_total = std::max<qint64>(0, m_total - size);
}

QByteArray TThumbnailCache::Find(const QString& key)
{
    const QString path = EntryPath(key);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    const QByteArray bytes = size <= kMaxEntryBytes ? file.read(kMaxEntryBytes + 1) : QByteArray();
    const QByteArray keyBytes = key.toUtf8();
    quint32 keyLength = 0;
    quint32 dataLength = 0;
    const qsizetype keyAt = kMagic.size() + 4;
    bool sound = bytes.startsWith(kMagic) && readLength(bytes, kMagic.size(), keyLength)
        && keyLength == quint32(keyBytes.size()) && readLength(bytes, keyAt + keyLength, dataLength)
        && bytes.size() == keyAt + qsizetype(keyLength) + 4 + qsizetype(dataLength) + kHashSize;
    QByteArray jpeg;
    if (sound) {
        const qsizetype dataAt = keyAt + keyLength + 4;
        const qsizetype hashAt = dataAt + dataLength;
        sound = bytes.mid(keyAt, keyLength) == keyBytes
            && QCryptographicHash::hash(QByteArrayView(bytes.constData(), hashAt), QCryptographicHash::Sha1)
                == bytes.mid(hashAt, kHashSize);
        if (sound)
            jpeg = bytes.mid(dataAt, dataLength);
        sound = sound && jpeg.startsWith("\xFF\xD8");
    }
    if (!sound) {
        TLogger::LogAlways(QStringLiteral("TThumbnailCache.Find: damaged entry removed: ") + path);
        file.close();
        remove(path, size);
        return {};
    }
    // Used now: the last to go when the folder is shrunk.
    file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return jpeg;
}

bool TThumbnailCache::Store(const QString& key, const QByteArray& jpeg)
{
    if (jpeg.isEmpty() || jpeg.size() > kMaxEntryBytes || !QDir().mkpath(m_folder))
        return false;
    scan();
    const QByteArray keyBytes = key.toUtf8();
    QByteArray entry = kMagic;
    appendLength(entry, quint32(keyBytes.size()));
    entry += keyBytes;
    appendLength(entry, quint32(jpeg.size()));
    entry += jpeg;
    entry += QCryptographicHash::hash(entry, QCryptographicHash::Sha1);

    const QString path = EntryPath(key);
    const qint64 before = QFileInfo(path).size();
    // Written beside and renamed, without a flush to the disk: an entry a crash damaged reads back
    // wrong and is replaced, which costs less than a flush for each thumbnail.
    const QString partial = path + QStringLiteral(".part");
    QFile file(partial);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(entry) == entry.size() && file.flush();
    file.close();
    if (!written || !((QFile::remove(path) || !QFileInfo::exists(path)) && QFile::rename(partial, path))) {
        TLogger::LogAlways(
            QStringLiteral("TThumbnailCache.Store: cannot write %1: %2").arg(path, file.errorString()));
        QFile::remove(partial);
        return false;
    }
    m_total += entry.size() - before;
    if (m_total > m_maxBytes)
        shrink();
    return true;
}

void TThumbnailCache::shrink()
{
    // Down to nine tenths, so that not every new entry costs a walk through the folder.
    QFileInfoList entries = QDir(m_folder).entryInfoList(
        { QStringLiteral("*") + kSuffix }, QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    const qint64 goal = m_maxBytes / 10 * 9;
    for (const QFileInfo& entry : entries) {
        if (m_total <= goal)
            break;
        remove(entry.filePath(), entry.size());
    }
}
