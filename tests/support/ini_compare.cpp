#include "ini_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string.h>

const std::vector<std::pair<std::string, std::string> > GameOwnedKeys = {
    { "WinDrv.WindowsClient", "StartupFullscreen" },   { "WinDrv.WindowsClient", "WindowedViewportX" },
    { "WinDrv.WindowsClient", "WindowedViewportY" },   { "WinDrv.WindowsClient", "WindowedColorBits" },
    { "WinDrv.WindowsClient", "FullscreenViewportX" }, { "WinDrv.WindowsClient", "FullscreenViewportY" },
    { "WinDrv.WindowsClient", "FullscreenColorBits" }, { "Engine.Engine", "Language" },
};

static std::string Trim(const std::string &text)
{
    const char *blanks = " \t\r\n";
    std::string::size_type first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    std::string::size_type last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

static bool SameName(const std::string &a, const std::string &b)
{
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

bool IniLine::operator==(const IniLine &other) const
{
    return section == other.section && key == other.key && value == other.value;
}

std::vector<IniLine> ParseIni(const std::string &text)
{
    std::vector<IniLine> lines;
    std::string section;
    std::istringstream in(text);
    for (std::string raw; std::getline(in, raw);)
    {
        const std::string line = Trim(raw);
        if (line.empty())
            continue;
        if (line[0] == '[')
        {
            std::string::size_type close = line.find(']');
            section = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            continue;
        }
        const std::string::size_type equals = line.find('=');
        if (line[0] == ';' || line[0] == '#')
            lines.push_back({ section, "", line });
        else
            lines.push_back({ section, Trim(line.substr(0, equals)),
                              equals == std::string::npos ? std::string() : Trim(line.substr(equals + 1)) });
    }
    return lines;
}

// The first key of that name in that section (case ignored), or nullptr.
static const IniLine *FindIniKey(const std::vector<IniLine> &lines, const std::string &section,
                                 const std::string &key)
{
    for (const IniLine &line : lines)
        if (!line.key.empty() && SameName(line.section, section) && SameName(line.key, key))
            return &line;
    return nullptr;
}

std::vector<IniLine> WithoutKeys(const std::vector<IniLine> &lines,
                                 const std::vector<std::pair<std::string, std::string> > &owned)
{
    std::vector<IniLine> kept;
    for (const IniLine &line : lines)
        if (std::none_of(owned.begin(), owned.end(), [&line](const auto &name) {
                return FindIniKey({ line }, name.first, name.second) != nullptr;
            }))
            kept.push_back(line);
    return kept;
}

static std::string Describe(const IniLine &line)
{
    return "[" + line.section + "] " + line.key + "=" + line.value;
}

std::string IniValue(const std::vector<IniLine> &lines, const std::string &section, const std::string &key)
{
    const IniLine *line = FindIniKey(lines, section, key);
    return line ? line->value : std::string("<missing>");
}

void ExpectSameLines(const std::vector<IniLine> &expected, const std::vector<IniLine> &actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(expected[i], actual[i]) << "line " << i << ": expected " << Describe(expected[i])
                                          << ", found " << Describe(actual[i]);
}

std::vector<std::string> ModePieces(const std::string &text)
{
    std::string::size_type first = text.find('x');
    std::string::size_type second = text.find('x', first + 1);
    return { text.substr(0, first), text.substr(first + 1, second - first - 1), text.substr(second + 1) };
}

std::vector<IniLine> ModeValues(const std::string &windowed, const std::string &fullscreen)
{
    const std::string client = "WinDrv.WindowsClient";
    std::vector<std::string> w = ModePieces(windowed), f = ModePieces(fullscreen);
    return { { client, "WindowedViewportX", w[0] },   { client, "WindowedViewportY", w[1] },
             { client, "WindowedColorBits", w[2] },   { client, "FullscreenViewportX", f[0] },
             { client, "FullscreenViewportY", f[1] }, { client, "FullscreenColorBits", f[2] } };
}

std::vector<IniLine> WithValues(std::vector<IniLine> lines, const std::vector<IniLine> &values)
{
    for (const IniLine &value : values)
        for (IniLine &line : lines)
            if (SameName(line.section, value.section) && SameName(line.key, value.key))
            {
                line.value = value.value;
                break;
            }
    return lines;
}
