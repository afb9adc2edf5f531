/* Map names out of file names, and the file pattern against a table-driven matcher.
   Fields: file name, pattern, storage size. */
#include "launch/map_names.h"
#include "fuzz_support.h"

/* "*" any run, "?" one character, ASCII letters without case. */
static bool ReferenceMatch(const std::string &anyCaseName, const std::string &anyCasePattern)
{
    const std::string name = ReferenceLower(anyCaseName), pattern = ReferenceLower(anyCasePattern);
    // row[j]: the name so far matches the first j characters of the pattern.
    std::vector<char> row(pattern.size() + 1, 0);
    row[0] = 1;
    for (size_t j = 1; j <= pattern.size(); ++j)
        row[j] = pattern[j - 1] == '*' && row[j - 1];
    for (char c : name)
    {
        std::vector<char> next(row.size(), 0);
        for (size_t j = 1; j <= pattern.size(); ++j)
        {
            char p = pattern[j - 1];
            next[j] = p == '*' ? (row[j] || next[j - 1]) : ((p == '?' || p == c) && row[j - 1]);
        }
        row.swap(next);
    }
    return row.back() != 0;
}

static void CheckMapName(const std::string &fileName, size_t size)
{
    const std::string expected = fileName.substr(0, fileName.find('.'));
    GuardedStorage out(size, FillByteAvoiding({ fileName }));
    bool fits = MapNameFromFileName(out.Data(), size, fileName.c_str());
    FUZZ_CHECK(fits == (expected.size() < size));
    if (fits)
        FUZZ_CHECK(out.GuardIntact() && out.Terminated() && out.Text() == expected);
    else
        FUZZ_CHECK(out.Untouched());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzFields fields(data, size);
    // The reference costs name times pattern: keep both to file-name lengths.
    const std::string fileName = fields.CText().substr(0, 600);
    const std::string pattern = fields.CText().substr(0, 64);
    const size_t storage = fields.Number(300);

    FUZZ_CHECK(MatchesFilePattern(fileName.c_str(), pattern.c_str()) == ReferenceMatch(fileName, pattern));
    // The maps' own pattern: a name that ends in ".unr", whatever the case.
    const bool unr = fileName.size() >= 4 && ReferenceLower(fileName.substr(fileName.size() - 4)) == ".unr";
    FUZZ_CHECK(MatchesFilePattern(fileName.c_str(), MapFilePattern) == unr);

    for (size_t each : { storage, size_t(MapNameStorage), size_t(0), size_t(1) })
        CheckMapName(fileName, each);
    return 0;
}
