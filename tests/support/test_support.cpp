#include "test_support.h"
#include "launcher_process.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

std::string MakeTempFolder(const char *tag)
{
    static unsigned counter;
    char base[MAX_PATH];
    DWORD length = GetTempPathA(sizeof(base), base);
    if (length == 0 || length >= sizeof(base))
        return std::string();
    for (;;)
    {
        char path[MAX_PATH];
        snprintf(path, sizeof(path), "%spelmar-%s-%lu-%u", base, tag, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(path, nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
}

std::vector<std::string> FoundNames(const std::string &pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const std::string &path)
{
    if (path.empty())
        return;
    for (const std::string &name : FoundNames(path + "\\*"))
    {
        const std::string child = path + "\\" + name;
        const bool folder = IsFolder(child);
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (folder)
            RemoveTree(child);
        else
            DeleteFileA(child.c_str());
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

void MakeFolder(const std::string &path)
{
    CreateDirectoryA(path.c_str(), nullptr);
}

void WriteTextFile(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string ReadTextFile(const std::string &path, bool *exists)
{
    std::ifstream file(path, std::ios::binary);
    if (exists)
        *exists = file.is_open();
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TestProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string FixturePath(const char *name)
{
    return TestProgramFolder() + "\\fixtures\\" + name;
}

const BYTE *ResourceBytes(HMODULE module, int id, int type, DWORD *size)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (size)
        *size = found ? SizeofResource(module, found) : 0;
    return found ? static_cast<const BYTE *>(LockResource(LoadResource(module, found))) : nullptr;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;)
    {
        PumpMessages();
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
}

bool Contains(const std::vector<std::string> &texts, const std::string &text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string Joined(const std::vector<std::string> &texts, const char *between)
{
    std::string all;
    for (size_t i = 0; i < texts.size(); ++i)
        all += (i ? between : "") + texts[i];
    return all;
}

static SentMessageHook *ActiveHook;

SentMessageHook::SentMessageHook(std::function<void(const CWPRETSTRUCT &)> see) : see_(std::move(see))
{
    ActiveHook = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, Called, nullptr, GetCurrentThreadId());
}

void SentMessageHook::Stop()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (ActiveHook == this)
        ActiveHook = nullptr;
}

LRESULT CALLBACK SentMessageHook::Called(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && ActiveHook)
        ActiveHook->see_(*reinterpret_cast<const CWPRETSTRUCT *>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

CurrentDirectoryScope::CurrentDirectoryScope(const std::string &path)
{
    char current[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof(current), current);
    if (length > 0 && length < sizeof(current))
        previous_ = current;
    SetCurrentDirectoryA(path.c_str());
}

CurrentDirectoryScope::~CurrentDirectoryScope()
{
    if (!previous_.empty())
        SetCurrentDirectoryA(previous_.c_str());
}

TempGameFolder::TempGameFolder(const char *tag, bool withMaps, bool withUPak)
    : root_(MakeTempFolder(tag))
{
    MakeFolder(System());
    if (withMaps)
        MakeFolder(Maps());
    if (withMaps && withUPak)
        MakeFolder(UPak());
}

TempGameFolder::~TempGameFolder()
{
    RemoveTree(root_);
}

const TempGameFolder &TempGameFolder::Touch(std::initializer_list<std::string> relative) const
{
    for (const std::string &name : relative)
        WriteTextFile(root_ + "\\" + name, std::string());
    return *this;
}

const TempGameFolder &TempGameFolder::Write(const std::string &relative, const std::string &content) const
{
    WriteTextFile(root_ + "\\" + relative, content);
    return *this;
}

const TempGameFolder &TempGameFolder::Languages(std::initializer_list<const char *> codes) const
{
    for (const char *code : codes)
        WriteTextFile(System() + "\\Engine." + code, std::string());
    return *this;
}

bool TempGameFolder::PutStandIn(const char *exe) const
{
    return CopyFileA(StandInExePath().c_str(), (System() + "\\" + exe).c_str(), FALSE) != 0;
}

long OpenHandleCount()
{
    // Handles are multiples of 4, the lowest free one given first.
    long count = 0;
    DWORD flags;
    for (UINT_PTR handle = 4; handle < 0x10000; handle += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(handle), &flags) != FALSE;
    return count;
}

template <typename Counts>
static int CountGdiObjects(Counts counts)
{
    int count = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        count += counts(reinterpret_cast<HGDIOBJ>(index), GetObjectType(reinterpret_cast<HGDIOBJ>(index)));
    return count;
}

int GdiObjectCount()
{
    return CountGdiObjects([](HGDIOBJ, DWORD found) { return found != 0; });
}

int DcsHeldFor(HWND window)
{
    return CountGdiObjects([window](HGDIOBJ object, DWORD found) {
        HWND of = found == OBJ_DC ? WindowFromDC(static_cast<HDC>(object)) : nullptr;
        return of && (of == window || IsChild(window, of));
    });
}

SIZE_T HeapBytesInUse()
{
    HANDLE heap = GetProcessHeap();
    PROCESS_HEAP_ENTRY entry = {};
    SIZE_T total = 0;
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            total += entry.cbData;
    HeapUnlock(heap);
    return total;
}
