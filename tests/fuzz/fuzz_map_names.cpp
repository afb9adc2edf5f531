/* Map names out of file names, and the file pattern against a table-driven matcher.
   Fields: file name, pattern, storage size. */
#include "launch/map_names.h"
#include "config/text_helpers.h"
#include "fuzz_support.h"

/* "*" any run, "?" one character, ASCII letters without case. */
static bool ReferenceMatch(const std::string &anyCaseName, const std::string &anyCasePattern)
{
    const std::string name = ToLowerCopy(anyCaseName), pattern = ToLowerCopy(anyCasePattern);
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

static std::string MapName(const std::string &fileName)
{
    // Room for all of the file name: the name always fits.
    std::vector<char> out(fileName.size() + 1);
    FUZZ_CHECK(MapNameFromFileName(out.data(), out.size(), fileName.c_str()));
    return out.data();
}

static bool CheckExamples()
{
    FUZZ_CHECK(MapName("Sample2.old.unr") == "Sample2" && MapName(".unr").empty());
    FUZZ_CHECK(MapName("CTF-Face.unr") == "CTF-Face" && MapName("NoDot") == "NoDot");
    return true;
}

static void CheckMapName(const std::string &fileName, const std::string &name, size_t size)
{
    GuardedStorage out(size, FillByteAvoiding({ fileName }));
    bool fits = MapNameFromFileName(out.Data(), size, fileName.c_str());
    FUZZ_CHECK(fits == (name.size() < size));
    if (fits)
        FUZZ_CHECK(out.GuardIntact() && out.Terminated() && out.Text() == name);
    else
        FUZZ_CHECK(out.Untouched());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    [[maybe_unused]] static const bool examples = CheckExamples();
    FuzzFields fields(data, size);
    // The reference costs name times pattern: keep both to file-name lengths.
    const std::string fileName = fields.CText().substr(0, 600);
    const std::string pattern = fields.CText().substr(0, 64);
    const size_t storage = fields.Number(300);

    FUZZ_CHECK(MatchesFilePattern(fileName.c_str(), pattern.c_str()) == ReferenceMatch(fileName, pattern));
    // The maps' own pattern: a name that ends in ".unr", whatever the case.
    const bool unr = fileName.size() >= 4 && ToLowerCopy(fileName.substr(fileName.size() - 4)) == ".unr";
    FUZZ_CHECK(MatchesFilePattern(fileName.c_str(), MapFilePattern) == unr);

    // No ".", the start of the file name, and there followed by "." or the end.
    const std::string name = MapName(fileName);
    FUZZ_CHECK(name.find('.') == std::string::npos && StartsWith(fileName, name));
    FUZZ_CHECK(name.size() == fileName.size() || fileName[name.size()] == '.');
    for (size_t each : { storage, size_t(MapNameStorage), size_t(0), size_t(1) })
        CheckMapName(fileName, name, each);
    return 0;
}
