#include "exif/TOlympusSection.h"

#include "exif/MakerNoteTexts.h"
#include "exif/TExifFormat.h"
#include "exif/TOlympusDecoders.h"
#include "exif/TTiffData.h"

#include <mutex>

namespace {

constexpr char kSignature[] = "OLYMPUS"; // with its zero byte: the first 8 bytes
constexpr qsizetype kHeaderSize = 14;
constexpr quint32 kRootDirectoryOffset = 12;
constexpr quint16 kSpecialModeTag = 0x0200;
constexpr quint16 kCameraIDTag = 0x0209;

enum Directory {
    Equipment,
    CameraSettings,
    RawDevelopment,
    RawDevelopment2,
    ImageProcessing,
    FocusInfo,
    RawInfo
};

// The sub-directories in the order they are visited, whatever their order in the file.
constexpr quint16 kDirectoryTags[] = { 0x2010, 0x2020, 0x2030, 0x2031, 0x2040, 0x2050, 0x3000 };

// Cameras store the sub-directory pointer as IFD (13), LONG (4) or as an UNDEFINED block
// holding the directory (7); in each case the value field is the offset from the maker note.
bool isDirectoryPointer(const TIfdEntry& entry)
{
    return entry.Type == 13 || entry.Type == 4 || entry.Type == 7;
}

// The identifier is a zero-terminated text in a fixed-size block; what follows the zero byte
// (0xFF filler on some bodies) is no part of it.
QString cameraIdText(QString text)
{
    const qsizetype end = text.indexOf(QChar(u'\0'));
    if (end >= 0)
        text.truncate(end);
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

void TOlympusSection::Clear()
{
    EquipmentSection.Clear();
    CameraSettingsSection.Clear();
    RawDevelopmentSection.Clear();
    ImageProcessingSection.Clear();
    FocusInfoSection.Clear();
    SpecialMode.clear();
    CameraID.clear();
}

bool TOlympusSection::Read(const TTiffData& exifData, qsizetype makerNotePos, int imageWidth, int imageHeight)
{
    static std::once_flag textsRegistered;
    std::call_once(textsRegistered, RegisterMakerNoteTexts);

    Clear();
    if (!exifData.Contains(makerNotePos, kHeaderSize))
        return false;
    const QByteArrayView header = exifData.Bytes().sliced(makerNotePos, kHeaderSize);
    if (header.first(sizeof kSignature) != QByteArrayView(kSignature, sizeof kSignature))
        return false;
    // The maker note carries its own byte order, which need not be the TIFF header's.
    const QByteArrayView order = header.sliced(8, 2);
    bool bigEndian = false;
    if (order == "MM")
        bigEndian = true;
    else if (order != "II")
        return false;
    const TTiffData data = exifData.WithBase(makerNotePos, bigEndian);
    quint16 version = 0;
    if (!data.U16(makerNotePos + 10, version) || version <= 2)
        return false;

    const TIfdReadResult root = ReadIfd(data, kRootDirectoryOffset);
    bool complete = root.Complete;
    quint32 offsets[std::size(kDirectoryTags)] = {};
    for (const TIfdEntry& entry : root.Entries) {
        if (entry.Tag == kSpecialModeTag) {
            SpecialMode = TOlympusDecoders::SpecialMode(FormatValue(data, entry));
        } else if (entry.Tag == kCameraIDTag) {
            CameraID = cameraIdText(FormatValue(data, entry, QStringLiteral(";"), TFormatMode::Character));
        } else if (isDirectoryPointer(entry)) {
            // The whole 32-bit offset counts: cutting it to 16 bits would read a wrong place in
            // notes larger than 64 KiB, and every read is bounds-checked anyway.
            for (std::size_t i = 0; i < std::size(kDirectoryTags); ++i) {
                if (entry.Tag == kDirectoryTags[i])
                    offsets[i] = entry.ValueOrOffset;
            }
        }
    }

    for (std::size_t i = 0; i < std::size(kDirectoryTags); ++i) {
        if (offsets[i] == 0)
            continue;
        if (i == CameraSettings)
            CameraSettingsSection.SetImageSize(imageWidth, imageHeight);
        else if (i == ImageProcessing)
            ImageProcessingSection.SetImageSize(imageWidth, imageHeight);
        const TIfdReadResult directory = ReadIfd(data, offsets[i]);
        complete = directory.Complete;
        for (const TIfdEntry& entry : directory.Entries) {
            switch (i) {
            case Equipment:
                EquipmentSection.Store(data, entry);
                break;
            case CameraSettings:
                CameraSettingsSection.Store(data, entry);
                break;
            case RawDevelopment:
                RawDevelopmentSection.Store(data, entry);
                break;
            case ImageProcessing:
                ImageProcessingSection.Store(data, entry);
                break;
            case FocusInfo:
                FocusInfoSection.Store(data, entry);
                break;
            default: // Raw Development 2 and Raw Info are walked but not kept
                break;
            }
        }
    }
    return complete;
}

void TOlympusSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    out.append({ QStringLiteral("OlympusSection.SpecialMode"), SpecialMode });
    out.append({ QStringLiteral("OlympusSection.CameraID"), CameraID });
    EquipmentSection.CollectProperties(out);
    CameraSettingsSection.CollectProperties(out);
    RawDevelopmentSection.CollectProperties(out);
    ImageProcessingSection.CollectProperties(out);
    FocusInfoSection.CollectProperties(out);
}
