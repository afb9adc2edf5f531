/* Marker prefixing, the composed command line and the running caption. Fields: map name,
   map parameters, game parameters, a marker, sizes for the line, the prefixing, the caption. */
#include "launch/command_line.h"
#include "fuzz_support.h"

static const std::string CaptionPrefix = "Pelmar - [RUNNING: ";

static std::string Prefixed(const std::string &text, char marker)
{
    std::vector<char> out(text.size() + 2);
    PrefixMarker(out.data(), out.size(), text.c_str(), marker);
    return out.data();
}

/* In storage big enough for any of these: the name and two 255-character parameter texts. */
static std::string Composed(const std::string &map, const std::string &mapParams,
                            const std::string &gameParams)
{
    std::vector<char> out(map.size() + 2 * ParamTextSize + 1);
    FUZZ_CHECK(ComposeCommandLine(out.data(), out.size(), map.c_str(), mapParams.c_str(),
                                  gameParams.c_str()));
    return out.data();
}

static bool CheckExamples()
{
    FUZZ_CHECK(Prefixed("a=1?b=2", '?') == "?a=1?b=2" && Prefixed("?a=1", '?') == "?a=1");
    FUZZ_CHECK(Prefixed("a=1", '?') == "a=1" && Prefixed("x -y", '-') == "-x -y");
    FUZZ_CHECK(Prefixed("-x", '-') == "-x" && Prefixed("x", '-') == "x");
    FUZZ_CHECK(Composed("Sample1", "", "") == "Sample1 ");
    return true;
}

static void CheckPrefixMarker(const std::string &text, char marker, size_t size)
{
    // At most one byte more, the text kept at the end, and the marker first when there is one;
    // so prefixing again changes nothing.
    const std::string whole = Prefixed(text, marker);
    FUZZ_CHECK(whole.size() - text.size() <= 1 && EndsWith(whole, text));
    FUZZ_CHECK(text.find(marker) == std::string::npos ? whole == text : whole[0] == marker);
    FUZZ_CHECK(Prefixed(whole, marker) == whole);

    GuardedStorage out(size, FillByteAvoiding({ text, std::string(1, marker) }));
    PrefixMarker(out.Data(), size, text.c_str(), marker);
    FUZZ_CHECK(out.HoldsCut(whole));
}

static void CheckComposition(const std::string &map, const std::string &mapParams,
                             const std::string &gameParams, size_t lineSize)
{
    const std::string whole = Composed(map, mapParams, gameParams);
    for (size_t size : { lineSize, size_t(1024), whole.size(), whole.size() + 1 })
    {
        GuardedStorage out(size, FillByteAvoiding({ map, mapParams, gameParams, "?- " }));
        bool fits = ComposeCommandLine(out.Data(), size, map.c_str(), mapParams.c_str(), gameParams.c_str());
        FUZZ_CHECK(out.GuardIntact() && fits == (whole.size() < size));
        FUZZ_CHECK(size == 0 || (out.Terminated() && (!fits || out.Text() == whole)));
    }

    // Split back at the first "?" or blank, then at the first blank. Decidable when the name
    // holds neither, the map parameters hold no blank and are empty or hold a "?" (else they
    // run into the name), and both parameter texts fit the run's scratch whole.
    if (map.find_first_of("? ") != std::string::npos || mapParams.find(' ') != std::string::npos ||
        (!mapParams.empty() && mapParams.find('?') == std::string::npos) ||
        mapParams.size() > ParamTextSize - 2 || gameParams.size() > ParamTextSize - 2)
        return;
    const size_t nameEnd = whole.find_first_of("? "), blank = whole.find(' ', nameEnd);
    FUZZ_CHECK(blank != std::string::npos && whole.substr(0, nameEnd) == map);
    FUZZ_CHECK(whole.substr(nameEnd, blank - nameEnd) == Prefixed(mapParams, '?'));
    FUZZ_CHECK(whole.substr(blank + 1) == Prefixed(gameParams, '-'));
}

static void CheckCaption(const std::string &map, size_t size)
{
    GuardedStorage out(size, FillByteAvoiding({ map, CaptionPrefix, "...]" }));
    FormatRunningCaption(out.Data(), size, map.c_str());
    FUZZ_CHECK(out.GuardIntact());
    FUZZ_CHECK(size == 0 ? out.Untouched() : out.Terminated());
    if (size == 0)
        return;
    const std::string caption = out.Text();
    FUZZ_CHECK(StartsWith(caption, std::string("Pelmar").substr(0, size - 1)));
    const bool fitsWhole = CaptionPrefix.size() + map.size() + 1 < size;
    // Its own storage always has room to name the run.
    FUZZ_CHECK(StartsWith(caption, CaptionPrefix) || (size != RunningCaptionSize && !fitsWhole));
    if (!StartsWith(caption, CaptionPrefix))
        return;
    FUZZ_CHECK(EndsWith(caption, "]"));
    const std::string shown = caption.substr(CaptionPrefix.size(), caption.size() - CaptionPrefix.size() - 1);
    // Else cut to fill the storage: the beginning of the name, then "...".
    if (fitsWhole)
        FUZZ_CHECK(shown == map);
    else
        FUZZ_CHECK(caption.size() == size - 1 && EndsWith(shown, "...") && shown.size() - 3 < map.size() &&
                   StartsWith(map, shown.substr(0, shown.size() - 3)));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    [[maybe_unused]] static const bool examples = CheckExamples();
    FuzzFields fields(data, size);
    const std::string map = fields.CText(), mapParams = fields.CText(), gameParams = fields.CText();
    const std::string markerField = fields.CText();
    const size_t lineSize = fields.Number(1100), prefixSize = fields.Number(300);
    const size_t captionSize = fields.Number(64);

    const char marker = markerField.empty() ? '?' : markerField[0];
    for (size_t each : { prefixSize, size_t(ParamTextSize), mapParams.size(), mapParams.size() + 1 })
    {
        CheckPrefixMarker(mapParams, '?', each);
        CheckPrefixMarker(gameParams, '-', each);
        CheckPrefixMarker(map, marker, each);
    }

    CheckComposition(map, mapParams, gameParams, lineSize);
    // What a run hands over (254 characters of name and of each field) always fits 1024 bytes.
    char line[1024];
    FUZZ_CHECK(ComposeCommandLine(line, sizeof(line), map.substr(0, RunMapNameSize - 2).c_str(),
                                  mapParams.substr(0, ParamTextSize - 2).c_str(),
                                  gameParams.substr(0, ParamTextSize - 2).c_str()));

    for (size_t each : { captionSize, size_t(RunningCaptionSize), size_t(300) })
        CheckCaption(map, each);
    return 0;
}
