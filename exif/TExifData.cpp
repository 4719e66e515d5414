#include "exif/TExifData.h"

#include "exif/TExifFormat.h"

void TExifData::Clear()
{
    ExifSection.Clear();
    GpsSection.Clear();
    CameraManufacturer.clear();
    CameraModel.clear();
    ReleaseDate.clear();
    Author.clear();
    Copyright.clear();
}

namespace {

// Editors sometimes store these texts as UNDEFINED bytes; they are still texts for the reader.
QString textValue(const TTiffData& data, const TIfdEntry& entry)
{
    return entry.Type == 7 ? FormatValue(data, entry, QStringLiteral(";"), TFormatMode::Character)
                           : FormatValue(data, entry);
}

} // namespace

void TExifData::Store(const TTiffData& data, const TIfdEntry& entry)
{
    switch (entry.Tag) {
    case 0x010F:
        CameraManufacturer = textValue(data, entry);
        break;
    case 0x0110:
        CameraModel = textValue(data, entry);
        break;
    case 0x0132:
        ReleaseDate = textValue(data, entry);
        break;
    case 0x013B:
        Author = textValue(data, entry);
        break;
    case 0x8298:
        Copyright = textValue(data, entry);
        break;
    default:
        break;
    }
}

void TExifData::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    out.append({ QStringLiteral("ExifData.CameraManufacturer"), CameraManufacturer });
    out.append({ QStringLiteral("ExifData.CameraModel"), CameraModel });
    out.append({ QStringLiteral("ExifData.ReleaseDate"), ReleaseDate });
    out.append({ QStringLiteral("ExifData.Author"), Author });
    out.append({ QStringLiteral("ExifData.Copyright"), Copyright });
    ExifSection.CollectProperties(out);
    GpsSection.CollectProperties(out);
    ExifSection.OlympusSection.CollectProperties(out);
}
