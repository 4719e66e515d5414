#include "exif/TExifFormat.h"

#include "ExifTestFile.h"

#include "base/QStringPrinter.h"

#include <gtest/gtest.h>

using exiftest::LocaleGuard;
using exiftest::TiffBuilder;

namespace {

// The first entry of IFD0 of a built TIFF block.
struct Built
{
    QByteArray bytes;
    TTiffData data;
    TIfdEntry entry;
};

Built firstEntry(const TiffBuilder& builder)
{
    Built b;
    b.bytes = builder.build();
    b.data = TTiffData(b.bytes, 0, b.bytes.startsWith("MM"));
    quint32 ifd0 = 0;
    b.data.U32(4, ifd0);
    const TIfdReadResult ifd = ReadIfd(b.data, ifd0);
    if (!ifd.Entries.empty())
        b.entry = ifd.Entries.front();
    return b;
}

QString format(const TiffBuilder& builder, TFormatMode mode = TFormatMode::Ordinary,
    const QString& separator = QStringLiteral(";"))
{
    const Built b = firstEntry(builder);
    return FormatValue(b.data, b.entry, separator, mode);
}

} // namespace

TEST(ExifFormat, GeneralNumberIsShortestTextInTheUsersSeparator)
{
    LocaleGuard german(QLocale::German);
    EXPECT_EQ(GeneralNumber(1.0 / 200), QStringLiteral("0,005"));
    EXPECT_EQ(GeneralNumber(56.0 / 10), QStringLiteral("5,6"));
    EXPECT_EQ(GeneralNumber(17), QStringLiteral("17"));
    EXPECT_EQ(GeneralNumber(0), QStringLiteral("0"));
    EXPECT_EQ(GeneralNumber(-0.7), QStringLiteral("-0,7"));
    EXPECT_EQ(GeneralNumber(1.0 / 3), QStringLiteral("0,333333333333333"));
    EXPECT_EQ(GeneralNumber(0.00001), QStringLiteral("0,00001"));
    EXPECT_EQ(GeneralNumber(0.000001), QStringLiteral("1E-6"));
    EXPECT_EQ(GeneralNumber(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(GeneralNumber(1234567890123456.0), QStringLiteral("1,23456789012346E15"));
    EXPECT_EQ(GeneralNumber(0.1 + 0.2), QStringLiteral("0,3"));
    EXPECT_EQ(GeneralNumber(9.9999999999999999), QStringLiteral("10"));

    double v = 0;
    ASSERT_TRUE(ParseGeneralNumber(QStringLiteral("13,755"), v));
    EXPECT_DOUBLE_EQ(v, 13.755);
    ASSERT_TRUE(ParseGeneralNumber(GeneralNumber(1.0 / 3), v));
    EXPECT_NEAR(v, 1.0 / 3, 1e-15);
    ASSERT_TRUE(ParseGeneralNumber(QStringLiteral("1E-6"), v));
    EXPECT_DOUBLE_EQ(v, 1e-6);
    v = 5;
    EXPECT_FALSE(ParseGeneralNumber(QStringLiteral("1.234,5"), v));
    EXPECT_FALSE(ParseGeneralNumber(QStringLiteral(""), v));
    EXPECT_FALSE(ParseGeneralNumber(QStringLiteral("abc"), v));
    EXPECT_FALSE(ParseGeneralNumber(QStringLiteral("inf"), v));
    EXPECT_EQ(v, 5);
}

TEST(ExifFormat, GeneralNumberFollowsAnEnglishLocaleToo)
{
    LocaleGuard english(QLocale::English);
    EXPECT_EQ(GeneralNumber(5.6), QStringLiteral("5.6"));
    double v = 0;
    ASSERT_TRUE(ParseGeneralNumber(QStringLiteral("48.5"), v));
    EXPECT_DOUBLE_EQ(v, 48.5);
}

TEST(ExifFormat, ElementTextsByTypeAndMode)
{
    LocaleGuard german(QLocale::German);
    for (const bool big : { false, true }) {
        SCOPED_TRACE(big ? "MM" : "II");
        TiffBuilder rational(big);
        rational.rational(0, 0x829A, { { 1, 250 } });
        EXPECT_EQ(format(rational, TFormatMode::Fraction), QStringLiteral("1/250"));
        EXPECT_EQ(format(rational), QStringLiteral("0,004"));

        TiffBuilder zero(big);
        zero.rational(0, 0x829A, { { 7, 0 } });
        EXPECT_EQ(format(zero, TFormatMode::Fraction), QStringLiteral("7"));

        TiffBuilder signedRational(big);
        signedRational.rational(0, 0x9204, { { -7, 10 }, { 3, -1 } }, 10);
        EXPECT_EQ(format(signedRational), QStringLiteral("-0,7;3"));

        TiffBuilder shorts(big);
        shorts.shorts(0, 0x0100, { 1, 65535, 3 });
        EXPECT_EQ(format(shorts), QStringLiteral("1;65535;3"));
        EXPECT_EQ(format(shorts, TFormatMode::Ordinary, QStringLiteral(".")), QStringLiteral("1.65535.3"));

        // Signed types print signed wherever they are stored.
        TiffBuilder sshort(big);
        sshort.add(0, { 0x0100, 8, 2, sshort.u16({ 65535, 2 }) });
        EXPECT_EQ(format(sshort), QStringLiteral("-1;2"));
        TiffBuilder slongInline(big);
        slongInline.add(0, { 0x0100, 9, 1, slongInline.u32({ 0xFFFFFFFEu }) });
        EXPECT_EQ(format(slongInline), QStringLiteral("-2"));
        TiffBuilder longs(big);
        longs.longs(0, 0x0100, { 0xFFFFFFFEu, 5 });
        EXPECT_EQ(format(longs), QStringLiteral("4294967294;5"));

        TiffBuilder undefined(big);
        undefined.bytes(0, 0x9000, 7, "0230");
        EXPECT_EQ(format(undefined, TFormatMode::Character), QStringLiteral("0230"));
        EXPECT_EQ(format(undefined), QStringLiteral("48;50;51;48"));

        TiffBuilder camera(big);
        camera.bytes(0, 0x0209, 7, QByteArray("OLYMPUS DIGITAL CAMERA   \0\0\0", 28));
        EXPECT_EQ(format(camera, TFormatMode::Character), QStringLiteral("OLYMPUS DIGITAL CAMERA"));

        TiffBuilder floats(big);
        floats.add(0, { 0x0100, 11, 1, floats.u32({ 0x40200000u }) }); // 2.5f
        EXPECT_EQ(format(floats), QStringLiteral("2,5"));
        TiffBuilder doubles(big);
        // 0.1 as IEEE double, high word first in big-endian files.
        doubles.add(0,
            { 0x0100, 12, 1,
                big ? doubles.u32({ 0x3FB99999u, 0x9999999Au })
                    : doubles.u32({ 0x9999999Au, 0x3FB99999u }) });
        EXPECT_EQ(format(doubles), QStringLiteral("0,1"));
    }
}

TEST(ExifFormat, AsciiValuesInTheEntryAndAtAnOffset)
{
    // Three characters and the zero byte fit into the entry itself.
    TiffBuilder four;
    four.ascii(0, 0x0110, "E-1");
    const Built b = firstEntry(four);
    EXPECT_EQ(b.entry.Count, 4u);
    EXPECT_EQ(FormatValue(b.data, b.entry), QStringLiteral("E-1"));

    TiffBuilder padded;
    padded.ascii(0, 0x010F, "OLYMPUS IMAGING CORP.   ");
    EXPECT_EQ(format(padded), QStringLiteral("OLYMPUS IMAGING CORP."));

    TiffBuilder stopsAtZero;
    stopsAtZero.bytes(0, 0x013B, 2, QByteArray("Anna\0Bert\0", 10));
    EXPECT_EQ(format(stopsAtZero), QStringLiteral("Anna"));

    TiffBuilder utf8;
    utf8.ascii(0, 0x013B, "J\xC3\xBCrgen");
    EXPECT_EQ(format(utf8), QStringLiteral("Jürgen"));
    TiffBuilder latin1;
    latin1.ascii(0, 0x013B, "J\xFCrgen");
    EXPECT_EQ(format(latin1), QStringLiteral("Jürgen"));
}

TEST(ExifFormat, ValuesOutsideTheDataAndUnknownTypesGiveEmptyTexts)
{
    TiffBuilder stale;
    stale.add(0, { 0x010F, 2, 20, {}, -1, 0x7FFFFFF0 });
    EXPECT_EQ(format(stale), QString());

    // Count * size overflowing 32 bits must not wrap into a small, readable size.
    TiffBuilder huge;
    huge.add(0, { 0x0100, 5, 0x20000001u, {}, -1, 8 });
    EXPECT_EQ(format(huge), QString());

    // Half of the value lies behind the end.
    TiffBuilder halfOut;
    halfOut.shorts(0, 0x0100, { 1, 2, 3, 4 });
    Built b = firstEntry(halfOut);
    b.entry.Count = 40;
    EXPECT_EQ(FormatValue(b.data, b.entry), QString());

    for (const quint16 type : { 0, 13, 14, 99 }) {
        TiffBuilder odd;
        odd.add(0, { 0x0100, type, 1, odd.u32({ 5 }) });
        EXPECT_EQ(format(odd), QString()) << type;
        EXPECT_EQ(ElementSize(type), 0);
    }
    EXPECT_EQ(ElementSize(12), 8);
    EXPECT_EQ(ElementSize(3), 2);

    // Arrays longer than 255 elements are formatted whole.
    TiffBuilder longArray;
    longArray.bytes(0, 0x0100, 1, QByteArray(300, '\x01'));
    EXPECT_EQ(format(longArray).count(u';'), 299);
}
