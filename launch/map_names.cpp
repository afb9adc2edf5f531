#include "map_names.h"

#include "../config/text_helpers.h"

#include <cstring>

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
        else if (*pattern == '?' || (*pattern && ToLowerAscii(*pattern) == ToLowerAscii(*fileName)))
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
