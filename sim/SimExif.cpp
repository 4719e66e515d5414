#include "sim/SimExif.h"

#include "sim/SimCard.h"
#include "sim/SimClock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace camsim {

namespace {

enum Type : uint16_t {
    Byte = 1,
    Ascii = 2,
    Short = 3,
    Long = 4,
    Rational = 5,
    Undefined = 7,
    SRational = 10,
    Ifd = 13
};

struct Field
{
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    std::string data; // little-endian value bytes, count * size of type
};

void put16(std::string& s, uint32_t v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

void put32(std::string& s, uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

Field ascii(uint16_t tag, std::string text, size_t padTo = 0)
{
    if (text.size() + 1 < padTo)
        text.append(padTo - 1 - text.size(), ' ');
    text += '\0';
    return { tag, Ascii, uint32_t(text.size()), text };
}

Field shorts(uint16_t tag, std::initializer_list<uint32_t> values)
{
    std::string d;
    for (uint32_t v : values)
        put16(d, v);
    return { tag, Short, uint32_t(values.size()), d };
}

Field long1(uint16_t tag, uint32_t v, uint16_t type = Long)
{
    std::string d;
    put32(d, v);
    return { tag, type, 1, d };
}

Field rational(uint16_t tag, uint32_t num, uint32_t den, uint16_t type = Rational)
{
    std::string d;
    put32(d, num);
    put32(d, den);
    return { tag, type, 1, d };
}

Field undefined(uint16_t tag, std::string bytes)
{
    return { tag, Undefined, uint32_t(bytes.size()), bytes };
}

size_t ifdSize(const std::vector<Field>& fields)
{
    size_t size = 2 + 12 * fields.size() + 4;
    for (const Field& f : fields)
        if (f.data.size() > 4)
            size += (f.data.size() + 1) & ~size_t(1);
    return size;
}

// Writes an IFD placed at `base` (offsets are counted from the start of the TIFF header or, in the
// maker note, from the start of the maker note), values that do not fit behind the entries.
std::string writeIfd(std::vector<Field> fields, uint32_t base, uint32_t next = 0)
{
    std::sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) { return a.tag < b.tag; });
    std::string out, values;
    const uint32_t valueBase = base + uint32_t(2 + 12 * fields.size() + 4);
    put16(out, uint32_t(fields.size()));
    for (const Field& f : fields) {
        put16(out, f.tag);
        put16(out, f.type);
        put32(out, f.count);
        if (f.data.size() <= 4) {
            std::string inl = f.data;
            inl.resize(4, '\0');
            out += inl;
        } else {
            put32(out, valueBase + uint32_t(values.size()));
            values += f.data;
            if (values.size() % 2)
                values += '\0';
        }
    }
    put32(out, next);
    return out + values;
}

std::string dateText(const LocalTime& t)
{
    char buf[32];
    std::snprintf(
        buf, sizeof buf, "%04d:%02d:%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

std::string makerNote(const SimShotInfo& shot)
{
    const std::string header("OLYMPUS\0II\3\0", 12);
    const std::vector<Field> equipment {
        undefined(0x0000, "0100"),
        ascii(0x0101, "BHN" + std::to_string(100000 + shot.focalLength * 37), 32),
        ascii(0x0203, "OLYMPUS M.14-42mm F3.5-5.6 II R", 32),
        shorts(0x0207, { 14 }),
        shorts(0x0208, { 42 }),
    };
    const std::vector<Field> settings {
        undefined(0x0000, "0100"), shorts(0x0200, { 2 }), // program
        shorts(0x0202, { 5 }), // ESP metering
        shorts(0x0500, { 0 }), // auto white balance
    };
    // Main IFD with two sub-IFD pointers; its size does not depend on their values.
    std::vector<Field> main { long1(0x2010, 0, Ifd), long1(0x2020, 0, Ifd) };
    const uint32_t mainAt = 12;
    const uint32_t equipmentAt = mainAt + uint32_t(ifdSize(main));
    const uint32_t settingsAt = equipmentAt + uint32_t(ifdSize(equipment));
    main = { long1(0x2010, equipmentAt, Ifd), long1(0x2020, settingsAt, Ifd) };
    return header + writeIfd(main, mainAt) + writeIfd(equipment, equipmentAt)
        + writeIfd(settings, settingsAt);
}

void exposureRational(double seconds, uint32_t& num, uint32_t& den)
{
    if (seconds <= 0) {
        num = 0;
        den = 1;
    } else if (seconds < 1) {
        num = 1;
        den = uint32_t(std::lround(1 / seconds));
    } else {
        num = uint32_t(std::lround(seconds * 10));
        den = 10;
    }
}

} // namespace

std::string SimExif::app1(const SimShotInfo& shot, const LocalTime& taken, int width, int height)
{
    const std::string tiff = tiffBlock(shot, taken, width, height, false, 0);
    std::string segment("\xFF\xE1", 2);
    const size_t length = 2 + 6 + tiff.size();
    segment += char((length >> 8) & 0xFF);
    segment += char(length & 0xFF);
    segment += std::string("Exif\0\0", 6);
    segment += tiff;
    return segment;
}

std::string SimExif::orfHeader(const SimShotInfo& shot, const LocalTime& taken, int width, int height)
{
    std::string header = tiffBlock(shot, taken, width, height, true, OrfDataOffset);
    header.resize(OrfDataOffset, '\0');
    return header;
}

std::string SimExif::tiffBlock(
    const SimShotInfo& shot, const LocalTime& taken, int width, int height, bool raw, uint32_t dataAt)
{
    const std::string when = dateText(taken);
    uint32_t expNum = 0, expDen = 1;
    exposureRational(shot.exposureSeconds, expNum, expDen);
    std::vector<Field> exif {
        rational(0x829A, expNum, expDen),
        rational(0x829D, uint32_t(std::lround(shot.fNumber * 10)), 10),
        shorts(0x8822, { 2 }),
        shorts(0x8827, { uint32_t(std::clamp(shot.iso, 0, 65535)) }),
        undefined(0x9000, "0230"),
        ascii(0x9003, when),
        ascii(0x9004, when),
        undefined(0x9101, std::string("\1\2\3\0", 4)),
        rational(0x9204, uint32_t(int32_t(std::lround(shot.exposureBias * 10))), 10, SRational),
        shorts(0x9207, { 5 }),
        rational(0x920A, uint32_t(std::max(0, shot.focalLength)), 1),
        undefined(0x927C, makerNote(shot)),
        undefined(0xA000, "0100"),
        shorts(0xA001, { 1 }),
        long1(0xA002, uint32_t(width)),
        long1(0xA003, uint32_t(height)),
    };
    std::vector<Field> ifd0 {
        ascii(0x010E, "OLYMPUS DIGITAL CAMERA", 32),
        ascii(0x010F, shot.make.empty() ? "OLYMPUS IMAGING CORP." : shot.make),
        ascii(0x0110, shot.model.empty() ? "E-M10" : shot.model),
        shorts(0x0112, { uint32_t(std::clamp(shot.orientation, 1, 8)) }),
        rational(0x011A, 350, 1),
        rational(0x011B, 350, 1),
        shorts(0x0128, { 2 }),
        ascii(0x0131, "Version 1.0", 32),
        ascii(0x0132, when),
        shorts(0x0213, { 2 }),
        long1(0x8769, 0),
    };
    if (raw) {
        // The raw picture's own entries: a full-resolution image whose sensor data follows the header.
        ifd0.push_back(long1(0x00FE, 0));
        ifd0.push_back(long1(0x0100, uint32_t(width)));
        ifd0.push_back(long1(0x0101, uint32_t(height)));
        ifd0.push_back(shorts(0x0102, { 16 }));
        ifd0.push_back(shorts(0x0103, { 1 }));
        ifd0.push_back(long1(0x0111, dataAt));
        ifd0.push_back(long1(0x0117, uint32_t(width) * uint32_t(height) * 3 / 2));
    }
    const uint32_t exifAt = 8 + uint32_t(ifdSize(ifd0));
    for (Field& field : ifd0)
        if (field.tag == 0x8769)
            field = long1(0x8769, exifAt);

    // Olympus raw files are TIFF files with their own magic ("IIRO"); the JPEG's block is plain TIFF.
    std::string tiff(raw ? "IIRO" : "II*\0", 4);
    put32(tiff, 8);
    tiff += writeIfd(ifd0, 8);
    tiff += writeIfd(exif, exifAt);
    return tiff;
}

} // namespace camsim
