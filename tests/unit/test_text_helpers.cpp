#include "config/text_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace
{
struct TokenCase
{
    const char *text, *delimiters;
    int n;
    const char *piece;
};

void ExpectPieces(std::initializer_list<TokenCase> cases)
{
    for (const TokenCase &c : cases)
        EXPECT_EQ(c.piece, NthToken(c.text, c.delimiters, c.n)) << c.text << " " << c.n;
}
}

TEST(NthToken, SplitsModeAndPositionTexts)
{
    ExpectPieces({ { "640x480x32", "x", 1, "640" }, { "640x480x32", "x", 2, "480" }, { "640x480x32", "x", 3, "32" },
                   { "-8,300", ",", 1, "-8" }, { "-8,300", ",", 2, "300" } });
}

TEST(NthToken, EdgesGiveEmptyOrWholeText)
{
    for (int n = -1; n <= 3; ++n)
        EXPECT_EQ("", NthToken("", "x", n)) << n;
    // An empty piece at the front or between delimiters counts as a piece.
    ExpectPieces({ { "640x480x32", "x", 0, "" }, { "640x480x32", "x", -1, "" }, { "a,", ",", 1, "a" },
                   { "nodelimiter", ",", 1, "nodelimiter" }, { "nodelimiter", ",", 2, "" }, { "a,", ",", 2, "" },
                   { "a,", ",", 3, "" }, { ",5", ",", 1, "" }, { ",5", ",", 2, "5" }, { "1xx3", "x", 2, "" },
                   { "1xx3", "x", 3, "3" }, { "1x2x3", "x", 4, "" } });
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
