#include "sim/SimJpeg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <turbojpeg.h>

namespace camsim {

namespace {

constexpr double kPi = 3.14159265358979323846;

uint8_t clampByte(double v)
{
    return uint8_t(std::clamp(v, 0.0, 255.0));
}

// TurboJPEG always writes a JFIF APP0 segment; the cameras do not, and clients look for FF D8 FF DB.
// Returns the offset at which the JPEG without APP0 starts, after rewriting the SOI there.
size_t dropJfif(unsigned char* buf, size_t size)
{
    if (size < 6 || buf[0] != 0xFF || buf[1] != 0xD8 || buf[2] != 0xFF || buf[3] != 0xE0)
        return 0;
    const size_t len = (size_t(buf[4]) << 8) | buf[5];
    const size_t start = 2 + len;
    if (start + 4 > size)
        return 0;
    buf[start] = 0xFF;
    buf[start + 1] = 0xD8;
    return start;
}

struct TjHandle
{
    tjhandle h;
    explicit TjHandle(bool compress)
        : h(compress ? tjInitCompress() : tjInitDecompress())
    { }
    ~TjHandle()
    {
        if (h)
            tjDestroy(h);
    }
};

tjhandle threadCompressor()
{
    thread_local TjHandle handle(true);
    return handle.h;
}

tjhandle threadDecompressor()
{
    thread_local TjHandle handle(false);
    return handle.h;
}

std::string compressYuv(const std::vector<uint8_t>& y, const std::vector<uint8_t>& u,
    const std::vector<uint8_t>& v, int width, int height, int quality, std::string_view app1)
{
    tjhandle h = threadCompressor();
    if (!h)
        return {};
    const unsigned char* planes[3] = { y.data(), u.data(), v.data() };
    const int cw = (width + 1) / 2;
    const int strides[3] = { width, cw, cw };
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (tjCompressFromYUVPlanes(h, planes, width, strides, height, TJSAMP_420, &out, &size, quality, 0)
        != 0) {
        tjFree(out);
        return {};
    }
    const size_t start = dropJfif(out, size);
    std::string result;
    result.reserve(size - start + app1.size());
    result.append(reinterpret_cast<const char*>(out + start), 2);
    result.append(app1);
    result.append(reinterpret_cast<const char*>(out + start + 2), size - start - 2);
    tjFree(out);
    return result;
}

} // namespace

SimJpeg::SimJpeg() = default;

SimJpeg::~SimJpeg()
{
    if (m_handle)
        tjDestroy(static_cast<tjhandle>(m_handle));
    if (m_out)
        tjFree(m_out);
}

void SimJpeg::prepareLive(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    m_period = 256;
    const int tw = width + m_period;
    const int cw = (width + 1) / 2, ch = (height + 1) / 2, tcw = cw + m_period / 2;
    m_texY.assign(size_t(tw) * height, 0);
    m_texU.assign(size_t(tcw) * ch, 128);
    m_texV.assign(size_t(tcw) * ch, 128);
    // Soft diagonal bands over a vertical gradient: cheap to encode, yet motion and exposure are visible.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < tw; ++x) {
            const double band = std::sin(2 * kPi * (x + y * 0.5) / m_period);
            const double grad = 0.35 + 0.4 * y / height;
            m_texY[size_t(y) * tw + x] = clampByte(255 * grad + 45 * band);
        }
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < tcw; ++x) {
            const double a = 2 * kPi * x / (m_period / 2);
            m_texU[size_t(y) * tcw + x] = clampByte(128 + 30 * std::cos(a));
            m_texV[size_t(y) * tcw + x] = clampByte(128 + 30 * std::sin(a + y * 0.01));
        }
    m_y.assign(size_t(width) * height, 0);
    m_u.assign(size_t(cw) * ch, 128);
    m_v.assign(size_t(cw) * ch, 128);
    if (m_out)
        tjFree(m_out);
    m_outCapacity = tjBufSize(width, height, TJSAMP_420);
    m_out = tjAlloc(int(m_outCapacity));
}

std::basic_string_view<uint8_t> SimJpeg::liveFrame(
    int width, int height, uint64_t frame, double brightness, int quality)
{
    if (width <= 0 || height <= 0)
        return {};
    if (!m_handle)
        m_handle = tjInitCompress();
    if (!m_handle)
        return {};
    prepareLive(width, height);
    if (!m_out)
        return {};

    uint8_t lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = clampByte(i * brightness);
    const int tw = width + m_period;
    const int shift = int((frame * 4) % uint64_t(m_period)) & ~1;
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = m_texY.data() + size_t(y) * tw + shift;
        uint8_t* dst = m_y.data() + size_t(y) * width;
        for (int x = 0; x < width; ++x)
            dst[x] = lut[src[x]];
    }
    const int cw = (width + 1) / 2, ch = (height + 1) / 2, tcw = cw + m_period / 2;
    for (int y = 0; y < ch; ++y) {
        std::memcpy(m_u.data() + size_t(y) * cw, m_texU.data() + size_t(y) * tcw + shift / 2, size_t(cw));
        std::memcpy(m_v.data() + size_t(y) * cw, m_texV.data() + size_t(y) * tcw + shift / 2, size_t(cw));
    }

    const unsigned char* planes[3] = { m_y.data(), m_u.data(), m_v.data() };
    const int strides[3] = { width, cw, cw };
    unsigned long size = m_outCapacity;
    if (tjCompressFromYUVPlanes(static_cast<tjhandle>(m_handle), planes, width, strides, height, TJSAMP_420,
            &m_out, &size, quality, TJFLAG_FASTDCT | TJFLAG_NOREALLOC)
        != 0)
        return {};
    const size_t start = dropJfif(m_out, size);
    return { m_out + start, size - start };
}

std::string SimJpeg::still(int width, int height, uint32_t seed, int quality, std::string_view app1)
{
    if (width <= 0 || height <= 0)
        return {};
    // The scene is defined on normalised coordinates so thumbnails look like their pictures.
    const double hue = (seed % 360) * kPi / 180;
    const double cx = 0.3 + 0.4 * ((seed >> 9) % 100) / 100.0, cy = 0.3 + 0.4 * ((seed >> 17) % 100) / 100.0;
    const double sky = 0.45 + 0.3 * ((seed >> 3) % 64) / 64.0;
    const int cw = (width + 1) / 2, ch = (height + 1) / 2;
    const double aspect = double(width) / height;
    std::vector<uint8_t> y(size_t(width) * height), u(size_t(cw) * ch), v(size_t(cw) * ch);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const double nx = double(i) / width, ny = double(j) / height;
            const double dx = (nx - cx) * aspect, dy = ny - cy;
            const double disc = std::exp(-(dx * dx + dy * dy) * 18);
            const double ground = ny > sky ? 0.25 + 0.1 * std::sin(nx * 40 + ny * 13) : 0.7 - 0.3 * ny;
            y[size_t(j) * width + i] = clampByte(255 * (ground + 0.5 * disc));
        }
    for (int j = 0; j < ch; ++j)
        for (int i = 0; i < cw; ++i) {
            const double ny = double(j) / ch;
            const double s = ny > sky ? 0.6 : 1.0;
            u[size_t(j) * cw + i] = clampByte(128 + 40 * s * std::cos(hue + ny * 2));
            v[size_t(j) * cw + i] = clampByte(128 + 40 * s * std::sin(hue + ny * 2));
        }
    return compressYuv(y, u, v, width, height, quality, app1);
}

bool SimJpeg::dimensions(std::string_view jpeg, int* width, int* height)
{
    tjhandle dh = threadDecompressor();
    int subsamp = 0, colorspace = 0;
    return dh
        && tjDecompressHeader3(dh, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(), width,
               height, &subsamp, &colorspace)
        == 0
        && *width > 0 && *height > 0;
}

std::string SimJpeg::scaled(std::string_view jpeg, int width, int height, int quality)
{
    tjhandle dh = threadDecompressor();
    if (!dh || width <= 0 || height <= 0)
        return {};
    auto* src = reinterpret_cast<const unsigned char*>(jpeg.data());
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(dh, src, jpeg.size(), &w, &h, &subsamp, &colorspace) != 0 || w <= 0 || h <= 0)
        return {};
    // Let the decoder do most of the reduction, then sample to the exact size.
    tjscalingfactor best { 1, 1 };
    int factors = 0;
    const tjscalingfactor* sf = tjGetScalingFactors(&factors);
    for (int k = 0; sf && k < factors; ++k) {
        const int sw = TJSCALED(w, sf[k]), sh = TJSCALED(h, sf[k]);
        if (sw >= width && sh >= height && sw < TJSCALED(w, best))
            best = sf[k];
    }
    const int dw = TJSCALED(w, best), dhh = TJSCALED(h, best);
    std::vector<uint8_t> rgb(size_t(dw) * dhh * 3);
    if (tjDecompress2(dh, src, jpeg.size(), rgb.data(), dw, 0, dhh, TJPF_RGB, TJFLAG_FASTDCT) != 0)
        return {};
    // Crop to the target aspect ratio around the centre.
    double cropW = dw, cropH = dhh;
    if (double(dw) / dhh > double(width) / height)
        cropW = dhh * double(width) / height;
    else
        cropH = dw * double(height) / width;
    const double x0 = (dw - cropW) / 2, y0 = (dhh - cropH) / 2;
    std::vector<uint8_t> out(size_t(width) * height * 3);
    for (int j = 0; j < height; ++j) {
        const int sy = std::min(dhh - 1, int(y0 + (j + 0.5) * cropH / height));
        for (int i = 0; i < width; ++i) {
            const int sx = std::min(dw - 1, int(x0 + (i + 0.5) * cropW / width));
            std::memcpy(&out[(size_t(j) * width + i) * 3], &rgb[(size_t(sy) * dw + sx) * 3], 3);
        }
    }
    tjhandle ch = threadCompressor();
    if (!ch)
        return {};
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    if (tjCompress2(ch, out.data(), width, 0, height, TJPF_RGB, &buf, &size, TJSAMP_420, quality, 0) != 0) {
        tjFree(buf);
        return {};
    }
    const size_t start = dropJfif(buf, size);
    std::string result(reinterpret_cast<const char*>(buf + start), size - start);
    tjFree(buf);
    return result;
}

} // namespace camsim
