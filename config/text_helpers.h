/* Small text operations shared by the settings and launch code. Locale-free: only the
   ASCII letters change case, every other byte passes through. */
#ifndef PELMAR_TEXT_HELPERS_H
#define PELMAR_TEXT_HELPERS_H

#include <string>

/* 'A' to 'Z' as 'a' to 'z'; every other byte unchanged. */
char ToLowerAscii(char c);

std::string ToLowerCopy(const std::string &text);
std::string ToUpperCopy(const std::string &text);

/* Piece n (from 1) of text split at delimiter. Empty for n < 1, for an empty text and for
   an n past the last piece. */
std::string NthToken(const std::string &text, const std::string &delimiter, int n);

/* ".\" followed by name: resolves a game file against the working directory. */
std::string LocalPath(const std::string &name);

/* Bounded copy: at most size - 1 bytes of text and a terminator. Returns false when text
   did not fit (the copy is then cut). size 0 writes nothing. */
bool CopyText(char *out, size_t size, const char *text);

#endif
