// Parses ini text the way a reader of the game's file would, to compare files after the
// launcher wrote them by their sections, keys and values rather than by their bytes
// (Wine rewrites the whole file; Windows edits one line).
#ifndef PELMAR_INI_COMPARE_H
#define PELMAR_INI_COMPARE_H

#include <string>
#include <vector>

struct IniLine
{
    std::string section;   // as written, brackets removed
    std::string key;       // empty for a comment line
    std::string value;     // the comment's text for a comment line
    bool operator==(const IniLine &other) const;
};

// Every key and comment in file order, repeated keys included; blank lines dropped and
// blanks around names and values trimmed.
std::vector<IniLine> ParseIni(const std::string &text);

// The keys of the game's file that the launcher writes (section, key).
extern const std::vector<std::pair<std::string, std::string> > GameOwnedKeys;

// lines less the keys named in owned (section, key pairs; case ignored).
std::vector<IniLine> WithoutKeys(const std::vector<IniLine> &lines,
                                 const std::vector<std::pair<std::string, std::string> > &owned);

// FindIniKey's value, or "<missing>".
std::string IniValue(const std::vector<IniLine> &lines, const std::string &section, const std::string &key);

// Fails the test at the first line that differs.
void ExpectSameLines(const std::vector<IniLine> &expected, const std::vector<IniLine> &actual);

// A mode text ("1024x768x32") as the three values the game's file holds.
std::vector<std::string> ModePieces(const std::string &text);
// The values a window mode and a fullscreen mode are written as.
std::vector<IniLine> ModeValues(const std::string &windowed, const std::string &fullscreen);
// lines with the first key of each name given a new value, in place.
std::vector<IniLine> WithValues(std::vector<IniLine> lines, const std::vector<IniLine> &values);

#endif
