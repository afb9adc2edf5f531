/* Which found files are maps, and the name a map is listed and run by. No platform calls. */
#ifndef PELMAR_MAP_NAMES_H
#define PELMAR_MAP_NAMES_H

#include <cstddef>

/* Map-name storage of a scan: 254 characters and the terminator. */
enum { MapNameStorage = 255 };

/* True when the long file name ends in ".unr", case ignored. The search pattern "*.unr"
   also matches names like DM-Foo.unr2 through their short names; those are not maps. */
bool IsMapFileName(const char *fileName);

/* The file name up to its first "." (all of it when it has none) into out. False, with
   nothing written, when that name does not fit. */
bool MapNameFromFileName(char *out, size_t size, const char *fileName);

#endif
