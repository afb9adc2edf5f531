/* The game's command line and the running caption. No platform calls. */
#ifndef PELMAR_COMMAND_LINE_H
#define PELMAR_COMMAND_LINE_H

#include <cstddef>

/* Working storage of one run. */
enum { RunMapNameSize = 256, ParamTextSize = 256, RunningCaptionSize = 32 };

/* Puts one marker in front of text when its first marker stands after its start. The
   result goes to out (cut to size - 1 characters). */
void PrefixMarker(char *out, size_t size, const char *text, char marker);

/* "%s%s %s" of the map name and both parameter texts, each prefixed by its marker
   ("?" for the map's, "-" for the game's). Returns false when out was too small. */
bool ComposeCommandLine(char *out, size_t size, const char *mapName, const char *mapParams,
                        const char *gameParams);

/* "Pelmar - [RUNNING: %s]"; a name too long for the storage is cut and ends in "...",
   the closing bracket kept. */
void FormatRunningCaption(char *out, size_t size, const char *mapName);

#endif
