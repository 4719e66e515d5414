#include "LiveViewTestSupport.h"

#include "base/TNamedTexts.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/TMetaData.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace lvtest;

namespace {

// Block offsets of the fields (datagram offset minus 12).
TMetaData withShutter(quint32 n, quint32 d)
{
    QByteArray b = informationBlock();
    put16(b, 88, n);
    put16(b, 90, d);
    TMetaData m;
    m.Assign(b);
    return m;
}

TMetaData with32(int at, qint32 v)
{
    QByteArray b = informationBlock();
    put32(b, at, quint32(v));
    TMetaData m;
    m.Assign(b);
    return m;
}

TMetaData with16(int at, quint32 v)
{
    QByteArray b = informationBlock();
    put16(b, at, v);
    TMetaData m;
    m.Assign(b);
    return m;
}

// Sets a German default locale for one test and restores the previous one.
class GermanLocale
{
public:
    GermanLocale()
        : m_previous(QLocale())
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    ~GermanLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

} // namespace

TEST(TMetaDataTest, ReadsEveryFieldAtItsOffset)
{
    // The texts are compared with the registry below; register them before anything reads them.
    RegisterLiveViewTexts();
    QByteArray b = informationBlock();
    b[19] = 8;
    put16(b, 26, 1234);
    b[43] = 1;
    put16(b, 46, 300);
    put16(b, 50, 200);
    put16(b, 54, 72);
    put16(b, 58, 64);
    b[75] = 42;
    put32(b, 96, 220);
    put32(b, 100, 35);
    put32(b, 104, 56);
    put32(b, 120, quint32(-7));
    put16(b, 130, 400);
    put16(b, 132, 1);
    b[139] = 1;
    put16(b, 146, 18);
    put16(b, 156, 16);
    put16(b, 158, 9);
    b[167] = 1; // the last of the four warning bytes
    put16(b, 184, 42);
    TMetaData m;
    m.Assign(b);
    EXPECT_EQ(m.GetOrientation(), 270);
    EXPECT_EQ(m.GetFreeCapacityText(), "1234");
    EXPECT_EQ(m.GetFocusState(), 1);
    EXPECT_EQ(m.GetFocusFrame(), QRect(300, 200, 72, 64));
    EXPECT_EQ(m.GetBatteryLevel(), 42);
    EXPECT_EQ(m.GetApertureUpperLimit(), 220);
    EXPECT_EQ(m.GetApertureLowerLimit(), 35);
    EXPECT_EQ(m.GetApertureText(), "5.6");
    EXPECT_EQ(m.GetApertureValue(), "5.6");
    EXPECT_EQ(m.GetExposureCompensation(), -7);
    EXPECT_EQ(m.GetExposureCompensationText(), "-0.7");
    EXPECT_EQ(m.GetISOText(), "400");
    EXPECT_TRUE(m.IsISOAuto());
    EXPECT_TRUE(m.IsISOWarning());
    EXPECT_TRUE(m.IsExposureWarning());
    EXPECT_EQ(m.GetWhiteBalanceText(), TNamedTexts::Text("_rsWBSunny"));
    EXPECT_EQ(TNamedTexts::German("_rsWBSunny"), QString::fromUtf8("Sonnig"));
    EXPECT_EQ(m.GetAspectRatioText(), "16:9");
    EXPECT_EQ(m.GetFocalLengthText(), "42 mm");
    const QString dump = m.GetHexDump();
    EXPECT_EQ(dump.size(), 1024);
    EXPECT_EQ(dump.mid(2 * 19, 2), "08");
    EXPECT_EQ(dump.mid(2 * 26, 4), "04D2");

    TMetaData empty;
    empty.Assign(informationBlock());
    EXPECT_FALSE(empty.IsISOAuto());
    EXPECT_FALSE(empty.IsExposureWarning());
    EXPECT_EQ(empty.GetOrientation(), 0);
}

TEST(TMetaDataTest, OnlyTheFirst512BytesAreKept)
{
    QByteArray b(600, '\x11');
    TMetaData m;
    m.Assign(b);
    EXPECT_EQ(m.Length(), 600);
    EXPECT_EQ(m.GetHexDump(), QString(1024, QLatin1Char('1')));
    m.Assign(QByteArray(3, '\x22'));
    EXPECT_EQ(m.GetHexDump().left(8), "22222200"); // no remains of the longer block
}

TEST(TMetaDataTest, ShutterSpeedTextsAndValues)
{
    struct Case
    {
        quint32 n, d;
        const char* text;
        const char* value;
    };
    const Case cases[] = {
        { 1, 250, "1/250", "250" }, { 10, 13, "1/1.3", "1.3" }, { 10, 25, "1/2.5", "2.5" },
        { 10, 40, "1/4", "4" }, { 13, 10, "1.3", "1.3\"" }, { 4, 1, "4.0", "4\"" }, { 60, 1, "60.0", "60\"" },
        { 10, 10, "1.0", "1\"" }, { 0, 0, "n/a", "n/a" }, { 1, 0, "n/a", "n/a" }, // never "1/0"
    };
    for (const Case& c : cases) {
        const TMetaData m = withShutter(c.n, c.d);
        EXPECT_EQ(m.GetShutterSpeedText(), c.text) << c.n << "/" << c.d;
        EXPECT_EQ(m.GetShutterSpeedValue(), c.value) << c.n << "/" << c.d;
    }
}

TEST(TMetaDataTest, ApertureExposureAndIsoTexts)
{
    EXPECT_EQ(with32(104, 110).GetApertureText(), "11.0");
    EXPECT_EQ(with32(104, 110).GetApertureValue(), "11");
    EXPECT_EQ(with32(104, 56).GetApertureValue(), "5.6");
    EXPECT_EQ(with32(104, 100).GetApertureValue(), "10");
    EXPECT_EQ(with32(120, 10).GetExposureCompensationText(), "1.0");
    EXPECT_EQ(with32(120, 0).GetExposureCompensationText(), "0.0");
    EXPECT_EQ(with32(120, -30).GetExposureCompensationText(), "-3.0");
    EXPECT_EQ(with16(130, 0xFFFE).GetISOText(), "Low");
    EXPECT_EQ(with16(130, 25600).GetISOText(), "25600");
}

TEST(TMetaDataTest, WhiteBalanceTable)
{
    const struct
    {
        quint32 code;
        const char* german;
    } known[] = { { 0, "Auto" }, { 16, "Schatten" }, { 17, "Bewölkt" }, { 18, "Sonnig" },
        { 20, "Kunstlicht" }, { 23, "Blitz" }, { 35, "Fluoreszent" }, { 64, "Unterwasser" },
        { 256, "Speicher 1" }, { 259, "Speicher 4" }, { 512, "CWB" } };
    TNamedTexts::ResetToDefaults();
    for (const auto& k : known)
        EXPECT_EQ(with16(146, k.code).GetWhiteBalanceText(), QString::fromUtf8(k.german)) << k.code;
    EXPECT_EQ(with16(146, 21).GetWhiteBalanceText(), "21");
    EXPECT_EQ(with16(146, 260).GetWhiteBalanceText(), "260");
}

TEST(TMetaDataTest, TextsUseAPointUnderAGermanLocale)
{
    const GermanLocale german;
    ASSERT_EQ(QLocale().decimalPoint(), ",");
    EXPECT_EQ(with32(104, 56).GetApertureText(), "5.6");
    EXPECT_EQ(with32(120, -3).GetExposureCompensationText(), "-0.3");
    EXPECT_EQ(withShutter(10, 13).GetShutterSpeedText(), "1/1.3");
    EXPECT_EQ(withShutter(13, 10).GetShutterSpeedValue(), "1.3\"");
    EXPECT_EQ(with16(26, 12345).GetFreeCapacityText(), "12345");
}
