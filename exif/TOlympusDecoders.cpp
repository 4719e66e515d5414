#include "exif/TOlympusDecoders.h"

#include "base/TNamedTexts.h"
#include "exif/TExifFormat.h"
#include "exif/TOlympusCameraSettingsSection.h"
#include "exif/TOlympusImageProcessingSection.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

QStringList items(const QString& text)
{
    return text.isEmpty() ? QStringList() : text.split(u';');
}

bool wholeNumber(const QString& text, qint64& value)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (ok)
        value = v;
    return ok;
}

// The formatted value prints SHORT and SSHORT elements unsigned, so 65535 stands for -1.
bool signed16(const QString& text, int& value)
{
    qint64 v = 0;
    if (!wholeNumber(text, v))
        return false;
    value = static_cast<qint16>(static_cast<quint16>(v));
    return true;
}

bool signed16Items(const QStringList& list, int count, int* values)
{
    for (int i = 0; i < count; ++i) {
        if (!signed16(list[i], values[i]))
            return false;
    }
    return true;
}

const char* lookup(std::span<const TOlympusValueText> table, QStringView value)
{
    for (const TOlympusValueText& row : table) {
        if (value == QLatin1StringView(row.Value))
            return row.Name;
    }
    return nullptr;
}

QString unknown()
{
    return rs("_rsExifUnknown");
}

QString lookupOrUnknown(std::span<const TOlympusValueText> table, QStringView value)
{
    const char* name = lookup(table, value);
    return name ? rs(name) : unknown();
}

QString threeNumbers(int a, int b, int c)
{
    return QStringLiteral("%1 %2 %3").arg(a).arg(b).arg(c);
}

// "%.0f" of printf: rounds like the C library, so 49.5 and 50.5 both give 50.
QString percent(double fraction)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f%%", fraction * 100.0);
    return QString::fromLatin1(buffer);
}

// Nearest whole number, halves to even; values outside int saturate.
int roundEven(double value)
{
    const double r = std::nearbyint(value);
    if (!(r > -2147483648.0))
        return std::numeric_limits<int>::min();
    if (!(r < 2147483647.0))
        return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

} // namespace

QString TOlympusDecoders::Celsius(const QString& text)
{
    // Bodies up to the E-P3/E-PL2 generation record the sensor temperature as a count that falls
    // as it gets warmer (550 is about 20 °C, 360 about 42 °C); later bodies and the E-1 record
    // degrees. A sensor is never above 100 °C, so a larger single value is such a count.
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok && value > 100) {
        const double celsius = 84.0 - 3.0 * value / 26.0;
        return GeneralNumber(std::round(celsius * 10.0) / 10.0) + QStringLiteral(" °C");
    }
    return text + QStringLiteral(" °C");
}

QString TOlympusDecoders::Decode(
    TOlympusRule rule, const QString& text, std::span<const TOlympusValueText> table)
{
    switch (rule) {
    case TOlympusRule::Formatted:
    case TOlympusRule::Characters:
    case TOlympusRule::AFAreas:
    case TOlympusRule::AFPointSelected:
    case TOlympusRule::FaceAreas:
        return text;
    case TOlympusRule::Millimetres:
        return text + QStringLiteral(" mm");
    case TOlympusRule::Celsius:
        return Celsius(text);
    case TOlympusRule::Firmware:
        return Firmware(text);
    case TOlympusRule::WholeValue:
        return WholeValue(table, text);
    case TOlympusRule::FirstItem:
        return FirstItem(table, text);
    case TOlympusRule::SpecialMode:
        return SpecialMode(text);
    case TOlympusRule::FocusMode:
        return FocusMode(text);
    case TOlympusRule::FlashMode:
        return FlashMode(text);
    case TOlympusRule::FlashRemoteControl:
        return FlashRemoteControl(text);
    case TOlympusRule::FlashControlMode:
        return FlashControlMode(text);
    case TOlympusRule::WhiteBalanceTemperature:
        return WhiteBalanceTemperature(text);
    case TOlympusRule::Range:
        return Range(text);
    case TOlympusRule::Gradation:
        return Gradation(text);
    case TOlympusRule::NoiseFilter:
        return Level(text, -2);
    case TOlympusRule::PMEffect:
        return Level(text, -1);
    case TOlympusRule::ArtFilter:
        return ArtFilter(text);
    case TOlympusRule::PMArtFilter2:
        return PMArtFilter2(text);
    case TOlympusRule::HighlightShadow:
        return HighlightShadow(text);
    case TOlympusRule::DriveMode:
        return DriveMode(text);
    case TOlympusRule::PanoramaMode:
        return PanoramaMode(text);
    case TOlympusRule::ImageStabilization:
        return ImageStabilization(text);
    case TOlympusRule::FaceCount:
        return FaceCount(text);
    case TOlympusRule::Distance:
        return Distance(text);
    }
    return text;
}

QString TOlympusDecoders::WholeValue(std::span<const TOlympusValueText> table, const QString& text)
{
    return lookupOrUnknown(table, text);
}

QString TOlympusDecoders::FirstItem(std::span<const TOlympusValueText> table, const QString& text)
{
    const QStringList list = items(text);
    if (list.isEmpty())
        return text;
    return lookupOrUnknown(table, list.first());
}

QString TOlympusDecoders::SpecialMode(const QString& text)
{
    const QStringList list = items(text);
    if (list.size() < 3)
        return text;
    const char* direction = lookup(OlympusTables::kPanoramaDirection, list[2]);
    return rs("_rsExifCaptureMode") + QStringLiteral(": ")
        + lookupOrUnknown(OlympusTables::kSpecialModeCapture, list[0]) + QStringLiteral(", ")
        + rs("_rsExifSequence") + QStringLiteral(": ") + list[1] + QStringLiteral(", ")
        + rs("_rsExifPanoramaDirection") + QStringLiteral(": ") + rs(direction ? direction : "_rsExifNone");
}

QString TOlympusDecoders::Firmware(const QString& text)
{
    qint64 v = 0;
    if (!wholeNumber(text, v))
        return text;
    QString hex = QString::number(static_cast<quint32>(v), 16);
    hex.insert(1, u'.');
    return hex;
}

QString TOlympusDecoders::FocusMode(const QString& text)
{
    const QStringList list = items(text);
    if (list.isEmpty())
        return text;
    QString result = lookupOrUnknown(OlympusTables::kFocusMode, list[0]);
    qint64 bits = 0;
    if (list.size() > 1 && wholeNumber(list[1], bits)) {
        for (const TOlympusBitText& bit : OlympusTables::kFocusModeBits) {
            if (bits & bit.Bit) {
                result += QStringLiteral(", ");
                if (bit.Name)
                    result += rs(bit.Name);
            }
        }
    }
    return result;
}

QString TOlympusDecoders::AFAreas(const QString& text, QList<TOlympusAFArea>& areas)
{
    areas.clear();
    const QStringList list = items(text);
    if (list.isEmpty())
        return text;
    QString result;
    QList<TOlympusAFArea> found;
    for (const QString& item : list) {
        qint64 v = 0;
        if (!wholeNumber(item, v))
            return text;
        // A LONG array stored at an offset is formatted signed; the bytes are what matter.
        const quint32 u = static_cast<quint32>(v);
        const TOlympusAFArea area { int(u >> 24), int((u >> 16) & 0xFF), int((u >> 8) & 0xFF),
            int(u & 0xFF) };
        if (u == 0)
            continue;
        result += QStringLiteral("(%1, %2)-(%3, %4) ").arg(area.A).arg(area.B).arg(area.C).arg(area.D);
        found.append(area);
    }
    areas = found;
    return result;
}

QString TOlympusDecoders::AFPointSelected(
    const QString& text, int width, int height, TOlympusAFPoint& point, bool* decoded)
{
    if (decoded)
        *decoded = false;
    const QStringList list = items(text);
    if (list.size() != 5)
        return text;
    qint64 first = 0;
    double f[4] = {};
    if (!wholeNumber(list[0], first))
        return text;
    for (int i = 0; i < 4; ++i) {
        if (!ParseGeneralNumber(list[i + 1], f[i]))
            return text;
    }
    point.Value = static_cast<int>(first);
    point.X1 = roundEven(f[0] * width);
    point.Y1 = roundEven(f[1] * height);
    point.X2 = roundEven(f[2] * width);
    point.Y2 = roundEven(f[3] * height);
    if (decoded)
        *decoded = true;
    return QStringLiteral("(%1, %2) (%3, %4)")
        .arg(percent(f[0]), percent(f[1]), percent(f[2]), percent(f[3]));
}

QString TOlympusDecoders::FlashMode(const QString& text)
{
    if (const char* name = lookup(OlympusTables::kFlashMode, text))
        return rs(name);
    qint64 v = 0;
    if (!wholeNumber(text, v))
        return text;
    QStringList parts;
    for (const TOlympusBitText& bit : OlympusTables::kFlashModeBits) {
        if (v & bit.Bit)
            parts.append(rs(bit.Name));
    }
    return parts.join(QStringLiteral(", "));
}

QString TOlympusDecoders::FlashRemoteControl(const QString& text)
{
    qint64 v = 0;
    if (!wholeNumber(text, v))
        return text;
    if (v == 0)
        return rs("_rsExifOff");
    if (v >= 1 && v <= 4)
        return rs("_rsExifChannelXLow", { v });
    if (v >= 9 && v <= 12)
        return rs("_rsExifChannelXMid", { v - 8 });
    if (v >= 17 && v <= 20)
        return rs("_rsExifChannelXHigh", { v - 16 });
    return unknown();
}

QString TOlympusDecoders::FlashControlMode(const QString& text)
{
    if (text.isEmpty())
        return text;
    const char* name = lookup(OlympusTables::kFlashControlMode, text);
    return name ? rs(name) : text;
}

QString TOlympusDecoders::WhiteBalanceTemperature(const QString& text)
{
    if (text == u"0")
        return rs("_rsExifAuto");
    return text + QStringLiteral(" K");
}

QString TOlympusDecoders::Range(const QString& text)
{
    const QStringList list = items(text);
    int minimum = 0;
    if (list.size() != 3 || !signed16(list[1], minimum))
        return text;
    return QStringLiteral("%1 (%2: %3, %4: +%5)")
        .arg(list[0], rs("_rsExifMinimum"), QString::number(minimum), rs("_rsExifMaximum"), list[2]);
}

QString TOlympusDecoders::Gradation(const QString& text)
{
    const QStringList list = items(text);
    int g[4] = {};
    if (list.size() <= 3 || !signed16Items(list, 4, g))
        return text;
    QString result;
    const auto* row = std::find_if(std::begin(OlympusTables::kGradation), std::end(OlympusTables::kGradation),
        [&](const TOlympusTripleText& t) { return t.A == g[0] && t.B == g[1] && t.C == g[2]; });
    result = row != std::end(OlympusTables::kGradation) ? rs(row->Name) : threeNumbers(g[0], g[1], g[2]);
    const char* source = lookup(OlympusTables::kGradationSource, QString::number(g[3]));
    return result + QStringLiteral(" (") + (source ? rs(source) : QString::number(g[3])) + u')';
}

QString TOlympusDecoders::Level(const QString& text, int lowLimit)
{
    const QStringList list = items(text);
    int v[3] = {};
    if (list.size() <= 2 || !signed16Items(list, 3, v))
        return text;
    if (v[0] == -1 && v[1] == lowLimit && v[2] == 1)
        return rs("_rsExifLow");
    if (lowLimit == -2 && v[0] == -2 && v[1] == -2 && v[2] == 1)
        return rs("_rsExifOff");
    if (v[0] == 0 && v[1] == lowLimit && v[2] == 1)
        return rs("_rsExifStandard");
    if (v[0] == 0 && v[1] == 0 && v[2] == 0)
        return rs("_rsExifNotAvailable");
    if (v[0] == 1 && v[1] == lowLimit && v[2] == 1)
        return rs("_rsExifHigh");
    return threeNumbers(v[0], v[1], v[2]);
}

QString TOlympusDecoders::ArtFilter(const QString& text)
{
    const QStringList list = items(text);
    if (list.isEmpty())
        return unknown();
    return lookupOrUnknown(OlympusTables::kArtFilter, list[0]);
}

QString TOlympusDecoders::PMArtFilter2(const QString& text)
{
    const QStringList list = items(text);
    QString result = ArtFilter(text);
    if (list.size() > 4 && list[0] != u"0") {
        if (const char* effect = lookup(OlympusTables::kArtFilterEffect, list[4]))
            result += QStringLiteral(" (") + rs(effect) + u')';
    }
    return result;
}

QString TOlympusDecoders::HighlightShadow(const QString& text)
{
    const QStringList list = items(text);
    int p[8] = {};
    if (list.size() <= 7 || !signed16Items(list, 8, p))
        return text;
    const QString minimum = rs("_rsExifMinimum");
    const QString maximum = rs("_rsExifMaximum");
    const auto part = [&](const QString& caption, int value, int low, int high) {
        return caption + QStringLiteral(": ") + QString::number(value) + QStringLiteral(" (") + minimum
            + QStringLiteral(": ") + QString::number(low) + QStringLiteral(", ") + maximum
            + QStringLiteral(": ") + QString::number(high) + u')';
    };
    return part(rs("_rsLights"), p[1], p[2], p[3]) + QStringLiteral(", ")
        + part(rs("_rsShadows"), p[5], p[6], p[7]);
}

QString TOlympusDecoders::DriveMode(const QString& text)
{
    const QStringList list = items(text);
    if (list.isEmpty())
        return text;
    QString result = text;
    if (const char* name = lookup(OlympusTables::kDriveMode, list[0])) {
        result = rs(name);
        qint64 bits = 0;
        if (list[0] == u"5" && list.size() > 2 && wholeNumber(list[2], bits)) {
            QStringList varied;
            for (const TOlympusBitLabel& bit : OlympusTables::kBracketBits) {
                if (bits & bit.Bit)
                    varied.append(QLatin1StringView(bit.Label));
            }
            if (!varied.isEmpty())
                result += u' ' + varied.join(u'/');
        }
    }
    if (list.size() > 1 && list[0] != u"0")
        result += QStringLiteral(", Sequenz-Nr: ") + list[1];
    return result;
}

QString TOlympusDecoders::PanoramaMode(const QString& text)
{
    const QStringList list = items(text);
    if (list.size() < 2)
        return text;
    const QString result = lookupOrUnknown(OlympusTables::kPanoramaMode, list[0]);
    if (result == rs("_rsExifOff"))
        return result;
    return result + QStringLiteral(" (") + rs("_rsExifSequence") + u' ' + list[1] + u')';
}

QString TOlympusDecoders::ImageStabilization(const QString& text)
{
    if (text == u"0")
        return rs("_rsExifDeactivated");
    return rs("_rsExifActivated") + QStringLiteral(" (") + rs("_rsExifMode") + u' ' + text + u')';
}

QString TOlympusDecoders::FaceCount(const QString& text)
{
    const QStringList list = items(text);
    if (list.size() != 3)
        return text;
    qint64 most = 0;
    for (int i = 0; i < 3; ++i) {
        qint64 v = 0;
        if (!wholeNumber(list[i], v))
            return text;
        most = i == 0 ? v : std::max(most, v);
    }
    if (most > 0)
        return rs("_rsExifActive") + QStringLiteral(" (") + rs("_rsExifNMatches", { most }) + u')';
    return rs("_rsExifInactive");
}

QString TOlympusDecoders::FaceAreas(
    const QString& text, int width, int height, QList<TOlympusFaceRect>& faces)
{
    faces.clear();
    const QStringList list = items(text);
    if (list.isEmpty() || list.size() % 4 != 0)
        return text;
    // Face positions come in a 640 x 480 frame; the square is scaled by the horizontal factor only.
    const double sx = width / 640.0;
    const double sy = height / 480.0;
    for (qsizetype i = 0; i < list.size(); i += 4) {
        qint64 g[4] = {};
        bool whole = true;
        for (int k = 0; k < 4 && whole; ++k)
            whole = wholeNumber(list[i + k], g[k]);
        if (!whole || g[2] == 0)
            continue;
        const int s = roundEven(double(g[2]) * sx);
        TOlympusFaceRect face;
        face.Left = roundEven(double(g[0]) * sx - s / 2.0);
        face.Top = roundEven(double(g[1]) * sy - s / 2.0);
        face.Right = roundEven(double(face.Left) + s);
        face.Bottom = roundEven(double(face.Top) + s);
        faces.append(face);
    }
    return text;
}

QString TOlympusDecoders::Distance(const QString& text)
{
    double v = 0;
    if (!ParseGeneralNumber(text, v))
        return text;
    return GeneralNumber(v / 100.0) + QStringLiteral(" m");
}
