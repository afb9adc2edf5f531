#include "text_helpers.h"

#include <cstring>

char ToLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

std::string ToLowerCopy(const std::string &text)
{
    std::string out(text);
    for (char &c : out)
        c = ToLowerAscii(c);
    return out;
}

std::string ToUpperCopy(const std::string &text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 0x20);
    return out;
}

std::string NthToken(const std::string &text, const std::string &delimiter, int n)
{
    if (n < 1 || text.empty() || delimiter.empty())
        return std::string();

    std::string::size_type start = 0;
    for (int piece = 1;; ++piece)
    {
        std::string::size_type end = text.find(delimiter[0], start);
        if (end == std::string::npos)
            return piece == n ? text.substr(start) : std::string();
        if (piece == n)
            return text.substr(start, end - start);
        start = end + 1;
    }
}

std::string LocalPath(const std::string &name)
{
    return ".\\" + name;
}

bool CopyText(char *out, size_t size, const char *text)
{
    if (size == 0)
        return false;
    size_t length = strlen(text);
    bool fits = length < size;
    if (!fits)
        length = size - 1;
    memcpy(out, text, length);
    out[length] = '\0';
    return fits;
}
