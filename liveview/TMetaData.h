#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

#include <array>

// The camera information block that travels with a live view frame, with its readings and display
// texts. Display texts always use "." as decimal separator, whatever the user's locale.
class TMetaData
{
public:
    static constexpr int kAreaSize = 512;

    // Keeps the first 512 bytes; values beyond a shorter block read as 0.
    void Assign(const QByteArray& block);
    void Assign(const char* data, qsizetype size);
    void Clear();
    int Length() const { return m_length; }
    const std::array<quint8, kAreaSize>& Area() const { return m_area; }

    int GetOrientation() const; // 0, 90, 180 or 270
    QString GetFreeCapacityText() const;
    int GetFreeCapacity() const;
    int GetFocusState() const; // 1 focused, 2 failed, 0 no new result
    // The frame's pixels: left and top, width and height as the camera gives them.
    QRect GetFocusFrame() const;
    int GetBatteryLevel() const;
    int GetShutterSpeedNumerator() const;
    int GetShutterSpeedDenominator() const;
    QString GetShutterSpeedText() const;
    QString GetShutterSpeedValue() const;
    int GetAperture() const; // F-number times 10
    QString GetApertureText() const;
    QString GetApertureValue() const;
    int GetApertureLowerLimit() const;
    int GetApertureUpperLimit() const;
    int GetExposureCompensation() const; // EV times 10
    QString GetExposureCompensationText() const;
    int GetISO() const;
    QString GetISOText() const;
    bool IsISOAuto() const;
    bool IsISOWarning() const;
    bool IsExposureWarning() const;
    int GetWhiteBalance() const;
    QString GetWhiteBalanceText() const;
    QString GetAspectRatioText() const;
    int GetFocalLength() const;
    QString GetFocalLengthText() const;
    QString GetHexDump() const;

private:
    quint32 u8(int at) const { return m_area[size_t(at)]; }
    quint32 u16(int at) const { return u8(at) << 8 | u8(at + 1); }
    qint32 s32(int at) const { return qint32(u16(at) << 16 | u16(at + 2)); }

    std::array<quint8, kAreaSize> m_area {};
    quint16 m_length = 0;
};
