/* Case copies, NthToken, LocalPath and CopyText on any text.
   Fields: text, delimiter, piece number, storage size. */
#include "config/text_helpers.h"
#include "fuzz_support.h"

#include <algorithm>
#include <climits>

static bool CheckExamples()
{
    FUZZ_CHECK(NthToken("640x480x32", "x", 1) == "640" && NthToken("640x480x32", "x", 2) == "480");
    FUZZ_CHECK(NthToken("640x480x32", "x", 3) == "32" && NthToken("640x480x32", "x", 4).empty());
    FUZZ_CHECK(NthToken("-8,300", ",", 1) == "-8" && NthToken("-8,300", ",", 2) == "300");
    FUZZ_CHECK(NthToken("-8,300", ",", 0).empty() && NthToken("-8,300", ",", -1).empty());
    FUZZ_CHECK(NthToken("a,", ",", 1) == "a" && NthToken("a,", ",", 2).empty());
    FUZZ_CHECK(ToLowerCopy("TRUE") == "true" && ToUpperCopy("int") == "INT");
    FUZZ_CHECK(LocalPath("Unreal.ini") == ".\\Unreal.ini");
    return true;
}

/* Only letters of from..from+25 change, each only by to - from, and none of them is left. */
static void CheckCaseCopy(const std::string &text, const std::string &copy, char from, char to)
{
    FUZZ_CHECK(copy.size() == text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        const bool letter = text[i] >= from && text[i] < from + 26;
        FUZZ_CHECK(copy[i] == text[i] || (letter && copy[i] == text[i] + (to - from)));
        FUZZ_CHECK(!(copy[i] >= from && copy[i] < from + 26));
    }
}

static void CheckNthToken(const std::string &text, char delimiter, int fuzzedN)
{
    const std::string delimiterText(1, delimiter);
    const int delimiters = static_cast<int>(std::count(text.begin(), text.end(), delimiter));
    const int count = text.empty() ? 0 : delimiters + 1;
    for (int n : { INT_MIN, -1, 0, count + 1, INT_MAX })
        FUZZ_CHECK(NthToken(text, delimiterText, n).empty());

    // Pieces 1..k joined at the delimiter: the text up to a delimiter, or the whole text at
    // k = count. Each call walks the text, so at most 64 pieces.
    std::string joined;
    for (int k = 1; k <= std::min(count, 64); ++k)
    {
        const std::string piece = NthToken(text, delimiterText, k);
        FUZZ_CHECK(piece.find(delimiter) == std::string::npos);
        joined += (k > 1 ? delimiterText : "") + piece;
        FUZZ_CHECK(k == count ? joined == text : StartsWith(text, joined + delimiter));
    }
    const std::string last = NthToken(text, delimiterText, count);
    const std::string any = NthToken(text, delimiterText, fuzzedN);
    FUZZ_CHECK(EndsWith(text, last) && last.find(delimiter) == std::string::npos);
    FUZZ_CHECK(any.find(delimiter) == std::string::npos && text.find(any) != std::string::npos);
}

static void CheckCopyText(const std::string &text, size_t size)
{
    GuardedStorage out(size, FillByteAvoiding({ text }));
    bool fits = CopyText(out.Data(), size, text.c_str());
    FUZZ_CHECK(fits == (text.size() < size));
    FUZZ_CHECK(out.HoldsCut(text));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    [[maybe_unused]] static const bool examples = CheckExamples();
    FuzzFields fields(data, size);
    const std::string text = fields.Text();
    const std::string delimiter = fields.Text();
    const int n = static_cast<int>(fields.Number(100)) - 2;
    const size_t storage = fields.Number(300);

    const std::string lower = ToLowerCopy(text), upper = ToUpperCopy(text);
    CheckCaseCopy(text, lower, 'A', 'a');
    CheckCaseCopy(text, upper, 'a', 'A');
    FUZZ_CHECK(ToLowerCopy(lower) == lower && ToUpperCopy(upper) == upper);
    FUZZ_CHECK(ToUpperCopy(lower) == upper && ToLowerCopy(upper) == lower);
    for (size_t i = 0; i < text.size(); ++i)
        FUZZ_CHECK(ToLowerAscii(text[i]) == lower[i]);

    CheckNthToken(text, delimiter.empty() ? ',' : delimiter[0], n);
    CheckNthToken(text, 'x', n);
    // The name passes whole, '\0' bytes included.
    FUZZ_CHECK(LocalPath(text).substr(2) == text);

    const std::string cText = text.c_str();
    for (size_t each : { storage, cText.size(), cText.size() + 1, size_t(0), size_t(1) })
        CheckCopyText(cText, each);
    return 0;
}
