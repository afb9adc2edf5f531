#include "launch/map_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(MapFileName, EndsInUnrWhateverTheCase)
{
    EXPECT_TRUE(MatchesFilePattern("DM-Deck16.unr", MapFilePattern));
    EXPECT_TRUE(MatchesFilePattern("DM-Deck16.UNR", MapFilePattern));
    EXPECT_TRUE(MatchesFilePattern("Sample.Unr", MapFilePattern));
    EXPECT_TRUE(MatchesFilePattern("Sample2.old.unr", MapFilePattern));
    // A file named only by its extension is a map with an empty name.
    EXPECT_TRUE(MatchesFilePattern(".unr", MapFilePattern));
}

TEST(MapFileName, ShortNameMatchesAreNoMaps)
{
    // What "*.unr" finds through the short names DM-F~QQJ.UNR and X~~~~5JB.UNR.
    EXPECT_FALSE(MatchesFilePattern("DM-Foo.unr2", MapFilePattern));
    EXPECT_FALSE(MatchesFilePattern("x.unrx", MapFilePattern));
    EXPECT_FALSE(MatchesFilePattern("unr", MapFilePattern));
    EXPECT_FALSE(MatchesFilePattern("Foounr", MapFilePattern));
    EXPECT_FALSE(MatchesFilePattern("Foo.un", MapFilePattern));
    EXPECT_FALSE(MatchesFilePattern("Foo.unr.bak", MapFilePattern));
    EXPECT_FALSE(MatchesFilePattern("", MapFilePattern));
}

TEST(MapFileName, PatternJudgesTheLongName)
{
    EXPECT_TRUE(MatchesFilePattern("Foo", "*"));
    EXPECT_TRUE(MatchesFilePattern("", "*"));
    EXPECT_TRUE(MatchesFilePattern("a.b.c", "*"));
    EXPECT_TRUE(MatchesFilePattern("DM-Foo.unr", "DM-*.unr"));
    EXPECT_FALSE(MatchesFilePattern("CTF-Foo.unr", "DM-*.unr"));
    EXPECT_TRUE(MatchesFilePattern("Map1.unr", "Map?.unr"));
    EXPECT_FALSE(MatchesFilePattern("Map.unr", "Map?.unr"));
    EXPECT_FALSE(MatchesFilePattern("Map12.unr", "Map?.unr"));
    // The "*" has to give back what the rest of the pattern needs.
    EXPECT_TRUE(MatchesFilePattern("a.unr.unr", "*.unr"));
    EXPECT_TRUE(MatchesFilePattern("x.unrx.unr", "*.unr"));
    EXPECT_FALSE(MatchesFilePattern("Foo", "*.unr"));
    EXPECT_FALSE(MatchesFilePattern("Foo", ""));
    EXPECT_TRUE(MatchesFilePattern("", ""));
}

TEST(MapName, CutAtTheFirstDot)
{
    char name[MapNameStorage];
    ASSERT_TRUE(MapNameFromFileName(name, sizeof(name), "Sample1.unr"));
    EXPECT_STREQ("Sample1", name);
    ASSERT_TRUE(MapNameFromFileName(name, sizeof(name), "Sample2.old.unr"));
    EXPECT_STREQ("Sample2", name);
    ASSERT_TRUE(MapNameFromFileName(name, sizeof(name), ".unr"));
    EXPECT_STREQ("", name);
    ASSERT_TRUE(MapNameFromFileName(name, sizeof(name), "Foo"));
    EXPECT_STREQ("Foo", name);
    ASSERT_TRUE(MapNameFromFileName(name, sizeof(name), "Trailing."));
    EXPECT_STREQ("Trailing", name);
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
