#include "map_names.h"

#include <cstring>

static char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

bool MatchesFilePattern(const char *fileName, const char *pattern)
{
    /* One "*" to go back to is enough: a later "*" replaces the earlier one's choice. */
    const char *afterStar = nullptr;
    const char *starName = nullptr;
    while (*fileName)
    {
        if (*pattern == '*')
        {
            afterStar = ++pattern;
            starName = fileName;
        }
        else if (*pattern == '?' || (*pattern && LowerAscii(*pattern) == LowerAscii(*fileName)))
        {
            ++pattern;
            ++fileName;
        }
        else if (afterStar)
        {
            pattern = afterStar;
            fileName = ++starName;
        }
        else
        {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool IsMapFileName(const char *fileName)
{
    return MatchesFilePattern(fileName, MapFilePattern);
}

bool MapNameFromFileName(char *out, size_t size, const char *fileName)
{
    const char *dot = strchr(fileName, '.');
    size_t length = dot ? static_cast<size_t>(dot - fileName) : strlen(fileName);
    if (length >= size)
        return false;
    memcpy(out, fileName, length);
    out[length] = '\0';
    return true;
}
