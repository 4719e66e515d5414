#include "liveview/TCounter.h"
#include "liveview/TIdBytesList.h"

#include <gtest/gtest.h>

TEST(TCounterTest, CountsTheEventsOfTheLastSecond)
{
    TCounter c;
    EXPECT_EQ(c.Tick(0), 1);
    EXPECT_EQ(c.Tick(400), 2);
    EXPECT_EQ(c.Tick(900), 3);
    EXPECT_EQ(c.Tick(1500), 2);
    EXPECT_EQ(c.Tick(1500), 3);
    EXPECT_EQ(c.Tick(1900), 4); // 900 is exactly 1000 ms old: still inside
    EXPECT_EQ(c.Tick(5000), 1);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
}

TEST(TCounterTest, SurvivesTheWrapOfTheTickCount)
{
    TCounter c;
    EXPECT_EQ(c.Tick(0xFFFFFF00u), 1);
    EXPECT_EQ(c.Tick(0x00000100u), 2); // 512 ms later across the wrap
    EXPECT_EQ(c.Tick(0x00000400u), 2);
}

TEST(TCounterTest, RealTicksCount)
{
    TCounter c;
    EXPECT_EQ(c.Tick(), 1);
    EXPECT_EQ(c.Tick(), 2);
}

TEST(TIdBytesListTest, OutOfRangeAccessIsHarmless)
{
    TIdBytesList list;
    EXPECT_TRUE(list.GetBytes(0).isEmpty());
    EXPECT_FALSE(list.GetTime(-1).isValid());
    list.Delete(3);
    list.Add("a");
    const QDateTime t = QDateTime::currentDateTime().addSecs(-5);
    list.Add("b", t);
    list.Add("c");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetTime(1), t);
    EXPECT_TRUE(list.GetTime(0).isValid());
    list.Delete(1);
    EXPECT_EQ(list.GetBytes(1), "c");
    list.Delete(0);
    EXPECT_EQ(list.GetBytes(0), "c");
    EXPECT_TRUE(list.GetBytes(1).isEmpty());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}
