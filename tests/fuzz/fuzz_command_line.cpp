/* Marker prefixing, the composed command line and the running caption. Fields: map name,
   map parameters, game parameters, a marker, sizes for the line, the prefixing, the caption. */
#include "launch/command_line.h"
#include "fuzz_support.h"

static const std::string CaptionPrefix = "Pelmar - [RUNNING: ";

/* One marker in front when the first marker stands after the start. */
static std::string ReferencePrefixed(const std::string &text, char marker)
{
    size_t first = text.find(marker);
    return first != std::string::npos && first > 0 ? marker + text : text;
}

/* A prefixed text as the 256-byte scratch of a run holds it. */
static std::string ReferencePart(const std::string &text, char marker)
{
    return ReferencePrefixed(text, marker).substr(0, ParamTextSize - 1);
}

static void CheckPrefixMarker(const std::string &text, char marker, size_t size)
{
    GuardedStorage out(size, FillByteAvoiding({ text, std::string(1, marker) }));
    PrefixMarker(out.Data(), size, text.c_str(), marker);
    FUZZ_CHECK(out.GuardIntact());
    if (size == 0)
        FUZZ_CHECK(out.Untouched());
    else
        FUZZ_CHECK(out.Terminated() && out.Text() == ReferencePrefixed(text, marker).substr(0, size - 1));
}

static void CheckComposition(const std::string &map, const std::string &mapParams,
                             const std::string &gameParams, size_t size)
{
    const std::string expected = map + ReferencePart(mapParams, '?') + " " + ReferencePart(gameParams, '-');
    GuardedStorage out(size, FillByteAvoiding({ map, mapParams, gameParams, "?- " }));
    bool fits = ComposeCommandLine(out.Data(), size, map.c_str(), mapParams.c_str(), gameParams.c_str());
    FUZZ_CHECK(out.GuardIntact());
    FUZZ_CHECK(fits == (expected.size() < size));
    if (size > 0)
        FUZZ_CHECK(out.Terminated() && (fits ? out.Text() == expected : StartsWith(expected, out.Text())));
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
    const std::string whole = CaptionPrefix + map + "]";
    if (whole.size() < size)
        FUZZ_CHECK(caption == whole);
    else if (size - 1 < CaptionPrefix.size() + 4)
        FUZZ_CHECK(StartsWith("Pelmar", caption));   // no room to show a run
    else
    {
        // Cut: the beginning of the name, "..." and the bracket, filling the storage.
        const size_t shown = size - 1 - CaptionPrefix.size() - 4;
        FUZZ_CHECK(shown < map.size());
        FUZZ_CHECK(caption == CaptionPrefix + map.substr(0, shown) + "...]");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
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

    const std::string whole = map + ReferencePart(mapParams, '?') + " " + ReferencePart(gameParams, '-');
    for (size_t each : { lineSize, size_t(1024), whole.size(), whole.size() + 1 })
        CheckComposition(map, mapParams, gameParams, each);
    // What a run hands over (254 characters of name and of each field) always fits 1024 bytes.
    char line[1024];
    FUZZ_CHECK(ComposeCommandLine(line, sizeof(line), map.substr(0, MapNameSize - 2).c_str(),
                                  mapParams.substr(0, ParamTextSize - 2).c_str(),
                                  gameParams.substr(0, ParamTextSize - 2).c_str()));

    // In its own storage a cut name keeps 8 characters, enough to tell maps apart.
    for (size_t each : { captionSize, size_t(RunningCaptionSize), size_t(300) })
        CheckCaption(map, each);
    return 0;
}
