#include "map_names.h"

#include <cstring>

bool IsMapFileName(const char *fileName)
{
    static const char extension[] = ".unr";
    size_t length = strlen(fileName);
    size_t extensionLength = sizeof(extension) - 1;
    if (length < extensionLength)
        return false;
    const char *tail = fileName + length - extensionLength;
    for (size_t i = 0; i < extensionLength; ++i)
    {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
        if (c != extension[i])
            return false;
    }
    return true;
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
