#include "command_line.h"
#include "../config/text_helpers.h"

#include <cstdio>
#include <cstring>

void PrefixMarker(char *out, size_t size, const char *text, char marker)
{
    if (size == 0)
        return;
    const char *first = strchr(text, marker);
    if (first == nullptr || first == text)
    {
        CopyText(out, size, text);
        return;
    }
    snprintf(out, size, "%c%s", marker, text);
}

bool ComposeCommandLine(char *out, size_t size, const char *mapName, const char *mapParams,
                        const char *gameParams)
{
    if (size == 0)
        return false;
    char mapPart[ParamTextSize];
    char gamePart[ParamTextSize];
    PrefixMarker(mapPart, sizeof(mapPart), mapParams, '?');
    PrefixMarker(gamePart, sizeof(gamePart), gameParams, '-');
    int length = snprintf(out, size, "%s%s %s", mapName, mapPart, gamePart);
    return length >= 0 && static_cast<size_t>(length) < size;
}

void FormatRunningCaption(char *out, size_t size, const char *mapName)
{
    static const char prefix[] = "Pelmar - [RUNNING: ";
    static const char suffix[] = "]";
    static const char ellipsis[] = "...";
    if (size == 0)
        return;
    size_t room = size - 1;
    size_t fixed = (sizeof(prefix) - 1) + (sizeof(suffix) - 1);
    size_t nameLength = strlen(mapName);
    if (fixed + nameLength <= room)
    {
        snprintf(out, size, "%s%s%s", prefix, mapName, suffix);
        return;
    }
    if (room < fixed + (sizeof(ellipsis) - 1))
    {
        CopyText(out, size, "Pelmar");
        return;
    }
    int kept = static_cast<int>(room - fixed - (sizeof(ellipsis) - 1));
    snprintf(out, size, "%s%.*s%s%s", prefix, kept, mapName, ellipsis, suffix);
}
