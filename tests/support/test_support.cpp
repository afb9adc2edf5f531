#include "test_support.h"

#include <cstdio>
#include <vector>

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

void RemoveTree(const std::string &path)
{
    if (path.empty())
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
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
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return;
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

std::string ReadTextFile(const std::string &path, bool *exists)
{
    std::string content;
    FILE *file = fopen(path.c_str(), "rb");
    if (exists)
        *exists = file != nullptr;
    if (!file)
        return content;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
        content.append(chunk, got);
    fclose(file);
    return content;
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

void TempGameFolder::Touch(const std::string &relative) const
{
    WriteTextFile(root_ + "\\" + relative, std::string());
}

void TempGameFolder::Write(const std::string &relative, const std::string &content) const
{
    WriteTextFile(root_ + "\\" + relative, content);
}
