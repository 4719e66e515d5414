#include "base/TLanguageFile.h"

#include "base/TLogger.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// Bytes 0x80 to 0x9F of Windows-1252; the five unassigned ones map to the same C1 code, as Windows
// itself does. Every other byte is the Latin-1 character of the same value. A table rather than the
// converter of the platform, which exists only where Qt was built with ICU.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

// Broken lines are listed one by one up to this count, then only counted.
constexpr int kReportedBrokenLines = 10;

void logError(const QString& message)
{
    TLogger::LogAlways(message);
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool* valid)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    *valid = !decoder.hasError();
    return text;
}

bool hasMultiByteUtf8(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

QString TLanguageFile::DecodeWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const uchar b = uchar(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kWindows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString TLanguageFile::Decode(const QByteArray& bytes, Encoding* encoding, bool* valid)
{
    Encoding found = Encoding::Ansi;
    bool ok = true;
    QString text;
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) {
        found = Encoding::Utf8;
        text = decodeWith(QStringConverter::Utf8, view.sliced(3), &ok);
    } else if (view.startsWith("\xFF\xFE")) {
        found = Encoding::Utf16LE;
        QByteArrayView body = view.sliced(2);
        if (body.size() % 2) {
            body.chop(1);
            ok = false;
        }
        bool decoded = true;
        text = decodeWith(QStringConverter::Utf16LE, body, &decoded);
        ok = ok && decoded;
    } else if (view.startsWith("\xFE\xFF")) {
        found = Encoding::Utf16BE;
        QByteArrayView body = view.sliced(2);
        if (body.size() % 2) {
            body.chop(1);
            ok = false;
        }
        bool decoded = true;
        text = decodeWith(QStringConverter::Utf16BE, body, &decoded);
        ok = ok && decoded;
    } else {
        bool utf8 = false;
        QString asUtf8 = hasMultiByteUtf8(view) ? decodeWith(QStringConverter::Utf8, view, &utf8) : QString();
        if (utf8) {
            found = Encoding::Utf8;
            text = std::move(asUtf8);
        } else {
            text = DecodeWindows1252(bytes);
        }
    }
    if (encoding)
        *encoding = found;
    if (valid)
        *valid = ok;
    return text;
}

void TLanguageFile::clear()
{
    *this = TLanguageFile();
}

bool TLanguageFile::Load(const QString& path)
{
    clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        logError(QStringLiteral("TLanguageFile.Load: %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (file.size() > MaxFileSize) {
        logError(
            QStringLiteral("TLanguageFile.Load: %1: %2 bytes, no language file").arg(path).arg(file.size()));
        return false;
    }
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        logError(QStringLiteral("TLanguageFile.Load: %1: too large, no language file").arg(path));
        return false;
    }
    return Parse(bytes, QFileInfo(path).fileName());
}

bool TLanguageFile::Parse(const QByteArray& bytes, const QString& sourceName)
{
    clear();
    const QString source = sourceName.isEmpty() ? QStringLiteral("language file") : sourceName;
    bool valid = true;
    const QString text = Decode(bytes, &m_encoding, &valid);
    // A NUL character never occurs in a text file; it is what a binary file, or UTF-16 without its
    // mark, looks like when read as 8-bit text.
    if (text.contains(QChar(0))) {
        logError(
            QStringLiteral("TLanguageFile.Parse: %1: not a text file (NUL character), ignored").arg(source));
        return false;
    }
    if (m_encoding == Encoding::Utf8 && !bytes.startsWith("\xEF\xBB\xBF"))
        logError(QStringLiteral("TLanguageFile.Parse: %1: no byte-order mark, read as UTF-8").arg(source));
    if (!valid)
        logError(
            QStringLiteral("TLanguageFile.Parse: %1: invalid characters for its byte-order mark, replaced")
                .arg(source));

    int number = 0;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        ++number;
        parseLine(line, number, source);
    }
    if (m_brokenLines > kReportedBrokenLines)
        logError(QStringLiteral("TLanguageFile.Parse: %1: %2 broken lines skipped in all")
                     .arg(source)
                     .arg(m_brokenLines));
    if (!m_hasLanguageId)
        logError(QStringLiteral("TLanguageFile.Parse: %1: no valid !LanguageID").arg(source));
    return true;
}

void TLanguageFile::parseLine(QStringView line, int number, const QString& sourceName)
{
    if (line.endsWith(u'\r'))
        line.chop(1);
    if (line.trimmed().isEmpty())
        return;
    const qsizetype separator = line.indexOf(u'=');
    const QString key = separator < 0 ? QString() : line.first(separator).trimmed().toString();
    if (key.isEmpty()) {
        if (++m_brokenLines <= kReportedBrokenLines)
            logError(QStringLiteral("TLanguageFile.Parse: %1: line %2 is no \"key=value\" line, skipped")
                         .arg(sourceName)
                         .arg(number));
        return;
    }
    QString value = line.sliced(separator + 1).toString();
    value.replace(QLatin1String("<BR>"), QLatin1String("\n"), Qt::CaseInsensitive);
    if (key.startsWith(u'!')) {
        setHeader(key, value, number, sourceName);
        return;
    }
    if (!m_texts.contains(key))
        m_texts.insert(key, value);
}

void TLanguageFile::setHeader(const QString& key, const QString& value, int number, const QString& sourceName)
{
    const auto is
        = [&key](const char* name) { return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    if (is("!LanguageID")) {
        bool ok = false;
        const uint id = value.trimmed().toUInt(&ok, 10);
        if (ok && id > 0 && id <= 0xFFFF) {
            m_languageId = id;
            m_hasLanguageId = true;
        } else {
            logError(QStringLiteral("TLanguageFile.Parse: %1: line %2: \"%3\" is no language identifier")
                         .arg(sourceName)
                         .arg(number)
                         .arg(value));
        }
    } else if (is("!LanguageName")) {
        m_languageName = value.trimmed();
    } else if (is("!TranslationAuthor")) {
        m_author = value.trimmed();
    } else if (is("!TranslationAuthorEmail")) {
        m_authorEmail = value.trimmed();
    } else if (is("!TranslationDefaultFont")) {
        m_defaultFont = value.trimmed();
    }
}
