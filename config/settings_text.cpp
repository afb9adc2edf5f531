#include "settings_text.h"
#include "text_helpers.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

const LanguageRow LanguageTable[LanguageCount] = {
    { "English", "int" },   { "German", "det" },     { "Italian", "itt" },
    { "Spanish", "est" },   { "Polish", "plt" },     { "Russian", "rut" },
    { "French", "frt" },    { "Hungarian", "hut" },  { "Portuguese", "ptt" },
    { "Czech", "czt" },     { "Swedish", "set" },    { "Catalan", "ctt" },
};

bool IsFullscreenValue(const std::string &value)
{
    return value == "1" || ToLowerCopy(value) == "true";
}

bool FormatModeText(char *out, size_t size, unsigned long width, unsigned long height,
                    unsigned long bits)
{
    if (size == 0)
        return false;
    /* The system's fields are unsigned: a value above INT_MAX must not turn negative. */
    int length = snprintf(out, size, "%lux%lux%lu", width, height, bits);
    if (length < 0 || static_cast<size_t>(length) >= size)
    {
        out[0] = '\0';
        return false;
    }
    return true;
}

std::vector<std::string> ModeListTexts(const std::vector<std::array<unsigned long, 3> > &modes)
{
    std::vector<std::string> texts;
    std::string lastAdded;
    for (const auto &mode : modes)
    {
        char text[ModeTextSize];
        if (!FormatModeText(text, sizeof(text), mode[0], mode[1], mode[2]))
            continue;
        if (lastAdded == text)
            continue;
        texts.push_back(text);
        lastAdded = text;
    }
    return texts;
}

bool FormatSelectionText(char *out, size_t size, const std::string &x, const std::string &y,
                         const std::string &bits)
{
    if (size == 0)
        return false;
    /* Old configurations say 16; the launcher only offers the 32-bit modes it finds. */
    const std::string &depth = bits == "16" ? std::string("32") : bits;
    /* The conditional is a prvalue bound to a const reference: it lives as long as depth. */
    // cppcheck-suppress danglingTemporaryLifetime
    int length = snprintf(out, size, "%sx%sx%s", x.c_str(), y.c_str(), depth.c_str());
    if (length < 0 || static_cast<size_t>(length) >= size)
    {
        out[0] = '\0';
        return false;
    }
    return true;
}

std::string LanguageEntryText(const LanguageRow &row)
{
    char text[LanguageEntrySize];
    /* The table's names are short; a name too long for the entry would lose its code. */
    int length = snprintf(text, sizeof(text), "%s (%s)", row.name, ToUpperCopy(row.code).c_str());
    if (length < 0 || static_cast<size_t>(length) >= sizeof(text))
        return std::string();
    return text;
}

std::string LanguageCodeFromEntry(const std::string &text)
{
    std::string kept = text;
    std::string::size_type open = kept.find('(');
    if (open != std::string::npos)
        kept = kept.substr(open + 1);
    std::string::size_type close = kept.find(')');
    if (close != std::string::npos)
        kept.resize(close);
    return ToLowerCopy(kept);
}

int PositionPiece(const std::string &value, int n)
{
    /* atoi's rules, but saturating: a hand-edited huge number must not overflow. */
    /* long long: a Windows long is no wider than int, so it would saturate at LONG_MAX. */
    long long position = strtoll(NthToken(value, ",", n).c_str(), nullptr, 10);
    if (position < INT_MIN)
        return INT_MIN;
    return position > INT_MAX ? INT_MAX : static_cast<int>(position);
}
