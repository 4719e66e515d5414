#include "exif/TTiffData.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <limits>

TEST(TiffData, ReadsInTheGivenByteOrderAndRefusesReadsPastTheEnd)
{
    const QByteArray bytes("\x01\x02\x03\x04\x05", 5);
    const TTiffData little(bytes, 0, false);
    const TTiffData big = little.WithBase(1, true);
    quint16 s = 0;
    quint32 l = 0;
    ASSERT_TRUE(little.U16(0, s));
    EXPECT_EQ(s, 0x0201);
    ASSERT_TRUE(big.U16(0, s));
    EXPECT_EQ(s, 0x0102);
    ASSERT_TRUE(little.U32(1, l));
    EXPECT_EQ(l, 0x05040302u);
    ASSERT_TRUE(big.U32(1, l));
    EXPECT_EQ(l, 0x02030405u);
    EXPECT_EQ(big.Base(), 1);
    EXPECT_TRUE(big.BigEndian());

    // A failed read leaves the output as it was.
    l = 77;
    s = 77;
    quint8 b = 77;
    EXPECT_FALSE(little.U32(2, l));
    EXPECT_FALSE(little.U16(4, s));
    EXPECT_FALSE(little.U8(5, b));
    EXPECT_FALSE(little.U8(-1, b));
    EXPECT_EQ(l, 77u);
    EXPECT_EQ(s, 77);
    EXPECT_EQ(b, 77);

    qsizetype pos = 0;
    EXPECT_TRUE(big.FromBase(4, pos));
    EXPECT_EQ(pos, 5);
    EXPECT_FALSE(big.FromBase(5, pos));
    EXPECT_FALSE(big.FromBase(std::numeric_limits<quint64>::max(), pos));
    EXPECT_FALSE(little.Contains(4, std::numeric_limits<qsizetype>::max()));
}

TEST(TiffData, DirectoryCountBeyondTheDataIsCutAndReportedIncomplete)
{
    // Count 3, but only two entries follow.
    QByteArray bytes("\x03\x00", 2);
    for (int i = 0; i < 2; ++i)
        bytes += QByteArray::fromHex("0f01"
                                     "0200"
                                     "05000000"
                                     "41424300");
    const TTiffData data(bytes, 0, false);
    const TIfdReadResult result = ReadIfd(data, 0);
    EXPECT_FALSE(result.Complete);
    ASSERT_EQ(result.Entries.size(), 2u);
    EXPECT_EQ(result.Entries[1].Tag, 0x010F);
    EXPECT_EQ(result.Entries[1].Type, 2);
    EXPECT_EQ(result.Entries[1].Count, 5u);
    EXPECT_EQ(result.Entries[1].EntryPos, 14);

    bytes[0] = 2;
    EXPECT_TRUE(ReadIfd(data.WithBase(0, false), 0).Complete);
    const TTiffData withBytes(bytes, 0, false);
    EXPECT_TRUE(ReadIfd(withBytes, 0).Complete);

    // A hostile count of 65535 entries reads what is there, never more.
    QByteArray hostile("\xFF\xFF", 2);
    hostile += QByteArray(30, '\x01');
    const TIfdReadResult cut = ReadIfd(TTiffData(hostile, 0, true), 0);
    EXPECT_FALSE(cut.Complete);
    EXPECT_EQ(cut.Entries.size(), 2u);

    EXPECT_FALSE(ReadIfd(withBytes, 0xFFFFFFF0u).Complete);
    EXPECT_TRUE(ReadIfd(withBytes, 0xFFFFFFF0u).Entries.empty());
}
