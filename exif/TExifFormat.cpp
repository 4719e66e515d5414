#include "exif/TExifFormat.h"

#include <QLocale>
#include <QStringDecoder>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

enum TiffType : quint16 {
    Byte = 1,
    Ascii = 2,
    Short = 3,
    Long = 4,
    Rational = 5,
    SByte = 6,
    Undefined = 7,
    SShort = 8,
    SLong = 9,
    SRational = 10,
    Float = 11,
    Double = 12,
};

QString decimalPoint()
{
    return QLocale().decimalPoint();
}

// Camera texts are ASCII; editors sometimes write UTF-8, older tools Latin-1.
QString textOf(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

QString trimmedEnd(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= 0x20)
        --end;
    text.truncate(end);
    return text;
}

QString asciiValue(const TTiffData& data, qsizetype pos, quint32 count)
{
    const QByteArrayView bytes = data.Bytes().sliced(pos, count);
    const qsizetype zero = bytes.indexOf('\0');
    return trimmedEnd(textOf(zero >= 0 ? bytes.first(zero) : bytes));
}

QString rationalText(const TTiffData& data, qsizetype pos, bool isSigned, TFormatMode mode)
{
    quint32 n = 0;
    quint32 d = 0;
    data.U32(pos, n);
    data.U32(pos + 4, d);
    if (isSigned) {
        const qint32 sn = qint32(n);
        const qint32 sd = qint32(d);
        if (sd < 1)
            return QString::number(sn);
        if (mode == TFormatMode::Fraction)
            return QStringLiteral("%1/%2").arg(sn).arg(sd);
        return GeneralNumber(double(sn) / double(sd));
    }
    if (d == 0)
        return QString::number(n);
    if (mode == TFormatMode::Fraction)
        return QStringLiteral("%1/%2").arg(n).arg(d);
    return GeneralNumber(double(n) / double(d));
}

QString elementText(const TTiffData& data, quint16 type, qsizetype pos, TFormatMode mode)
{
    quint8 b = 0;
    quint16 s = 0;
    quint32 l = 0;
    switch (type) {
    case Byte:
        data.U8(pos, b);
        return QString::number(b);
    case SByte:
        data.U8(pos, b);
        return QString::number(qint8(b));
    case Undefined:
        data.U8(pos, b);
        return mode == TFormatMode::Character ? QString(QChar(b)) : QString::number(b);
    case Short:
        data.U16(pos, s);
        return QString::number(s);
    case SShort:
        data.U16(pos, s);
        return QString::number(qint16(s));
    case Long:
        data.U32(pos, l);
        return QString::number(l);
    case SLong:
        data.U32(pos, l);
        return QString::number(qint32(l));
    case Rational:
        return rationalText(data, pos, false, mode);
    case SRational:
        return rationalText(data, pos, true, mode);
    case Float: {
        data.U32(pos, l);
        float f = 0;
        std::memcpy(&f, &l, sizeof f);
        return GeneralNumber(double(f));
    }
    case Double: {
        quint32 first = 0;
        quint32 second = 0;
        data.U32(pos, first);
        data.U32(pos + 4, second);
        const quint64 bits
            = data.BigEndian() ? (quint64(first) << 32) | second : (quint64(second) << 32) | first;
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        return GeneralNumber(v);
    }
    default:
        return {};
    }
}

} // namespace

qsizetype ElementSize(quint16 type)
{
    switch (type) {
    case Byte:
    case Ascii:
    case SByte:
    case Undefined:
        return 1;
    case Short:
    case SShort:
        return 2;
    case Long:
    case SLong:
    case Float:
        return 4;
    case Rational:
    case SRational:
    case Double:
        return 8;
    default:
        return 0;
    }
}

QString FormatValue(const TTiffData& data, const TIfdEntry& entry, const QString& separator, TFormatMode mode)
{
    const qsizetype size = ElementSize(entry.Type);
    if (size == 0 || entry.Count == 0)
        return {};
    // A count that cannot fit into the file is hostile; the value stays empty instead of the loop
    // running for billions of elements.
    if (quint64(entry.Count) > quint64(data.Bytes().size()) / quint64(size))
        return {};
    const qsizetype total = size * qsizetype(entry.Count);
    qsizetype pos = 0;
    if (total <= 4)
        pos = entry.EntryPos + 8;
    else if (!data.FromBase(entry.ValueOrOffset, pos))
        return {};
    if (!data.Contains(pos, total))
        return {};

    if (entry.Type == Ascii)
        return asciiValue(data, pos, entry.Count);

    const bool characters = mode == TFormatMode::Character;
    QString text;
    text.reserve(qsizetype(entry.Count) * (characters ? 1 : 4));
    for (quint32 i = 0; i < entry.Count; ++i) {
        if (i > 0 && !characters)
            text += separator;
        text += elementText(data, entry.Type, pos + qsizetype(i) * size, mode);
    }
    return characters ? trimmedEnd(text) : text;
}

QString GeneralNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    // 15 significant digits, rounded once; then laid out by hand so that the choice between fixed and
    // scientific notation and the separator follow our rule, not printf's.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const char* p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    QByteArray digits;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits.append(*p);
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);

    const QString point = decimalPoint();
    QString text;
    if (negative)
        text += u'-';
    const double magnitude = std::fabs(value);
    if (magnitude >= 0.00001 && exponent < 15) {
        if (exponent < 0) {
            text += u'0';
            text += point;
            text += QString(-exponent - 1, u'0');
            text += QString::fromLatin1(digits);
        } else if (digits.size() <= exponent + 1) {
            text += QString::fromLatin1(digits);
            text += QString(exponent + 1 - digits.size(), u'0');
        } else {
            text += QString::fromLatin1(digits.left(exponent + 1));
            text += point;
            text += QString::fromLatin1(digits.mid(exponent + 1));
        }
    } else {
        text += QChar::fromLatin1(digits.at(0));
        if (digits.size() > 1) {
            text += point;
            text += QString::fromLatin1(digits.mid(1));
        }
        text += u'E';
        text += QString::number(exponent);
    }
    return text;
}

bool ParseGeneralNumber(const QString& text, double& value)
{
    QString normal = text.trimmed();
    const QString point = decimalPoint();
    if (point != QStringLiteral("."))
        normal.replace(point, QStringLiteral("."));
    if (normal.isEmpty())
        return false;
    for (const QChar c : normal) {
        // Only what GeneralNumber writes: digits, sign, point and exponent; no group separators.
        if (!(c.isDigit() || c == u'-' || c == u'+' || c == u'.' || c == u'E' || c == u'e'))
            return false;
    }
    bool ok = false;
    const double parsed = normal.toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}
