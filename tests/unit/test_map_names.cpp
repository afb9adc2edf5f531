#include "launch/map_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(MapFileName, EndsInUnrWhateverTheCase)
{
    // A file named only by its extension is a map with an empty name.
    for (const char *name : { "DM-Deck16.unr", "DM-Deck16.UNR", "Sample.Unr", "Sample2.old.unr", ".unr" })
        EXPECT_TRUE(MatchesFilePattern(name, MapFilePattern)) << name;
}

TEST(MapFileName, ShortNameMatchesAreNoMaps)
{
    // What "*.unr" finds through the short names DM-F~QQJ.UNR and X~~~~5JB.UNR.
    for (const char *name : { "DM-Foo.unr2", "x.unrx", "unr", "Foounr", "Foo.un", "Foo.unr.bak", "" })
        EXPECT_FALSE(MatchesFilePattern(name, MapFilePattern)) << name;
}

TEST(MapFileName, PatternJudgesTheLongName)
{
    // The "*" has to give back what the rest of the pattern needs (a.unr.unr).
    const struct { const char *name, *pattern; bool matches; } cases[] = {
        { "Foo", "*", true },          { "", "*", true },           { "a.b.c", "*", true },
        { "DM-Foo.unr", "DM-*.unr", true }, { "CTF-Foo.unr", "DM-*.unr", false }, { "Map1.unr", "Map?.unr", true },
        { "Map.unr", "Map?.unr", false }, { "Map12.unr", "Map?.unr", false }, { "a.unr.unr", "*.unr", true },
        { "x.unrx.unr", "*.unr", true }, { "Foo", "*.unr", false },   { "Foo", "", false },
        { "", "", true },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.matches, MatchesFilePattern(c.name, c.pattern)) << c.name << " ~ " << c.pattern;
}

TEST(MapName, CutAtTheFirstDot)
{
    const char *const cases[][2] = {
        { "Sample1.unr", "Sample1" }, { "Sample2.old.unr", "Sample2" }, { ".unr", "" }, { "Foo", "Foo" },
        { "Trailing.", "Trailing" },
    };
    for (const auto &c : cases)
    {
        char name[MapNameStorage];
        ASSERT_TRUE(MapNameFromFileName(name, sizeof(name), c[0])) << c[0];
        EXPECT_STREQ(c[1], name);
    }
}

TEST(MapName, LongestNameFitsTheStorage)
{
    char name[MapNameStorage];
    std::string longest(MapNameStorage - 1, 'L');
    ASSERT_TRUE(MapNameFromFileName(name, sizeof(name), (longest + ".unr").c_str()));
    EXPECT_EQ(longest, name);
}

TEST(MapName, NameThatDoesNotFitWritesNothing)
{
    char name[MapNameStorage + 8];
    memset(name, '#', sizeof(name));
    std::string tooLong(MapNameStorage, 'L');
    EXPECT_FALSE(MapNameFromFileName(name, MapNameStorage, (tooLong + ".unr").c_str()));
    EXPECT_FALSE(MapNameFromFileName(name, MapNameStorage, tooLong.c_str()));
    for (size_t i = 0; i < sizeof(name); ++i)
        ASSERT_EQ('#', name[i]) << "byte " << i;

    // The smallest storage takes only the empty name.
    char one = '#';
    EXPECT_TRUE(MapNameFromFileName(&one, 1, ".unr"));
    EXPECT_EQ('\0', one);
    one = '#';
    EXPECT_FALSE(MapNameFromFileName(&one, 1, "a.unr"));
    EXPECT_EQ('#', one);
    EXPECT_FALSE(MapNameFromFileName(&one, 0, ".unr"));
    EXPECT_EQ('#', one);
}
