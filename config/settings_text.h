/* The texts by which the launcher shows display modes and languages, and the reverse
   operations. No platform calls, so these build and test natively too. */
#ifndef PELMAR_SETTINGS_TEXT_H
#define PELMAR_SETTINGS_TEXT_H

#include <array>
#include <cstddef>
#include <string>
#include <vector>

/* Mode texts ("%dx%dx%d") and selection texts live in 20-byte storage. */
enum { ModeTextSize = 20, LanguageEntrySize = 32, LanguageCount = 12 };

struct LanguageRow
{
    char name[30];
    char code[4];
};

extern const LanguageRow LanguageTable[LanguageCount];

/* "1", or "true" in any case. */
bool IsFullscreenValue(const std::string &value);

/* Mode text for one display mode; false (and no text) when it would not fit. */
bool FormatModeText(char *out, size_t size, unsigned long width, unsigned long height,
                    unsigned long bits);

/* The entries of a mode list, in the system's order, a mode dropped when its text equals
   the text added just before it. Modes are width, height, bits. */
std::vector<std::string> ModeListTexts(const std::vector<std::array<unsigned long, 3> > &modes);

/* "%sx%sx%s" from the game's values, a depth of exactly "16" read as "32". False when the
   text does not fit: such a text can match no entry, so nothing is to be selected. */
bool FormatSelectionText(char *out, size_t size, const std::string &x, const std::string &y,
                         const std::string &bits);

/* "English (INT)" from a table row. */
std::string LanguageEntryText(const LanguageRow &row);

/* The lower-case code out of an entry text: between the first "(" and the next ")". */
std::string LanguageCodeFromEntry(const std::string &text);

/* Piece n of a stored "x,y" position as a number, saturating at the ends of int; a
   non-number is 0. Negative positions stand: a monitor may lie left of or above the
   primary one. */
int PositionPiece(const std::string &value, int n);

#endif
