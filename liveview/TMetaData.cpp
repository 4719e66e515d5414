#include "liveview/TMetaData.h"

#include "base/TNamedTexts.h"
#include "liveview/LiveViewTexts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Positions within the block, which starts at datagram byte 12.
enum Field : int {
    Orientation = 19,
    RemainingShots = 26,
    FocusState = 43,
    FocusLeft = 46,
    FocusTop = 50,
    FocusWidth = 54,
    FocusHeight = 58,
    Battery = 75,
    ShutterNumerator = 88,
    ShutterDenominator = 90,
    ApertureUpper = 96,
    ApertureLower = 100,
    Aperture = 104,
    ExposureCompensation = 120,
    Iso = 130,
    IsoAuto = 132,
    IsoWarning = 139,
    WhiteBalance = 146,
    AspectHorizontal = 156,
    AspectVertical = 158,
    ExposureWarning = 164,
    FocalLength = 184,
};

struct WhiteBalanceName
{
    int code;
    const char* name;
};

constexpr WhiteBalanceName kWhiteBalanceNames[] = {
    { 0, "_rsWBAuto" },
    { 16, "_rsWBShadow" },
    { 17, "_rsWBCloudy" },
    { 18, "_rsWBSunny" },
    { 20, "_rsWBIncandescent" },
    { 23, "_rsWBFlash" },
    { 35, "_rsWBFluorescent" },
    { 64, "_rsWBUnderwater" },
    { 256, "_rsWBCapture1" },
    { 257, "_rsWBCapture2" },
    { 258, "_rsWBCapture3" },
    { 259, "_rsWBCapture4" },
    { 512, "_rsCWB" },
};

bool hasFraction(double v)
{
    return v != std::trunc(v);
}

} // namespace

void TMetaData::Assign(const QByteArray& block)
{
    Assign(block.constData(), block.size());
}

void TMetaData::Assign(const char* data, qsizetype size)
{
    m_area.fill(0);
    if (!data || size < 0)
        size = 0;
    std::memcpy(m_area.data(), data, size_t(std::min<qsizetype>(size, kAreaSize)));
    m_length = quint16(std::min<qsizetype>(size, 0xFFFF));
}

void TMetaData::Clear()
{
    m_area.fill(0);
    m_length = 0;
}

int TMetaData::GetOrientation() const
{
    switch (u8(Orientation)) {
    case 3:
        return 180;
    case 6:
        return 90;
    case 8:
        return 270;
    default:
        return 0;
    }
}

int TMetaData::GetFreeCapacity() const
{
    return int(u16(RemainingShots));
}

QString TMetaData::GetFreeCapacityText() const
{
    return QString::number(GetFreeCapacity());
}

int TMetaData::GetFocusState() const
{
    return int(u8(FocusState));
}

QRect TMetaData::GetFocusFrame() const
{
    return QRect(int(u16(FocusLeft)), int(u16(FocusTop)), int(u16(FocusWidth)), int(u16(FocusHeight)));
}

int TMetaData::GetBatteryLevel() const
{
    return int(u8(Battery));
}

int TMetaData::GetShutterSpeedNumerator() const
{
    return int(u16(ShutterNumerator));
}

int TMetaData::GetShutterSpeedDenominator() const
{
    return int(u16(ShutterDenominator));
}

QString TMetaData::GetShutterSpeedText() const
{
    const int n = GetShutterSpeedNumerator();
    const int d = GetShutterSpeedDenominator();
    // A zero denominator is checked first, so 1/0 never shows as a speed.
    if (d == 0)
        return QStringLiteral("n/a");
    if (n == 1)
        return QString::asprintf("%d/%d", 1, d);
    if (n == 10 && d > 10) {
        if (d % 10 != 0)
            return QString::asprintf("1/%.1f", d / 10.0);
        return QString::asprintf("1/%d", d / 10);
    }
    return QString::asprintf("%.1f", double(n) / d);
}

QString TMetaData::GetShutterSpeedValue() const
{
    const int n = GetShutterSpeedNumerator();
    const int d = GetShutterSpeedDenominator();
    if (d == 0)
        return QStringLiteral("n/a");
    if (n == 1)
        return QString::number(d);
    if (n == 10 && d > 10) {
        if (d % 10 != 0)
            return QString::asprintf("%.1f", d / 10.0);
        return QString::number(d / 10);
    }
    const double seconds = double(n) / d;
    return QString::asprintf(hasFraction(seconds) ? "%.1f\"" : "%.0f\"", seconds);
}

int TMetaData::GetAperture() const
{
    return s32(Aperture);
}

QString TMetaData::GetApertureText() const
{
    return QString::asprintf("%.1f", GetAperture() / 10.0);
}

QString TMetaData::GetApertureValue() const
{
    const double f = GetAperture() / 10.0;
    return QString::asprintf(f >= 10 ? "%.0f" : "%.1f", f);
}

int TMetaData::GetApertureLowerLimit() const
{
    return s32(ApertureLower);
}

int TMetaData::GetApertureUpperLimit() const
{
    return s32(ApertureUpper);
}

int TMetaData::GetExposureCompensation() const
{
    return s32(ExposureCompensation);
}

QString TMetaData::GetExposureCompensationText() const
{
    return QString::asprintf("%.1f", GetExposureCompensation() / 10.0);
}

int TMetaData::GetISO() const
{
    return int(u16(Iso));
}

QString TMetaData::GetISOText() const
{
    const int iso = GetISO();
    return iso == 0xFFFE ? QStringLiteral("Low") : QString::number(iso);
}

bool TMetaData::IsISOAuto() const
{
    return u16(IsoAuto) != 0;
}

bool TMetaData::IsISOWarning() const
{
    return u8(IsoWarning) != 0;
}

bool TMetaData::IsExposureWarning() const
{
    return u8(ExposureWarning) || u8(ExposureWarning + 1) || u8(ExposureWarning + 2)
        || u8(ExposureWarning + 3);
}

int TMetaData::GetWhiteBalance() const
{
    return int(u16(WhiteBalance));
}

QString TMetaData::GetWhiteBalanceText() const
{
    const int code = GetWhiteBalance();
    for (const WhiteBalanceName& entry : kWhiteBalanceNames) {
        if (entry.code == code) {
            static const bool registered = (RegisterLiveViewTexts(), true);
            Q_UNUSED(registered);
            return rs(entry.name);
        }
    }
    return QString::number(code);
}

QString TMetaData::GetAspectRatioText() const
{
    return QString::asprintf("%d:%d", int(u16(AspectHorizontal)), int(u16(AspectVertical)));
}

int TMetaData::GetFocalLength() const
{
    return int(u16(FocalLength));
}

QString TMetaData::GetFocalLengthText() const
{
    return QString::asprintf("%d mm", GetFocalLength());
}

QString TMetaData::GetHexDump() const
{
    const QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(m_area.data()), kAreaSize);
    return QString::fromLatin1(raw.toHex().toUpper());
}
