#include "base/TSetup.h"

#include "base/TLogger.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

#include <limits>
#include <optional>

namespace {

const QString kOrganization = QStringLiteral("Kelmarin");
const QString kApplication = QStringLiteral("Lumivar");
const QString kFilterValue = QStringLiteral("Filter/LiveImport");

// Reading rule for stored values: a value whose type does not fit the field (text where a number
// belongs, a number outside the field's range, a negative number for an unsigned field, a number
// where text belongs) counts as absent, so the field takes what it takes for a missing value.
// Nothing wraps. Booleans accept the numbers of the registry layout (non-zero is true) and the
// words true/false that other stores write.

std::optional<qint64> toInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong n = value.toULongLong();
        if (n > qulonglong(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(n);
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 n = value.toString().trimmed().toLongLong(&ok, 10);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<qint64> readInteger(const QSettings& store, const QString& name, qint64 min, qint64 max)
{
    const std::optional<qint64> n = toInteger(store.value(name));
    if (!n || *n < min || *n > max)
        return std::nullopt;
    return n;
}

std::optional<bool> readBool(const QSettings& store, const QString& name)
{
    const QVariant value = store.value(name);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString word = value.toString().trimmed();
        if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    if (const std::optional<qint64> n = toInteger(value))
        return *n != 0;
    return std::nullopt;
}

// QSettings turns "@Variant(...)" and "@DateTime(...)" values into objects through a data stream
// whose length fields a damaged file sets at will (gigabytes of allocation); the store never
// holds such values, so a file with one is read as no store at all. Continued lines are joined
// first, as QSettings joins them.
bool isUnsafeStoreFile(const QString& path)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 maxStoreSize = 1024 * 1024;
    if (file.size() > maxStoreSize)
        return true;
    static const QRegularExpression continuation(QStringLiteral("\\\\\r?\n[ \t]*"));
    const QString text = QString::fromLatin1(file.readAll()).remove(continuation);
    return text.contains(QLatin1String("@Variant("), Qt::CaseInsensitive)
        || text.contains(QLatin1String("@DateTime("), Qt::CaseInsensitive);
}

std::optional<QString> readString(const QSettings& store, const QString& name)
{
    const QVariant value = store.value(name);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    // An INI file splits unquoted text at commas; such a value is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return std::nullopt;
}

// The URL parser reads "010" as octal and "1.2.3" as 1.2.0.3; the camera's address is meant in
// decimal, so a dotted quad is rewritten without leading zeros before it becomes a host.
QString canonicalDottedQuad(const QString& host)
{
    const QStringList parts = host.split(QLatin1Char('.'));
    QStringList numbers;
    for (const QString& part : parts) {
        bool ok = false;
        const uint n = part.toUInt(&ok, 10);
        if (!ok)
            return host;
        numbers << QString::number(n);
    }
    return parts.size() == 4 ? numbers.join(QLatin1Char('.')) : host;
}

QString canonicalHostAndPort(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return canonicalDottedQuad(text);
    return canonicalDottedQuad(text.left(colon)) + text.mid(colon);
}

} // namespace

TSetup::TSetup(const QStringList& arguments)
{
    parseArguments(arguments);
}

TSetup::~TSetup() = default;

QString TSetup::DefaultCameraHost()
{
    return QStringLiteral("oishare");
}

void TSetup::parseArguments(const QStringList& arguments)
{
    // The value arguments of /tempDir and /cameraHost are not skipped: they match no switch.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        const bool hasNext = i + 1 < arguments.size();
        if (arg == QLatin1String("/debugMode")) {
            DebugMode = true;
        } else if (arg == QLatin1String("/tempDir")) {
            if (hasNext && !arguments.at(i + 1).isEmpty() && QFileInfo(arguments.at(i + 1)).isDir())
                TempDir = IncludeTrailingPathDelimiter(arguments.at(i + 1));
        } else if (arg == QLatin1String("/lvAsTake")) {
            LvAsTake = true;
        } else if (arg == QLatin1String("/noJpegDec")) {
            UseJpegDec = false;
        } else if (arg == QLatin1String("/detailedLog")) {
            DetailedLog = true;
        } else if (arg == QLatin1String("/cameraHost")) {
            if (hasNext && IsValidHostAndPort(arguments.at(i + 1)))
                CameraHostOverride = canonicalHostAndPort(arguments.at(i + 1));
        }
    }
}

void TSetup::SetStoreFile(const QString& iniPath)
{
    m_storeFile = iniPath;
}

std::unique_ptr<QSettings> TSetup::openStore() const
{
    if (!m_storeFile.isEmpty())
        return std::make_unique<QSettings>(m_storeFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(kOrganization, kApplication);
}

void TSetup::Load()
{
    // A missing store reads like a store whose every value is missing.
    std::unique_ptr<QSettings> store = openStore();
    const bool unsafe = isUnsafeStoreFile(store->fileName());
    if (unsafe) {
        TLogger::LogAlways(
            QStringLiteral("Settings: %1 holds values that cannot be read safely; defaults used")
                .arg(store->fileName()));
        store = std::make_unique<QSettings>(QString(), QSettings::IniFormat);
    }
    const QSettings& s = *store;
    // Values present but unusable fall back like missing ones; the user learns of them in one line.
    QStringList rejected;
    const auto noted = [&rejected](auto read, const QSettings& st, const QString& name, auto... limits) {
        auto value = read(st, name, limits...);
        if (!value && st.contains(name))
            rejected << name;
        return value;
    };

    DownloadDirectory = noted(readString, s, QStringLiteral("DownloadDirectory")).value_or(DownloadDirectory);
    AutoDownload = noted(readBool, s, QStringLiteral("AutoDownload")).value_or(AutoDownload);
    AutoPreview = noted(readBool, s, QStringLiteral("AutoPreview")).value_or(AutoPreview);
    TimeLapseDownload = noted(readBool, s, QStringLiteral("TimeLapseDownload")).value_or(TimeLapseDownload);
    CameraWLanName = noted(readString, s, QStringLiteral("CameraWLanName")).value_or(CameraWLanName);
    CameraWLanSSID = noted(readString, s, QStringLiteral("CameraWLanSSID")).value_or(CameraWLanSSID);
    HomeWLanName = noted(readString, s, QStringLiteral("HomeWLanName")).value_or(HomeWLanName);
    HomeWLanSSID = noted(readString, s, QStringLiteral("HomeWLanSSID")).value_or(HomeWLanSSID);
    WLanAutoConnect = noted(readBool, s, QStringLiteral("WLanAutoConnect")).value_or(false);
    SyncDataTime = noted(readBool, s, QStringLiteral("SyncDataTime")).value_or(false);
    SaveFilter = noted(readBool, s, QStringLiteral("SaveFilter")).value_or(false);
    UseCameraIP = noted(readBool, s, QStringLiteral("UseCameraIP")).value_or(false);
    if (const std::optional<QString> ip = noted(readString, s, QStringLiteral("CameraIP")))
        SetCameraIP(*ip);
    LanguageId = quint32(noted(readInteger, s, QStringLiteral("LanguageId"), 0, 0xFFFFFFFF).value_or(1031));
    UseInternalViewer = noted(readBool, s, QStringLiteral("UseInternalViewer")).value_or(true);
    LiveStreamHistogramOn = noted(readBool, s, QStringLiteral("LiveStreamHistogramOn")).value_or(false);
    AutoView = noted(readBool, s, QStringLiteral("AutoView")).value_or(false);
    GridLines = quint8(noted(readInteger, s, QStringLiteral("GridLines"), 0, 255).value_or(0));
    GridLinesColor
        = quint32(noted(readInteger, s, QStringLiteral("GridLinesColor"), 0, 0xFFFFFFFF).value_or(0xC0C0C0));
    LiveViewSize = noted(readString, s, QStringLiteral("LiveViewSize")).value_or(QStringLiteral("0640x0480"));
    // Port 0 cannot be announced to the camera, so it counts as garbage as well.
    LiveViewPort = quint16(noted(readInteger, s, QStringLiteral("LiveViewPort"), 1, 65535).value_or(28488));
    LiveViewThreaded = noted(readBool, s, QStringLiteral("LiveViewThreaded")).value_or(true);
    if (const std::optional<QString> stamp = noted(readString, s, QStringLiteral("ClockSetAt")))
        ClockSetAt = QDateTime::fromString(*stamp, Qt::ISODate);
    LiveViewServe = noted(readBool, s, QStringLiteral("LiveViewServe")).value_or(false);
    LiveViewServePort
        = quint16(noted(readInteger, s, QStringLiteral("LiveViewServePort"), 1, 65535).value_or(8488));

    LiveImportFilter = noted(readString, s, kFilterValue).value_or(LiveImportFilter);

    const QString where = m_storeFile.isEmpty() ? QStringLiteral("the settings store") : m_storeFile;
    if (unsafe)
        return;
    if (s.status() != QSettings::NoError)
        TLogger::LogAlways(
            QStringLiteral("Settings: %1 cannot be read as a whole; defaults used where values are missing")
                .arg(where));
    else if (!rejected.isEmpty())
        TLogger::LogAlways(QStringLiteral("Settings: unusable values in %1 replaced by defaults: %2")
                               .arg(where, rejected.join(QStringLiteral(", "))));
}

void TSetup::NoteClockSet() const
{
    const std::unique_ptr<QSettings> store = openStore();
    if (store->isWritable())
        store->setValue(QStringLiteral("ClockSetAt"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
}

void TSetup::Save()
{
    const std::unique_ptr<QSettings> store = openStore();
    if (!store->isWritable())
        return;
    QSettings& s = *store;
    // Booleans as 0/1 and numbers as integers, the value types of the registry layout.
    const auto flag = [](bool b) { return QVariant(int(b ? 1 : 0)); };

    s.setValue(QStringLiteral("DownloadDirectory"), DownloadDirectory);
    s.setValue(QStringLiteral("AutoDownload"), flag(AutoDownload));
    s.setValue(QStringLiteral("AutoPreview"), flag(AutoPreview));
    s.setValue(QStringLiteral("TimeLapseDownload"), flag(TimeLapseDownload));
    s.setValue(QStringLiteral("CameraWLanName"), CameraWLanName);
    s.setValue(QStringLiteral("CameraWLanSSID"), CameraWLanSSID);
    s.setValue(QStringLiteral("HomeWLanName"), HomeWLanName);
    s.setValue(QStringLiteral("HomeWLanSSID"), HomeWLanSSID);
    s.setValue(QStringLiteral("WLanAutoConnect"), flag(WLanAutoConnect));
    s.setValue(QStringLiteral("SyncDataTime"), flag(SyncDataTime));
    s.setValue(QStringLiteral("SaveFilter"), flag(SaveFilter));
    s.setValue(QStringLiteral("UseCameraIP"), flag(UseCameraIP));
    s.setValue(QStringLiteral("UseInternalViewer"), flag(UseInternalViewer));
    s.setValue(QStringLiteral("LiveStreamHistogramOn"), flag(LiveStreamHistogramOn));
    s.setValue(QStringLiteral("AutoView"), flag(AutoView));
    s.setValue(QStringLiteral("CameraIP"), CameraIP);
    s.setValue(QStringLiteral("LanguageId"), uint(LanguageId));
    s.setValue(QStringLiteral("GridLines"), int(GridLines));
    s.setValue(QStringLiteral("GridLinesColor"), uint(GridLinesColor));
    s.setValue(QStringLiteral("LiveViewSize"), LiveViewSize);
    s.setValue(QStringLiteral("LiveViewPort"), int(LiveViewPort));
    s.setValue(QStringLiteral("LiveViewThreaded"), flag(LiveViewThreaded));
    s.setValue(QStringLiteral("LiveViewServe"), flag(LiveViewServe));
    s.setValue(QStringLiteral("LiveViewServePort"), int(LiveViewServePort));
    s.setValue(kFilterValue, LiveImportFilter);
    s.sync();
}

QString TSetup::GetDownloadDirectory() const
{
    if (DownloadDirectory.trimmed().isEmpty())
        return {};
    return IncludeTrailingPathDelimiter(DownloadDirectory);
}

void TSetup::SetDownloadDirectory(const QString& text)
{
    DownloadDirectory = text.trimmed().isEmpty() ? QString() : IncludeTrailingPathDelimiter(text);
}

void TSetup::SetCameraIP(const QString& text)
{
    const QString trimmed = text.trimmed();
    CameraIP = IsValidCameraIP(trimmed) ? trimmed : QString();
}

QString TSetup::GetCameraHost() const
{
    if (!CameraHostOverride.isEmpty())
        return CameraHostOverride;
    if (UseCameraIP && !CameraIP.isEmpty())
        return canonicalDottedQuad(CameraIP);
    return DefaultCameraHost();
}

bool TSetup::IsValidCameraIP(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^192\\.168\\.([0-9]{1,3})\\.([0-9]{1,3})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() && match.captured(1).toUInt() <= 255 && match.captured(2).toUInt() <= 255;
}

bool TSetup::IsValidHostAndPort(const QString& text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString host = colon < 0 ? text : text.left(colon);
    if (colon >= 0) {
        static const QRegularExpression portPattern(QStringLiteral("^[0-9]{1,5}$"));
        const QString port = text.mid(colon + 1);
        if (!portPattern.match(port).hasMatch() || port.toUInt() < 1 || port.toUInt() > 65535)
            return false;
    }
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,3}$"));
    if (host.isEmpty() || host.size() > 253)
        return false;
    const QStringList labels = host.split(QLatin1Char('.'));
    bool allNumeric = true;
    for (const QString& part : labels) {
        if (!label.match(part).hasMatch())
            return false;
        allNumeric = allNumeric && number.match(part).hasMatch();
    }
    if (allNumeric) {
        if (labels.size() != 4)
            return false;
        for (const QString& part : labels) {
            if (part.toUInt() > 255)
                return false;
        }
        return true;
    }
    // Forms such as "0x7f.1" pass the label rule but the URL parser reads them as an address.
    const QUrl url(QStringLiteral("http://") + host + QLatin1Char('/'));
    return url.isValid() && url.host().compare(host, Qt::CaseInsensitive) == 0;
}

QString TSetup::IncludeTrailingPathDelimiter(const QString& path)
{
    if (path.endsWith(QLatin1Char('/')))
        return path;
#ifdef Q_OS_WIN
    if (path.endsWith(QLatin1Char('\\')))
        return path;
#endif
    return path + QLatin1Char('/');
}
