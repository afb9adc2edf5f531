#include "profile.h"
#include "../app/globals.h"

std::string ReadProfileText(const char *section, const char *key, const char *fallback,
                            const std::string &file)
{
    ProfileBuffer[0] = '\0';
    GetPrivateProfileStringA(section, key, fallback, ProfileBuffer, sizeof(ProfileBuffer),
                             file.c_str());
    ProfileBuffer[sizeof(ProfileBuffer) - 1] = '\0';
    return ProfileBuffer;
}

/* A file the player marked read-only stays as it is, also where the platform would let
   the write through (an administrator under Wine); a folder of that name is no file. */
static bool MayWrite(const std::string &file)
{
    DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

void WriteProfileText(const char *section, const char *key, const char *value,
                      const std::string &file)
{
    if (!MayWrite(file))
        return;
    WritePrivateProfileStringA(section, key, value, file.c_str());
}

