#include "config/text_helpers.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(NthToken, SplitsModeAndPositionTexts)
{
    EXPECT_EQ("640", NthToken("640x480x32", "x", 1));
    EXPECT_EQ("480", NthToken("640x480x32", "x", 2));
    EXPECT_EQ("32", NthToken("640x480x32", "x", 3));
    EXPECT_EQ("-8", NthToken("-8,300", ",", 1));
    EXPECT_EQ("300", NthToken("-8,300", ",", 2));
}

TEST(NthToken, EdgesGiveEmptyOrWholeText)
{
    EXPECT_EQ("", NthToken("640x480x32", "x", 0));
    EXPECT_EQ("", NthToken("640x480x32", "x", -1));
    for (int n = -1; n <= 3; ++n)
        EXPECT_EQ("", NthToken("", "x", n)) << n;
    EXPECT_EQ("nodelimiter", NthToken("nodelimiter", ",", 1));
    EXPECT_EQ("", NthToken("nodelimiter", ",", 2));
    EXPECT_EQ("a", NthToken("a,", ",", 1));
    EXPECT_EQ("", NthToken("a,", ",", 2));
    EXPECT_EQ("", NthToken("a,", ",", 3));
    // An empty piece at the front or between delimiters counts as a piece.
    EXPECT_EQ("", NthToken(",5", ",", 1));
    EXPECT_EQ("5", NthToken(",5", ",", 2));
    EXPECT_EQ("", NthToken("1xx3", "x", 2));
    EXPECT_EQ("3", NthToken("1xx3", "x", 3));
    EXPECT_EQ("", NthToken("1x2x3", "x", 4));
}

TEST(CaseCopies, ChangeOnlyAsciiLetters)
{
    EXPECT_EQ("true", ToLowerCopy("TRUE"));
    EXPECT_EQ("INT", ToUpperCopy("int"));
    EXPECT_EQ("ENGLISH (INT) 09 []", ToUpperCopy("English (int) 09 []"));
    const std::string high = "\xC0\xC9\xE0\xE9\xFF\x80";
    EXPECT_EQ(high, ToLowerCopy(high));
    EXPECT_EQ(high, ToUpperCopy(high));
    EXPECT_EQ("@[`{", ToLowerCopy("@[`{"));
    EXPECT_EQ("@[`{", ToUpperCopy("@[`{"));
    std::string original = "MiXeD";
    ToLowerCopy(original);
    EXPECT_EQ("MiXeD", original);
}

TEST(LocalPath, PutsDotBackslashInFront)
{
    EXPECT_EQ(".\\Unreal.ini", LocalPath("Unreal.ini"));
    EXPECT_EQ(".\\", LocalPath(""));
}

TEST(CopyText, CutsToStorageAndReportsIt)
{
    char small[4];
    memset(small, 'z', sizeof(small));
    EXPECT_FALSE(CopyText(small, sizeof(small), "abcdef"));
    EXPECT_STREQ("abc", small);
    EXPECT_TRUE(CopyText(small, sizeof(small), "abc"));
    EXPECT_STREQ("abc", small);
    char untouched = 'q';
    EXPECT_FALSE(CopyText(&untouched, 0, "x"));
    EXPECT_EQ('q', untouched);
}
