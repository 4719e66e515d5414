#include "liveview/JpegDec.h"

#include <QFile>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <turbojpeg.h>

namespace {

enum Marker : uchar {
    SOF0 = 0xC0,
    SOF1 = 0xC1,
    DHT = 0xC4,
    RST0 = 0xD0,
    RST7 = 0xD7,
    SOI = 0xD8,
    EOI = 0xD9,
    SOS = 0xDA,
    DQT = 0xDB,
    DRI = 0xDD,
    APP0 = 0xE0,
};

// Format_RGB32 keeps blue, green, red, 0xFF in memory order on little-endian machines.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr int kTurboFormat = TJPF_BGRX;
constexpr J_COLOR_SPACE kLibraryFormat = JCS_EXT_BGRX;
#else
constexpr int kTurboFormat = TJPF_XRGB;
constexpr J_COLOR_SPACE kLibraryFormat = JCS_EXT_XRGB;
#endif

class MarkerReader
{
public:
    MarkerReader(const uchar* data, qsizetype size)
        : m_data(data)
        , m_size(size)
    { }

    // The code of the next marker from the current position: bytes up to the next FF are data,
    // fill bytes FF are skipped, and FF followed by a code up to BF (stuffing among them) is data.
    // -1 when the input ends first.
    int next()
    {
        while (m_pos < m_size) {
            const void* ff = std::memchr(m_data + m_pos, 0xFF, size_t(m_size - m_pos));
            if (!ff)
                break;
            m_pos = static_cast<const uchar*>(ff) - m_data + 1;
            while (m_pos < m_size && m_data[m_pos] == 0xFF)
                ++m_pos;
            if (m_pos >= m_size)
                break;
            const uchar code = m_data[m_pos++];
            if (code > 0xBF)
                return code;
        }
        m_pos = m_size;
        return -1;
    }

    // The segment that follows a marker: its payload after the two length bytes, or null when the
    // length is impossible or runs past the end.
    const uchar* segment(qsizetype& length)
    {
        if (m_size - m_pos < 2)
            return nullptr;
        const qsizetype declared = qsizetype(m_data[m_pos]) << 8 | m_data[m_pos + 1];
        if (declared < 2 || declared > m_size - m_pos)
            return nullptr;
        const uchar* payload = m_data + m_pos + 2;
        length = declared - 2;
        m_pos += declared;
        return payload;
    }

    bool startsWithSoi()
    {
        if (m_size < 2 || m_data[0] != 0xFF)
            return false;
        m_pos = 1;
        while (m_pos < m_size && m_data[m_pos] == 0xFF)
            ++m_pos;
        return m_pos < m_size && m_data[m_pos++] == SOI;
    }

private:
    const uchar* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

bool readFrameHeader(const uchar* p, qsizetype length, JpegDecCheck& check)
{
    if (length < 6)
        return false;
    check.precision = p[0];
    check.height = p[1] << 8 | p[2];
    check.width = p[3] << 8 | p[4];
    check.components = p[5];
    if (check.precision != 8 && check.precision != 12) {
        check.reason = QStringLiteral("sample precision %1").arg(check.precision);
        return false;
    }
    if (check.components != 1 && check.components != 3) {
        check.reason = QStringLiteral("%1 components").arg(check.components);
        return false;
    }
    if (length != 6 + 3 * check.components) {
        check.reason = QStringLiteral("frame header length");
        return false;
    }
    if (check.width == 0 || check.height == 0) {
        check.reason = QStringLiteral("no frame size");
        return false;
    }
    int hmax = 0, vmax = 0;
    for (int i = 0; i < check.components; ++i) {
        const int h = p[7 + 3 * i] >> 4;
        const int v = p[7 + 3 * i] & 0x0F;
        if (h < 1 || h > 4 || v < 1 || v > 4) {
            check.reason = QStringLiteral("sampling factor %1x%2").arg(h).arg(v);
            return false;
        }
        hmax = std::max(hmax, h);
        vmax = std::max(vmax, v);
    }
    for (int i = 0; i < check.components; ++i) {
        const int h = p[7 + 3 * i] >> 4;
        const int v = p[7 + 3 * i] & 0x0F;
        if ((h != hmax && 2 * h != hmax) || (v != vmax && 2 * v != vmax)) {
            check.reason = QStringLiteral("sampling ratio %1x%2 of %3x%4").arg(h).arg(v).arg(hmax).arg(vmax);
            return false;
        }
    }
    return true;
}

tjhandle threadDecompressor()
{
    // One handle per thread: creating it costs more than a small frame's decoding. It holds no
    // state that outlives a call.
    struct Handle
    {
        tjhandle h = tjInitDecompress();
        ~Handle()
        {
            if (h)
                tjDestroy(h);
        }
    };
    thread_local Handle handle;
    return handle.h;
}

struct LibraryError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
};

void onLibraryError(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<LibraryError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, error->message);
    std::longjmp(error->jump, 1);
}

void onLibraryMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    auto* error = reinterpret_cast<LibraryError*>(cinfo->err);
    if (error->warnings++ == 0)
        (*cinfo->err->format_message)(cinfo, error->message);
}

// Every 8x8 block of a picture costs at least one bit of entropy-coded data (its DC difference; a
// sequential scan adds at least one more for its end of block). A header claiming more pixels than
// the data could ever describe is refused before the picture's memory is taken: otherwise a few
// hundred bytes claiming 65000 x 65000 pixels would have us allocate and decode 16 GB.
bool scanCanDescribe(qint64 width, qint64 height, qsizetype size, int bitsPerBlock)
{
    const qint64 blocks = ((width + 7) / 8) * ((height + 7) / 8);
    return blocks * bitsPerBlock <= qint64(size) * 8;
}

// Decoding through the library's own interface. Kept free of C++ objects that longjmp would skip:
// the image lives in the caller.
bool decodeLibrary(
    const uchar* data, qsizetype size, int scaleDenom, bool fast, bool strict, QImage& image, char* message)
{
    jpeg_decompress_struct cinfo;
    LibraryError error;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onLibraryError;
    error.manager.emit_message = onLibraryMessage;
    error.message[0] = 0;
    error.warnings = 0;
    if (setjmp(error.jump)) {
        std::strncpy(message, error.message, JMSG_LENGTH_MAX);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (!scanCanDescribe(cinfo.image_width, cinfo.image_height, size, 1)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%u x %u pixels claimed by %lld bytes", cinfo.image_width,
            cinfo.image_height, static_cast<long long>(size));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = kLibraryFormat;
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(scaleDenom);
    if (fast) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(&cinfo);
    image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (image.isNull()) {
        std::snprintf(
            message, JMSG_LENGTH_MAX, "no memory for %ux%u pixels", cinfo.output_width, cinfo.output_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (strict && error.warnings > 0) {
        std::strncpy(message, error.message, JMSG_LENGTH_MAX);
        return false;
    }
    return true;
}

QImage decodeLibraryImage(
    const uchar* data, qsizetype size, int scaleDenom, bool fast, bool strict, QString* errorText)
{
    if (!data || size <= 0) {
        if (errorText)
            *errorText = QStringLiteral("no data");
        return {};
    }
    QImage image;
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeLibrary(data, size, scaleDenom, fast, strict, image, message)) {
        if (errorText)
            *errorText = QString::fromLocal8Bit(message);
        return {};
    }
    return image;
}

QImage loadThumbnailSource(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return decodeLibraryImage(
        reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), 8, true, false, nullptr);
}

} // namespace

JpegDecCheck checkJpegMarkers(const uchar* data, qsizetype size)
{
    JpegDecCheck check;
    if (!data || size <= 0) {
        check.reason = QStringLiteral("no data");
        return check;
    }
    MarkerReader reader(data, size);
    if (!reader.startsWithSoi()) {
        check.reason = QStringLiteral("no start of image");
        return check;
    }
    bool haveFrame = false;
    for (;;) {
        const int code = reader.next();
        if (code < 0) {
            check.reason = QStringLiteral("cut short in the header");
            return check;
        }
        qsizetype length = 0;
        const uchar* payload = nullptr;
        if (code == SOF0 || code == SOF1 || code == DQT || code == DHT || code == DRI || code >= APP0
            || code == SOS) {
            payload = reader.segment(length);
            if (!payload) {
                check.reason = QStringLiteral("segment FF%1 cut short").arg(code, 2, 16, QLatin1Char('0'));
                return check;
            }
        }
        if (code == SOF0 || code == SOF1) {
            if (haveFrame) {
                check.reason = QStringLiteral("second frame header");
                return check;
            }
            if (!readFrameHeader(payload, length, check)) {
                if (check.reason.isEmpty())
                    check.reason = QStringLiteral("frame header");
                return check;
            }
            haveFrame = true;
        } else if (code == SOS) {
            if (!haveFrame) {
                check.reason = QStringLiteral("scan before the frame header");
                return check;
            }
            break;
        } else if (code != DQT && code != DHT && code != DRI && code < APP0) {
            check.reason = QStringLiteral("marker FF%1 in the header").arg(code, 2, 16, QLatin1Char('0'));
            return check;
        }
    }
    for (;;) {
        const int code = reader.next();
        if (code < 0) {
            check.reason = QStringLiteral("no end of image");
            return check;
        }
        if (code >= RST0 && code <= RST7)
            continue;
        if (code == EOI) {
            check.accepted = true;
            return check;
        }
        check.reason = QStringLiteral("marker FF%1 in the scan").arg(code, 2, 16, QLatin1Char('0'));
        return check;
    }
}

QImage DecodeJpegToBitmap(const uchar* data, qsizetype size)
{
    const JpegDecCheck check = checkJpegMarkers(data, size);
    if (!check.accepted || !scanCanDescribe(check.width, check.height, size, 2))
        return {};
    tjhandle handle = threadDecompressor();
    if (!handle)
        return {};
    QImage image(check.width, check.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const int rc = tjDecompress2(handle, data, static_cast<unsigned long>(size), image.bits(), check.width,
        int(image.bytesPerLine()), check.height, kTurboFormat, TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE);
    // A warning means corrupt entropy data filled in by the library: not a frame to show.
    if (rc != 0)
        return {};
    return image;
}

QImage DecodeJpegToBitmap(const QByteArray& jpeg)
{
    return DecodeJpegToBitmap(reinterpret_cast<const uchar*>(jpeg.constData()), jpeg.size());
}

QImage decodeJpegWithLibrary(const uchar* data, qsizetype size, QString* error)
{
    return decodeLibraryImage(data, size, 1, false, true, error);
}

QImage decodeJpegWithLibrary(const QByteArray& jpeg, QString* error)
{
    return decodeJpegWithLibrary(reinterpret_cast<const uchar*>(jpeg.constData()), jpeg.size(), error);
}

QImage LoadThumbnailBitmap(const QString& fileName, int edge)
{
    if (edge < 1)
        return {};
    const QImage source = loadThumbnailSource(fileName);
    if (source.width() < 1 || source.height() < 1)
        return {};
    const double ratio = double(source.width()) / source.height();
    // std::nearbyint rounds halves to even in the default rounding mode.
    int width = edge;
    int height = edge;
    if (ratio >= 1)
        height = int(std::nearbyint(edge / ratio));
    else
        width = int(std::nearbyint(edge * ratio));
    return source
        .scaled(std::max(width, 1), std::max(height, 1), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QByteArray LoadThumbnailJpeg(const QString& fileName, int edge)
{
    const QImage bitmap = LoadThumbnailBitmap(fileName, edge);
    if (bitmap.isNull())
        return {};
    tjhandle handle = tjInitCompress();
    if (!handle)
        return {};
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int rc = tjCompress2(handle, bitmap.constBits(), bitmap.width(), int(bitmap.bytesPerLine()),
        bitmap.height(), kTurboFormat, &out, &outSize, TJSAMP_420, 100, 0);
    QByteArray result;
    if (rc == 0)
        result = QByteArray(reinterpret_cast<const char*>(out), qsizetype(outSize));
    tjFree(out);
    tjDestroy(handle);
    return result;
}
