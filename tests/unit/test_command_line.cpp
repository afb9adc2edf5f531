#include "launch/command_line.h"
#include "../fuzz/fuzz_support.h"   // GuardedStorage

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const char Guard = '#';

std::string Prefixed(const char *text, char marker)
{
    char out[ParamTextSize];
    PrefixMarker(out, sizeof(out), text, marker);
    return out;
}

// Runs the composition into a storage of exactly size bytes with guard bytes behind it.
struct Composed
{
    bool fits;
    std::string text;
    bool guardIntact;
};

Composed ComposeInto(size_t size, const std::string &map, const std::string &mapParams,
                     const std::string &gameParams)
{
    GuardedStorage storage(size, Guard);
    Composed result;
    result.fits = ComposeCommandLine(storage.Data(), size, map.c_str(), mapParams.c_str(),
                                     gameParams.c_str());
    result.text = size ? std::string(storage.Data(), strnlen(storage.Data(), size)) : std::string();
    result.guardIntact = storage.GuardIntact();
    return result;
}

std::string Composition(const std::string &map, const std::string &mapParams,
                        const std::string &gameParams)
{
    Composed result = ComposeInto(1024, map, mapParams, gameParams);
    EXPECT_TRUE(result.fits);
    EXPECT_TRUE(result.guardIntact);
    return result.text;
}

std::string Caption(const std::string &map)
{
    char out[RunningCaptionSize];
    FormatRunningCaption(out, sizeof(out), map.c_str());
    return out;
}

const std::string CaptionPrefix = "Pelmar - [RUNNING: ";
}

TEST(MarkerPrefix, OnlyAMarkerAfterTheStartGetsOneInFront)
{
    // Each text is judged by its own marker only (the last two).
    const struct { const char *text; char marker; const char *prefixed; } cases[] = {
        { "?a=1", '?', "?a=1" }, { "a=1?b=2", '?', "?a=1?b=2" }, { "a=1", '?', "a=1" }, { "a?", '?', "?a?" },
        { "??", '?', "??" },     { "x -y", '-', "-x -y" },       { "-x", '-', "-x" },   { "x", '-', "x" },
        { "", '-', "" },         { "", '?', "" },                { "a-b", '?', "a-b" }, { "a?b", '-', "a?b" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.prefixed, Prefixed(c.text, c.marker)) << c.text << " " << c.marker;
}

TEST(MarkerPrefix, LongestFieldKeepsAllItsCharacters)
{
    std::string field = "a" + std::string(ParamTextSize - 3, '-');   // 254 characters
    GuardedStorage out(ParamTextSize, Guard);
    PrefixMarker(out.Data(), ParamTextSize, field.c_str(), '-');
    EXPECT_EQ("-" + field, out.Data());
    EXPECT_TRUE(out.GuardIntact());

    char none = Guard;
    PrefixMarker(&none, 0, "a-b", '-');
    EXPECT_EQ(Guard, none);
}

TEST(CommandLine, MapNameParamsAndOneBlank)
{
    // The last: an entry with an empty name, from a file named ".unr".
    const char *const cases[][4] = {
        { "Sample1", "", "", "Sample1 " },           { "Sample1", "?a=1", "", "Sample1?a=1 " },
        { "Sample1", "a=1?b=2", "", "Sample1?a=1?b=2 " }, { "Sample1", "a=1", "", "Sample1a=1 " },
        { "Sample1", "", "x -y", "Sample1 -x -y" },   { "Sample1", "", "-x", "Sample1 -x" },
        { "Sample1", "", "x", "Sample1 x" },          { "Sample1", "a=1?b=2", "x -y", "Sample1?a=1?b=2 -x -y" },
        { "Sample1", "?game=Botpack.DeathMatchPlus", "-log -nosound",
          "Sample1?game=Botpack.DeathMatchPlus -log -nosound" },
        { "", "", "", " " },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c[3], Composition(c[0], c[1], c[2]));
}

TEST(CommandLine, LongestLineFitsTheSharedBuffer)
{
    std::string map(254, 'M');
    std::string mapParams = "a" + std::string(253, '?');
    std::string gameParams = "b" + std::string(253, '-');
    std::string expected = map + "?" + mapParams + " " + "-" + gameParams;
    ASSERT_EQ(765u, expected.size());

    Composed result = ComposeInto(1024, map, mapParams, gameParams);
    EXPECT_TRUE(result.fits);
    EXPECT_TRUE(result.guardIntact);
    EXPECT_EQ(expected, result.text);

    result = ComposeInto(expected.size() + 1, map, mapParams, gameParams);
    EXPECT_TRUE(result.fits);
    EXPECT_EQ(expected, result.text);
}

TEST(CommandLine, TooSmallStorageReportsAndStaysInside)
{
    const std::string expected = "Sample1?a=1?b=2 -x -y";
    for (size_t size = 0; size <= expected.size(); ++size)
    {
        Composed result = ComposeInto(size, "Sample1", "a=1?b=2", "x -y");
        EXPECT_FALSE(result.fits) << "size " << size;
        EXPECT_TRUE(result.guardIntact) << "size " << size;
        if (size > 0)
        {
            EXPECT_EQ(expected.substr(0, size - 1), result.text) << "size " << size;
        }
    }
    Composed result = ComposeInto(expected.size() + 1, "Sample1", "a=1?b=2", "x -y");
    EXPECT_TRUE(result.fits);
    EXPECT_EQ(expected, result.text);
}

TEST(RunningCaption, ShortNamesShownWhole)
{
    EXPECT_EQ("Pelmar - [RUNNING: Sample1]", Caption("Sample1"));
    EXPECT_EQ("Pelmar - [RUNNING: A]", Caption("A"));
    EXPECT_EQ("Pelmar - [RUNNING: ]", Caption(""));
    // Eleven characters fill the 31 exactly.
    EXPECT_EQ("Pelmar - [RUNNING: DM-Morpheus]", Caption("DM-Morpheus"));
}

TEST(RunningCaption, LongNamesCutReadablyWithTheBracketKept)
{
    for (const std::string &name : { std::string("DM-Morpheus2"), std::string("DM-Deck16][-Remix"),
                                     std::string(254, 'N') })
    {
        std::string caption = Caption(name);
        SCOPED_TRACE(name);
        EXPECT_LE(caption.size(), size_t(RunningCaptionSize - 1));
        ASSERT_EQ(0u, caption.find(CaptionPrefix));
        ASSERT_GE(caption.size(), CaptionPrefix.size() + 4);
        EXPECT_EQ("...]", caption.substr(caption.size() - 4));
        // Enough of the name stays to tell maps apart.
        std::string shown = caption.substr(CaptionPrefix.size(), caption.size() - CaptionPrefix.size() - 4);
        EXPECT_GE(shown.size(), 8u);
        EXPECT_EQ(name.substr(0, shown.size()), shown);
    }
}

TEST(RunningCaption, AnyStorageSizeStaysInside)
{
    for (const std::string &name : { std::string(), std::string("A"), std::string("Sample1"),
                                     std::string("DM-Morpheus"), std::string(40, 'N') })
    {
        std::string whole = CaptionPrefix + name + "]";
        for (size_t size = 0; size <= 48; ++size)
        {
            SCOPED_TRACE(name + " in " + std::to_string(size));
            GuardedStorage storage(size, Guard);
            FormatRunningCaption(storage.Data(), size, name.c_str());
            ASSERT_TRUE(storage.GuardIntact());
            if (size == 0)
                continue;
            size_t length = strnlen(storage.Data(), size);
            ASSERT_LT(length, size);
            std::string caption(storage.Data(), length);
            if (whole.size() < size)
                EXPECT_EQ(whole, caption);
            else
                EXPECT_EQ(0u, std::string("Pelmar").find(caption.substr(0, 6)));
        }
    }
}
