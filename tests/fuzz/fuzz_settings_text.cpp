/* Mode texts, the mode list, selection texts, language entries and stored positions.
   Fields: modes (numbers in any text, three a mode), x, y, bits, storage size, language
   name, language code, an entry text, a position, a piece number. */
#include "config/settings_text.h"
#include "fuzz_support.h"

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

/* Mode and selection texts: a text that fits whole, else an empty one. */
static void CheckFitsOrEmpty(const GuardedStorage &out, bool fits, const std::string &expected, size_t size)
{
    FUZZ_CHECK(out.GuardIntact());
    FUZZ_CHECK(fits == (expected.size() < size));
    if (size == 0)
        FUZZ_CHECK(out.Untouched());
    else
        FUZZ_CHECK(out.Terminated() && out.Text() == (fits ? expected : ""));
}

static void CheckModes(const std::vector<Mode> &modes, size_t size)
{
    std::vector<std::string> expected;
    for (const Mode &mode : modes)
    {
        const std::string text = std::to_string(mode[0]) + "x" + std::to_string(mode[1]) + "x" +
                                 std::to_string(mode[2]);
        for (size_t each : { size, size_t(ModeTextSize) })
        {
            GuardedStorage out(each, FillByteAvoiding({ "0123456789x" }));
            bool fits = FormatModeText(out.Data(), each, mode[0], mode[1], mode[2]);
            CheckFitsOrEmpty(out, fits, text, each);
        }
        if (text.size() < ModeTextSize && (expected.empty() || expected.back() != text))
            expected.push_back(text);
    }
    // In the system's order, without texts that do not fit, no two equal neighbours.
    FUZZ_CHECK(ModeListTexts(modes) == expected);
}

static void CheckSelection(const std::string &x, const std::string &y, const std::string &bits, size_t size)
{
    // The values go in as C strings: each ends at its first '\0'.
    const std::string expected = x.c_str() + ("x" + std::string(y.c_str())) + "x" +
                                 (bits == "16" ? "32" : bits.c_str());
    GuardedStorage out(size, FillByteAvoiding({ x, y, bits, "x32" }));
    bool fits = FormatSelectionText(out.Data(), size, x, y, bits);
    CheckFitsOrEmpty(out, fits, expected, size);
}

/* Between the first "(" (or the start) and the next ")" (or the end), lower case. */
static std::string ReferenceCode(const std::string &text)
{
    size_t open = text.find('(');
    std::string kept = open == std::string::npos ? text : text.substr(open + 1);
    return ReferenceLower(kept.substr(0, kept.find(')')));
}

static void CheckLanguageRow(const std::string &name, const std::string &code)
{
    LanguageRow row = {};
    memcpy(row.name, name.data(), name.size());
    memcpy(row.code, code.data(), code.size());
    const std::string expected = name + " (" + ReferenceUpper(code) + ")";
    const std::string entry = LanguageEntryText(row);
    FUZZ_CHECK(entry == (expected.size() < LanguageEntrySize ? expected : ""));
    // The code comes back out unless the name or the code holds a parenthesis itself.
    if (!entry.empty() && name.find('(') == std::string::npos && code.find_first_of("()") == std::string::npos)
        FUZZ_CHECK(LanguageCodeFromEntry(entry) == ReferenceLower(code));
}

/* atoi's reading, saturated, a negative as 0. */
static int ReferencePosition(const std::string &value, int n)
{
    const std::vector<std::string> pieces = ReferencePieces(value, ',');
    const std::string piece = n >= 1 && static_cast<size_t>(n) <= pieces.size() ? pieces[n - 1].c_str() : "";
    size_t i = piece.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos || piece[i] == '-')
        return 0;
    i += piece[i] == '+';
    long long number = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9' && number <= INT_MAX; ++i)
        number = number * 10 + (piece[i] - '0');
    return number > INT_MAX ? INT_MAX : static_cast<int>(number);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
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
    FUZZ_CHECK(IsFullscreenValue(x) == (x == "1" || ReferenceLower(x) == "true"));

    // The shipped table: every entry fits and gives its own code back.
    for (const LanguageRow &row : LanguageTable)
    {
        const std::string shown = LanguageEntryText(row);
        FUZZ_CHECK(!shown.empty() && shown.size() < LanguageEntrySize);
        FUZZ_CHECK(LanguageCodeFromEntry(shown) == ReferenceLower(row.code));
    }
    CheckLanguageRow(languageName, languageCode);
    FUZZ_CHECK(LanguageCodeFromEntry(entry) == ReferenceCode(entry));

    for (int n : { piece, 1, 2 })
    {
        const int read = PositionPiece(position, n);
        FUZZ_CHECK(read >= 0 && read == ReferencePosition(position, n));
    }
    return 0;
}
