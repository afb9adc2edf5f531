/* Mode texts, the mode list, selection texts, language entries and stored positions.
   Fields: modes (numbers in any text, three a mode), x, y, bits, storage size, language
   name, language code, an entry text, a position, a piece number. */
#include "config/settings_text.h"
#include "config/text_helpers.h"
#include "fuzz_support.h"

#include <algorithm>
#include <climits>

typedef std::array<unsigned long, 3> Mode;

/* Every run of digits is a number (a long one wraps: any value will do). */
static std::vector<Mode> ModesOf(const std::string &text)
{
    std::vector<unsigned long> numbers;
    for (size_t i = 0; i < text.size() && numbers.size() < 600; ++i)
    {
        if (text[i] < '0' || text[i] > '9')
            continue;
        unsigned long value = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            value = value * 10 + static_cast<unsigned long>(text[i] - '0');
        numbers.push_back(value);
    }
    std::vector<Mode> modes;
    for (size_t i = 0; i + 2 < numbers.size(); i += 3)
        modes.push_back(Mode{ { numbers[i], numbers[i + 1], numbers[i + 2] } });
    return modes;
}

/* A mode or selection text in storage of size: all length bytes of it, else an empty one. */
template <typename Format>
static std::string FitsOrEmpty(size_t size, size_t length, char fill, Format format)
{
    GuardedStorage out(size, fill);
    const bool fits = format(out.Data(), size);
    FUZZ_CHECK(out.GuardIntact() && fits == (length < size));
    if (size == 0)
        FUZZ_CHECK(out.Untouched());
    else
        FUZZ_CHECK(out.Terminated() && out.Text().size() == (fits ? length : 0));
    return size == 0 ? "" : out.Text();
}

static std::string CheckSelection(const std::string &x, const std::string &y, const std::string &bits,
                                  size_t size)
{
    // The values go in as C strings: each ends at its first '\0'. "32" for "16" keeps the length.
    const std::string cx = x.c_str(), cy = y.c_str(), cBits = bits.c_str();
    const auto format = [&](char *out, size_t room) { return FormatSelectionText(out, room, x, y, bits); };
    const std::string text = FitsOrEmpty(size, cx.size() + cy.size() + cBits.size() + 2,
                                         FillByteAvoiding({ x, y, bits, "x32" }), format);
    // Split back at "x" when no value holds one.
    if (!text.empty() && (cx + cy + cBits).find('x') == std::string::npos)
        FUZZ_CHECK(NthToken(text, "x", 1) == cx && NthToken(text, "x", 2) == cy &&
                   NthToken(text, "x", 3) == (bits == "16" ? "32" : cBits));
    return text;
}

static bool CheckExamples()
{
    const std::vector<Mode> repeats = { { { 640, 480, 32 } }, { { 640, 480, 32 } }, { { 800, 600, 32 } },
                                        { { 640, 480, 32 } } };
    const std::vector<std::string> kept = { "640x480x32", "800x600x32", "640x480x32" };
    FUZZ_CHECK(ModeListTexts(repeats) == kept);
    FUZZ_CHECK(CheckSelection("1024", "768", "16", ModeTextSize) == "1024x768x32");
    FUZZ_CHECK(CheckSelection("1", "2", "016", ModeTextSize) == "1x2x016");
    FUZZ_CHECK(CheckSelection("1", "2", "24", ModeTextSize) == "1x2x24");
    LanguageRow english = { "English", "int" };
    FUZZ_CHECK(LanguageEntryText(english) == "English (INT)");
    FUZZ_CHECK(LanguageCodeFromEntry("German (DET)") == "det");
    FUZZ_CHECK(IsFullscreenValue("1") && IsFullscreenValue("TRUE") && !IsFullscreenValue("yes"));
    FUZZ_CHECK(PositionPiece("-8,300", 1) == -8 && PositionPiece("-8,300", 2) == 300);
    return true;
}

static void CheckModes(const std::vector<Mode> &modes, size_t size)
{
    std::vector<std::string> fitting;
    for (const Mode &mode : modes)
    {
        const std::string w = std::to_string(mode[0]), h = std::to_string(mode[1]);
        const std::string bits = std::to_string(mode[2]);
        const size_t length = w.size() + h.size() + bits.size() + 2;
        const char fill = FillByteAvoiding({ "0123456789x" });
        const auto format = [&](char *out, size_t room) {
            return FormatModeText(out, room, mode[0], mode[1], mode[2]);
        };
        FitsOrEmpty(size, length, fill, format);
        // Split back at "x": the three numbers in decimal, nothing after them.
        const std::string text = FitsOrEmpty(ModeTextSize, length, fill, format);
        if (text.empty())
            continue;
        FUZZ_CHECK(NthToken(text, "x", 1) == w && NthToken(text, "x", 2) == h);
        FUZZ_CHECK(NthToken(text, "x", 3) == bits && NthToken(text, "x", 4).empty());
        fitting.push_back(text);
    }
    // In the system's order, only a repeat of the entry just before dropped.
    fitting.erase(std::unique(fitting.begin(), fitting.end()), fitting.end());
    FUZZ_CHECK(ModeListTexts(modes) == fitting);
}

static void CheckLanguage(const std::string &name, const std::string &code, const std::string &entry)
{
    LanguageRow row = {};
    memcpy(row.name, name.data(), name.size());
    memcpy(row.code, code.data(), code.size());
    const std::string shown = LanguageEntryText(row);
    const size_t length = name.size() + code.size() + 3;
    FUZZ_CHECK(shown.size() == (length < LanguageEntrySize ? length : 0));
    FUZZ_CHECK(shown.empty() || (StartsWith(shown, name + " (") && EndsWith(shown, ")")));
    // The code comes back, lower case, unless the name or the code holds a parenthesis itself.
    const bool plain = name.find('(') == std::string::npos;
    if (!shown.empty() && plain && code.find_first_of("()") == std::string::npos)
        FUZZ_CHECK(LanguageCodeFromEntry(shown) == ToLowerCopy(code));
    // Between the first "(" and the next ")", whatever stands around them.
    if (plain && entry.find(')') == std::string::npos)
        FUZZ_CHECK(LanguageCodeFromEntry(name + "(" + entry + ")" + entry) == ToLowerCopy(entry));
    const std::string any = LanguageCodeFromEntry(entry);
    FUZZ_CHECK(ToLowerCopy(any) == any && ToLowerCopy(entry).find(any) != std::string::npos);
}

/* atoi's reading, saturated at the ends of int. */
static int ReferencePosition(const std::string &piece)
{
    size_t i = piece.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos)
        return 0;
    const bool negative = piece[i] == '-';
    i += piece[i] == '+' || negative;
    long long number = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9' && number <= INT_MAX; ++i)
        number = number * 10 + (piece[i] - '0');
    if (negative)
        return -number < INT_MIN ? INT_MIN : static_cast<int>(-number);
    return number > INT_MAX ? INT_MAX : static_cast<int>(number);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    [[maybe_unused]] static const bool examples = CheckExamples();
    FuzzFields fields(data, size);
    const std::vector<Mode> modes = ModesOf(fields.Text());
    const std::string x = fields.Text(), y = fields.Text(), bits = fields.Text();
    const size_t storage = fields.Number(64);
    const std::string languageName = fields.CText().substr(0, sizeof(LanguageRow().name) - 1);
    const std::string languageCode = fields.CText().substr(0, sizeof(LanguageRow().code) - 1);
    const std::string entry = fields.Text(), position = fields.Text();
    const int piece = static_cast<int>(fields.Number(7)) - 2;

    CheckModes(modes, storage);
    for (size_t each : { storage, size_t(ModeTextSize), size_t(0) })
        CheckSelection(x, y, bits, each);
    // "1", or "true" in any case.
    FUZZ_CHECK(IsFullscreenValue(x) == (x == "1" || ToLowerCopy(x) == "true"));

    // The shipped table: every entry fits and gives its own code back.
    for (const LanguageRow &row : LanguageTable)
    {
        const std::string shown = LanguageEntryText(row);
        FUZZ_CHECK(!shown.empty() && shown.size() < LanguageEntrySize);
        FUZZ_CHECK(LanguageCodeFromEntry(shown) == row.code);
    }
    CheckLanguage(languageName, languageCode, entry);

    // Piece n of the text as atoi reads it.
    for (int n : { piece, 1, 2 })
    {
        const int read = PositionPiece(position, n);
        FUZZ_CHECK(read == ReferencePosition(NthToken(position, ",", n)));
    }
    return 0;
}
