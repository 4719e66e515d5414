// Feeds arbitrary bytes to the live view decoder. Whatever it returns must agree with the marker
// walk: a picture only for accepted input, of exactly the frame header's size, fully addressable.
#include "liveview/JpegDec.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const JpegDecCheck check = checkJpegMarkers(data, qsizetype(size));
    const QImage image = DecodeJpegToBitmap(data, qsizetype(size));
    if (image.isNull())
        return 0;
    if (!check.accepted || image.width() != check.width || image.height() != check.height
        || image.format() != QImage::Format_RGB32)
        std::abort();
    // The last pixel is inside the buffer; the sanitizers see it if it is not.
    volatile QRgb corner = image.pixel(image.width() - 1, image.height() - 1);
    (void)corner;
    return 0;
}
