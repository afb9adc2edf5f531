#include "config/settings_text.h"
#include "../fuzz/fuzz_support.h"   // GuardedStorage

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace
{
typedef std::array<unsigned long, 3> Mode;

// What format wrote into guarded storage of exactly ModeTextSize bytes: the text, marked when
// it said the text did not fit; a write past the storage instead of either.
template <typename Format>
std::string Formatted(Format format)
{
    GuardedStorage out(ModeTextSize, '#');
    const bool fits = format(out.Data());
    const std::string text(out.Data(), strnlen(out.Data(), ModeTextSize));
    return !out.GuardIntact() ? "written past the storage" : fits ? text : "did not fit, left [" + text + "]";
}

std::string ModeText(unsigned long width, unsigned long height, unsigned long bits)
{
    return Formatted([=](char *out) { return FormatModeText(out, ModeTextSize, width, height, bits); });
}

std::string Selection(const std::string &x, const std::string &y, const std::string &bits)
{
    return Formatted([&](char *out) { return FormatSelectionText(out, ModeTextSize, x, y, bits); });
}

struct PieceCase
{
    const char *text;
    int n, value;
};

void ExpectPieces(std::initializer_list<PieceCase> cases)
{
    for (const PieceCase &c : cases)
        EXPECT_EQ(c.value, PositionPiece(c.text, c.n)) << c.text << " " << c.n;
}
}

TEST(ModeListTexts, CollapsesOnlyNeighbouringRepeats)
{
    // Three refresh rates of one mode in a row give one entry; the same mode after a
    // different one is listed again.
    std::vector<Mode> modes = {
        { { 640, 480, 32 } },   { { 640, 480, 32 } },  { { 640, 480, 32 } },
        { { 800, 600, 32 } },   { { 640, 480, 32 } },  { { 640, 480, 16 } },
        { { 1024, 768, 32 } },  { { 1024, 768, 32 } },
    };
    std::vector<std::string> expected = { "640x480x32", "800x600x32", "640x480x32", "640x480x16",
                                          "1024x768x32" };
    EXPECT_EQ(expected, ModeListTexts(modes));
    EXPECT_TRUE(ModeListTexts({}).empty());
    EXPECT_EQ(std::vector<std::string>({ "0x0x0" }), ModeListTexts({ { { 0, 0, 0 } } }));
}

TEST(ModeListTexts, DropsModesWhoseTextDoesNotFit)
{
    // 19 characters fit, 20 do not; a mode too long is left out, never listed cut.
    std::vector<Mode> modes = {
        { { 1234567890, 123456, 8 } },           // 19 characters
        { { 1234567890, 1234567, 8 } },          // 20
        { { 4000000000ul, 3000000000ul, 32 } },  // 24
        { { 1234567890, 123456, 8 } },           // repeat of the last one listed
        { { 800, 600, 32 } },
    };
    std::vector<std::string> texts = ModeListTexts(modes);
    std::vector<std::string> expected = { "1234567890x123456x8", "800x600x32" };
    ASSERT_EQ(19u, expected[0].size());
    EXPECT_EQ(expected, texts);
}

TEST(ModeListTexts, ShowsTheSystemsNumbersUnsigned)
{
    // The system's fields are unsigned: a large one must not come out as a negative number.
    std::vector<std::string> texts = ModeListTexts({ { { 4294967295ul, 1, 1 } } });
    for (const std::string &text : texts)
        EXPECT_EQ(std::string::npos, text.find('-')) << text;
    EXPECT_EQ(std::vector<std::string>({ "4294967295x1x1" }), texts);
}

TEST(FormatModeText, FitsOrWritesNothing)
{
    EXPECT_EQ("1024x768x32", ModeText(1024, 768, 32));
    EXPECT_EQ("did not fit, left []", ModeText(4000000000ul, 4000000000ul, 4000000000ul));
    char one = 'q';
    EXPECT_FALSE(FormatModeText(&one, 0, 1, 1, 1));
    EXPECT_EQ('q', one);
}

TEST(FormatSelectionText, SixteenBitsReadAsThirtyTwo)
{
    // Only the depth is read that way, and only "16" itself.
    const char *const cases[][4] = {
        { "640", "480", "16", "640x480x32" },   { "640", "480", "016", "640x480x016" },
        { "640", "480", "24", "640x480x24" },   { "640", "480", "16 ", "640x480x16 " },
        { "1280", "1024", "3", "1280x1024x3" }, { "16", "16", "8", "16x16x8" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c[3], Selection(c[0], c[1], c[2]));
}

TEST(FormatSelectionText, EmptyValuesStayEmpty)
{
    EXPECT_EQ("640x480x", Selection("640", "480", ""));
    EXPECT_EQ("xx", Selection("", "", ""));
}

TEST(FormatSelectionText, OverLongTextSelectsNothingAndStaysInStorage)
{
    // 19 characters are the most that fit; then values as long as a profile read can give.
    EXPECT_EQ("123456789x1234567x0", Selection("123456789", "1234567", "0"));
    EXPECT_EQ("did not fit, left []", Selection("1234567890", "1234567", "0"));
    const std::string huge(2047, '9');
    EXPECT_EQ("did not fit, left []", Selection(huge, huge, huge));
    EXPECT_EQ("did not fit, left []", Selection("640", "480", huge));
    char one = 'q';
    EXPECT_FALSE(FormatSelectionText(&one, 0, "1", "1", "1"));
    EXPECT_EQ('q', one);
}

TEST(IsFullscreenValue, TrueInAnyCaseOrOne)
{
    for (const char *on : { "True", "TRUE", "true", "tRuE", "1" })
        EXPECT_TRUE(IsFullscreenValue(on)) << on;
    for (const char *off : { "False", "FALSE", "0", "yes", "", " true", "true ", "1 ", "01", "2", "truex",
                             "-1" })
        EXPECT_FALSE(IsFullscreenValue(off)) << "[" << off << "]";
}

TEST(LanguageEntryText, NameAndUpperCaseCode)
{
    EXPECT_EQ("English (INT)", LanguageEntryText(LanguageTable[0]));
    EXPECT_EQ("Catalan (CTT)", LanguageEntryText(LanguageTable[11]));
    EXPECT_EQ("Polish (PLT)", LanguageEntryText({ "Polish", "plt" }));
}

// The game's language file is .\Engine.<code>: the code read back from the entry a player
// picks must be the row's own, and no two rows may name one file.
TEST(LanguageTable, EachEntryReadsBackToItsOwnFile)
{
    std::set<std::string> codes;
    for (const LanguageRow &row : LanguageTable)
    {
        const std::string entry = LanguageEntryText(row);
        EXPECT_LT(entry.size(), static_cast<size_t>(LanguageEntrySize)) << entry;
        EXPECT_EQ(row.code, LanguageCodeFromEntry(entry)) << entry;
        const std::string code = row.code;
        const bool lower = std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'z'; });
        EXPECT_TRUE(code.size() == 3 && lower)
            << "[" << code << "]";
        EXPECT_TRUE(codes.insert(code).second) << code << " twice";
    }
}

TEST(LanguageCodeFromEntry, BetweenParenthesesLowerCase)
{
    // Without parentheses the whole text; with only "(" or only ")"; the first "(" and the
    // first ")" after it; a ")" before the "("; bytes above 0x7F pass unchanged.
    const char *const cases[][2] = {
        { "German (DET)", "det" },  { "English (int)", "int" }, { "German", "german" },      { "", "" },
        { "German (DET", "det" },   { "German DET)", "german det" }, { "x (A(B) (C)", "a(b" }, { "German ()", "" },
        { ") (DET)", "det" },       { "(\xC9T\xC9)", "\xC9t\xC9" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c[1], LanguageCodeFromEntry(c[0])) << c[0];
}

TEST(PositionPiece, NumbersOfAStoredPosition)
{
    // atoi's reading: leading blanks and a sign, digits up to the first other character.
    ExpectPieces({ { "-8,300", 1, -8 }, { "-8,300", 2, 300 }, { "120,45", 1, 120 }, { "120,45", 2, 45 },
                   { "0,0", 1, 0 },
                   { " 12,  34", 1, 12 }, { " 12,  34", 2, 34 }, { "+7,9px", 1, 7 }, { "+7,9px", 2, 9 } });
}

TEST(PositionPiece, NonNumbersAndMissingPiecesAreZero)
{
    // A lone number is piece 1; piece 2 is missing.
    ExpectPieces({ { "left,top", 1, 0 }, { "left,top", 2, 0 }, { "x12,y5", 1, 0 }, { "250", 1, 250 }, { "250", 2, 0 },
                   { "", 1, 0 }, { "", 2, 0 }, { ",", 1, 0 }, { ",", 2, 0 }, { "5,6", 0, 0 }, { "5,6", 3, 0 } });
}

TEST(PositionPiece, HugeNumbersSaturate)
{
    ExpectPieces({ { "2147483647,1", 1, INT_MAX }, { "2147483648,1", 1, INT_MAX },
                   { "99999999999999999999999,1", 1, INT_MAX }, { "1,4294967296", 2, INT_MAX },
                   { "-2147483649,1", 1, INT_MIN }, { "-99999999999999999999999,1", 1, INT_MIN },
                   { "99999999999999999999999,5", 2, 5 } });
}
