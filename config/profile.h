/* One key at a time through the platform's profile-string calls. */
#ifndef PELMAR_PROFILE_H
#define PELMAR_PROFILE_H

#include <string>

/* The key's value (cut to 2047 characters), or fallback when the file, section or key is
   missing. Reads through ProfileBuffer. */
std::string ReadProfileText(const char *section, const char *key, const char *fallback,
                            const std::string &file);

/* Sets the key; nothing is written to a read-only file or to a folder of that name. */
void WriteProfileText(const char *section, const char *key, const char *value,
                      const std::string &file);

#endif
