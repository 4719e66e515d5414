// Feeds arbitrary bytes to the EXIF reader the way LoadFromFile does, then builds the information list.
#include "exif/TExif.h"
#include "exif/TExifReader.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto exif = std::make_unique<TExif>();
    if (exif->ReadFromStream(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)))) {
        QList<TExifRowSection> list;
        TExifRect frame;
        QList<TExifRect> faces;
        TExifReader::Fill(list, *exif, frame, faces);
    }
    QList<QPair<QString, QString>> properties;
    exif->ExifData().CollectProperties(properties);
    return 0;
}
