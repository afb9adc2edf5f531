/* Which found files are maps, and the name a map is listed and run by. No platform calls. */
#ifndef PELMAR_MAP_NAMES_H
#define PELMAR_MAP_NAMES_H

#include <cstddef>

/* Map-name storage of a scan: 254 characters and the terminator. */
enum { MapNameStorage = 255 };

/* The files both map folders are searched for. */
inline constexpr char MapFilePattern[] = "*.unr";

/* True when the long file name itself matches pattern: "*" stands for any run of
   characters, "?" for one, letters compare without case. The file search also matches
   through short names, so "*.unr" finds DM-Foo.unr2 as DM-F~QQJ.UNR; judging the long
   name leaves such files out. */
bool MatchesFilePattern(const char *fileName, const char *pattern);

/* The file name up to its first "." (all of it when it has none) into out. False, with
   nothing written, when that name does not fit. */
bool MapNameFromFileName(char *out, size_t size, const char *fileName);

#endif
