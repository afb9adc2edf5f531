// Files and folders for tests: temporary game folders, text files, the working directory.
#ifndef PELMAR_TEST_SUPPORT_H
#define PELMAR_TEST_SUPPORT_H

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// A new empty folder under the temporary folder, without a trailing backslash.
std::string MakeTempFolder(const char *tag);
void RemoveTree(const std::string &path);
// The names the platform's search finds under pattern, "." and ".." left out.
std::vector<std::string> FoundNames(const std::string &pattern);
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

// The bytes of module's resource of that id and type (RT_ICON's number, say), their count in
// *size; null when there is none.
const BYTE *ResourceBytes(HMODULE module, int id, int type, DWORD *size = nullptr);

// Polls until done() holds or timeoutMs passes, dispatching this thread's messages.
bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs = 10000);
void PumpMessages();

bool Contains(const std::vector<std::string> &texts, const std::string &text);
std::string Joined(const std::vector<std::string> &texts, const char *between = ", ");

// This process's open handles, found by asking each handle value of the first 16,384 about
// itself (Wine's GetProcessHandleCount answers 0 whatever is open).
long OpenHandleCount();
// This process's GDI objects, found by asking each index of the handle table its type: Wine's
// GetGuiResources answers 0, and Wine takes an index alone for the handle.
int GdiObjectCount();
// The device contexts of window and its children handed out and not given back.
int DcsHeldFor(HWND window);
SIZE_T HeapBytesInUse();

// Hands see every message sent to this thread's windows, once handled, while it lives.
// One at a time: the hook procedure finds it through a static pointer.
class SentMessageHook
{
public:
    explicit SentMessageHook(std::function<void(const CWPRETSTRUCT &)> see);
    ~SentMessageHook() { Stop(); }
    SentMessageHook(const SentMessageHook &) = delete;
    SentMessageHook &operator=(const SentMessageHook &) = delete;

    bool Ready() const { return hook_ != nullptr; }
    void Stop();

private:
    static LRESULT CALLBACK Called(int code, WPARAM wParam, LPARAM lParam);
    std::function<void(const CWPRETSTRUCT &)> see_;
    HHOOK hook_ = nullptr;
};

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

// The tests' one builder of game folders, laid out as players have them: root\System (the
// program folder) with root\Maps and root\Maps\UPak one level up; removed with the scope.
class TempGameFolder
{
public:
    explicit TempGameFolder(const char *tag, bool withMaps = true, bool withUPak = true);
    ~TempGameFolder();
    TempGameFolder(const TempGameFolder &) = delete;
    TempGameFolder &operator=(const TempGameFolder &) = delete;

    std::string System() const { return root_ + "\\System"; }
    std::string Maps() const { return root_ + "\\Maps"; }
    std::string UPak() const { return root_ + "\\Maps\\UPak"; }
    std::string InSystem(const std::string &name) const { return System() + "\\" + name; }
    // Creates empty files (names relative to the root, e.g. "Maps\\DM-Deck16.unr").
    const TempGameFolder &Touch(std::initializer_list<std::string> relative) const;
    const TempGameFolder &Write(const std::string &relative, const std::string &content) const;
    // System\\Engine.<code> for each language code.
    const TempGameFolder &Languages(std::initializer_list<const char *> codes) const;
    // The stand-in game copied into System under that name; false when it could not be.
    bool PutStandIn(const char *exe = "Unreal.exe") const;

private:
    std::string root_;
};

#endif
