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

void WriteProfileText(const char *section, const char *key, const char *value,
                      const std::string &file)
{
    WritePrivateProfileStringA(section, key, value, file.c_str());
}

const char *ReadControlText(HWND window, int control)
{
    CommandLineBuffer[0] = '\0';
    GetWindowTextA(GetDlgItem(window, control), CommandLineBuffer,
                   sizeof(CommandLineBuffer));
    CommandLineBuffer[sizeof(CommandLineBuffer) - 1] = '\0';
    return CommandLineBuffer;
}
