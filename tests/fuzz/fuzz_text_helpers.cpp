/* Case copies, NthToken, LocalPath and CopyText on any text.
   Fields: text, delimiter, piece number, storage size. */
#include "config/text_helpers.h"
#include "fuzz_support.h"

#include <climits>

static void CheckNthToken(const std::string &text, char delimiter, int fuzzedN)
{
    const std::string delimiterText(1, delimiter);
    const std::vector<std::string> pieces = ReferencePieces(text, delimiter);
    const int count = static_cast<int>(pieces.size());
    for (int n : { fuzzedN, INT_MIN, -1, 0, 1, 2, 3, count, count + 1, INT_MAX })
        FUZZ_CHECK(NthToken(text, delimiterText, n) == (n >= 1 && n <= count ? pieces[n - 1] : ""));

    // The pieces joined again at the delimiter give back the text (each call walks the
    // text, so only for texts of few pieces).
    if (count > 0 && count <= 64)
    {
        std::string joined = NthToken(text, delimiterText, 1);
        for (int n = 2; n <= count; ++n)
            joined += delimiter + NthToken(text, delimiterText, n);
        FUZZ_CHECK(joined == text);
    }
}

static void CheckCopyText(const std::string &text, size_t size)
{
    GuardedStorage out(size, FillByteAvoiding({ text }));
    bool fits = CopyText(out.Data(), size, text.c_str());
    FUZZ_CHECK(out.GuardIntact());
    FUZZ_CHECK(fits == (text.size() < size));
    if (size == 0)
        FUZZ_CHECK(out.Untouched());
    else
        FUZZ_CHECK(out.Terminated() && out.Text() == text.substr(0, size - 1));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzFields fields(data, size);
    const std::string text = fields.Text();
    const std::string delimiter = fields.Text();
    const int n = static_cast<int>(fields.Number(100)) - 2;
    const size_t storage = fields.Number(300);

    // Only ASCII letters change case, and the length stays.
    const std::string lower = ToLowerCopy(text), upper = ToUpperCopy(text);
    FUZZ_CHECK(lower == ReferenceLower(text) && upper == ReferenceUpper(text));
    for (size_t i = 0; i < text.size(); ++i)
        FUZZ_CHECK(ToLowerAscii(text[i]) == lower[i]);

    CheckNthToken(text, delimiter.empty() ? ',' : delimiter[0], n);
    CheckNthToken(text, 'x', n);
    FUZZ_CHECK(LocalPath(text) == ".\\" + text);

    const std::string cText = text.c_str();
    for (size_t each : { storage, cText.size(), cText.size() + 1, size_t(0), size_t(1) })
        CheckCopyText(cText, each);
    return 0;
}
