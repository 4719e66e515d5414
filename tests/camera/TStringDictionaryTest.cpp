#include "camera/TStringDictionary.h"

#include <gtest/gtest.h>

TEST(StringDictionary, AddReplacesOrKeepsAnExistingKey)
{
    TStringDictionary d;
    EXPECT_TRUE(d.Add("18", "Sonnig"));
    EXPECT_TRUE(d.Add("16", "Schatten"));
    EXPECT_FALSE(d.Add("18", "Sunny", false));
    EXPECT_EQ(d.ValueOf("18"), "Sonnig");
    EXPECT_TRUE(d.Add("18", "Sunny", true));
    EXPECT_EQ(d.ValueOf("18"), "Sunny");
    EXPECT_EQ(d.Count(), 2); // replacing appends nothing
    EXPECT_EQ(d.At(0).Key, "18");
    EXPECT_TRUE(d.At(5).Key.isEmpty());
}

TEST(StringDictionary, LooksUpBothWaysWithoutAsciiCaseAndWithFallback)
{
    TStringDictionary d;
    d.Add("normal", "Einzel");
    d.Add("continuous-H", "Sequentiell H");
    EXPECT_FALSE(d.Add("NORMAL", "shadowed", false)); // the same key in other case

    EXPECT_EQ(d.Count(), 2);
    EXPECT_EQ(d.ValueOf("Continuous-h"), "Sequentiell H");
    EXPECT_EQ(d.KeyOf("sequentiell h"), "continuous-H");
    EXPECT_EQ(d.ValueOf("19"), "19");
    EXPECT_EQ(d.ValueOf("19", false), "");
    EXPECT_EQ(d.KeyOf("Bewölkt"), "Bewölkt");
    EXPECT_EQ(d.KeyOf("Bewölkt", false), "");

    int index = 7;
    EXPECT_TRUE(d.FindKey("NORMAL", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(d.FindValue("nothing", index));
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(d.HasValue("EINZEL"));
}

TEST(StringDictionary, FirstOfEqualValuesWinsAndCaseFoldingIsAsciiOnly)
{
    TStringDictionary d;
    d.Add("ART01", "Pop-Art");
    d.Add("popart", "Pop-Art");
    d.Add("17", "Bewölkt");
    EXPECT_EQ(d.KeyOf("pop-art"), "ART01");
    // Protocol names are ASCII; letters beyond it are compared as written.
    EXPECT_EQ(d.KeyOf("BEWÖLKT", false), "");
    EXPECT_EQ(d.KeyOf("BEWöLKT", false), "17");
    EXPECT_FALSE(TStringDictionary::SameText("ab", "abc"));
}
