// Files and folders for tests: temporary game folders, text files, the working directory.
#ifndef PELMAR_TEST_SUPPORT_H
#define PELMAR_TEST_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>

// A new empty folder under the temporary folder, without a trailing backslash.
std::string MakeTempFolder(const char *tag);
void RemoveTree(const std::string &path);
void MakeFolder(const std::string &path);

void WriteTextFile(const std::string &path, const std::string &content);
// The file's bytes, or an empty text when it cannot be read; *exists tells which.
std::string ReadTextFile(const std::string &path, bool *exists = nullptr);
bool FileExists(const std::string &path);
bool IsFolder(const std::string &path);

// Folder of the running test program, without a trailing backslash.
std::string TestProgramFolder();
// The game configuration as the game writes it (CRLF, repeated keys, 16-bit depths).
std::string FixturePath(const char *name);

// Polls until done() holds or timeoutMs passes, dispatching this thread's messages.
bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs = 10000);
// Dispatches this thread's queued messages.
void PumpMessages();

// Working directory for one scope.
class CurrentDirectoryScope
{
public:
    explicit CurrentDirectoryScope(const std::string &path);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope &) = delete;
    CurrentDirectoryScope &operator=(const CurrentDirectoryScope &) = delete;

private:
    std::string previous_;
};

// A game laid out as players have it: root\System (the program folder) with
// root\Maps and root\Maps\UPak one level up. Removed again at the end of the scope.
class TempGameFolder
{
public:
    explicit TempGameFolder(const char *tag, bool withMaps = true, bool withUPak = true);
    ~TempGameFolder();
    TempGameFolder(const TempGameFolder &) = delete;
    TempGameFolder &operator=(const TempGameFolder &) = delete;

    const std::string &Root() const { return root_; }
    std::string System() const { return root_ + "\\System"; }
    std::string Maps() const { return root_ + "\\Maps"; }
    std::string UPak() const { return root_ + "\\Maps\\UPak"; }
    // Creates an empty file (name relative to the root, e.g. "Maps\\DM-Deck16.unr").
    void Touch(const std::string &relative) const;
    void Write(const std::string &relative, const std::string &content) const;

private:
    std::string root_;
};

#endif
