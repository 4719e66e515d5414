#include "exif/TGpsSection.h"

#include "exif/ExifTexts.h"
#include "exif/TExifFormat.h"

#include <QLocale>
#include <QStringTokenizer>

namespace {

constexpr TExifDecodeRow kLatitudeRef[] = { { "N", "_rsExifNorth" }, { "S", "_rsExifSouth" } };
constexpr TExifDecodeRow kLongitudeRef[] = { { "E", "_rsExifEast" }, { "W", "_rsExifWest" } };
constexpr TExifDecodeRow kAltitudeRef[]
    = { { "0", "_rsExifAboveSeaLevel" }, { "1", "_rsExifBelowSeaLevel" } };
constexpr TExifDecodeRow kStatus[]
    = { { "A", "_rsExifMeasurementInProgress" }, { "V", "_rsExifMeasurementIsInteroperability" } };

QString withUnit(const QString& value, const char* unit)
{
    return value.isEmpty() ? value : value + QLatin1String(unit);
}

// A receiver without a fix writes 0/0 for every part; that is no position, not 0° 0' 0".
QString coordinateOf(const TTiffData& data, const TIfdEntry& entry)
{
    const QString fractions = FormatValue(data, entry, QStringLiteral(";"), TFormatMode::Fraction);
    for (const QStringView part : QStringTokenizer(fractions, u';')) {
        if (!part.contains(u'/'))
            return {};
    }
    return TGpsSection::DecodeCoordinate(FormatValue(data, entry));
}

} // namespace

void TGpsSection::Clear()
{
    *this = TGpsSection();
}

QString TGpsSection::DecodeCoordinate(const QString& text)
{
    const QStringList parts = text.split(u';');
    if (parts.size() < 3)
        return text;
    double dms[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (!ParseGeneralNumber(parts.at(i), dms[i]))
            return text;
    }
    const double degrees = dms[0] + dms[1] / 60.0 + dms[2] / 3600.0;
    QString number = QString::number(degrees, 'f', 6);
    number.replace(u'.', QLocale().decimalPoint());
    return number + QStringLiteral("°");
}

void TGpsSection::Store(const TTiffData& data, const TIfdEntry& entry)
{
    switch (entry.Tag) {
    case 0x0000:
        VersionID = FormatValue(data, entry, QStringLiteral("."));
        break;
    case 0x0001:
        LatitudeRef = DecodeByTable(FormatValue(data, entry), kLatitudeRef);
        break;
    case 0x0002:
        Latitude = coordinateOf(data, entry);
        break;
    case 0x0003:
        LongitudeRef = DecodeByTable(FormatValue(data, entry), kLongitudeRef);
        break;
    case 0x0004:
        Longitude = coordinateOf(data, entry);
        break;
    case 0x0005:
        AltitudeRef = DecodeByTable(FormatValue(data, entry), kAltitudeRef);
        break;
    case 0x0006:
        Altitude = withUnit(FormatValue(data, entry), " m");
        break;
    case 0x0007:
        TimeStamp = FormatValue(data, entry);
        break;
    case 0x0008:
        Satellites = FormatValue(data, entry);
        break;
    case 0x0009:
        Status = DecodeByTable(FormatValue(data, entry), kStatus);
        break;
    default:
        break;
    }
}

void TGpsSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    const auto add = [&out](const char* name, const QString& value) {
        out.append({ QStringLiteral("GpsSection.") + QLatin1String(name), value });
    };
    add("VersionID", VersionID);
    add("LatitudeRef", LatitudeRef);
    add("Latitude", Latitude);
    add("LongitudeRef", LongitudeRef);
    add("Longitude", Longitude);
    add("AltitudeRef", AltitudeRef);
    add("Altitude", Altitude);
    add("TimeStamp", TimeStamp);
    add("Satellites", Satellites);
    add("Status", Status);
}
