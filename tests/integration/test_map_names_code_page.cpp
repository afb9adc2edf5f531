// Maps named outside the ANSI code page: every listed name, given to the game, opens that
// very map. ctest runs this once more under each code page of tests/CMakeLists.txt.
#include "launch/map_catalogue.h"
#include "main_dialog.h"

#include <cstdlib>
#include <map>

namespace
{
// DM-Uber is also what DM-Über best-fits to under 1251, so a best-fitted name would run it.
const wchar_t *const MapFiles[] = { L"DM-\u00dcber", L"DM-Uber", L"DM-\u0401\u043b\u043a\u0430", L"CTF-Fa\u00e7ade",
                                    L"DM-\u30de\u30c3\u30d7", L"DM-Plain" };

// Volume and index of the file path opens; empty when it opens none.
std::string FileIdentity(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info;
    bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!known)
        return "";
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":"
           + std::to_string(info.nFileIndexLow);
}

HANDLE OpenToRead(const std::wstring &path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

// True when the code page holds the name as it is, without "?" or a best fit.
bool CodePageHolds(const std::wstring &name)
{
    BOOL lost = FALSE;
    char bytes[MAX_PATH];
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, bytes, sizeof(bytes), nullptr,
                                     &lost);
    return length > 0 && !lost;
}

std::string InCodePage(const std::wstring &name)
{
    char bytes[MAX_PATH] = { 0 };
    WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, bytes, sizeof(bytes), nullptr, nullptr);
    return bytes;
}
}

TEST(MapNamesOutsideTheCodePage, EveryListedNameOpensItsOwnMap)
{
    const char *wanted = getenv("PELMAR_TEST_CODEPAGE");
    if (wanted)
    {
        ASSERT_EQ(static_cast<UINT>(atoi(wanted)), GetACP()) << "LC_ALL did not give Wine that code page";
    }

    TempGameFolder game("map-code-page", true, false);
    const std::string folder = game.Maps();
    const std::wstring maps = std::wstring(folder.begin(), folder.end()) + L"\\";
    std::map<std::string, std::wstring> byIdentity;
    std::vector<std::string> heldWhole;
    for (const wchar_t *name : MapFiles)
    {
        HANDLE file = CreateFileW((maps + name + L".unr").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
        byIdentity[FileIdentity(OpenToRead(maps + name + L".unr"))] = name;
        if (CodePageHolds(name))
            heldWhole.push_back(InCodePage(name));
    }
    ASSERT_EQ(6u, byIdentity.size());

    MainDialog dialog;
    CurrentDirectoryScope here(game.System());
    ScanMapFolder(dialog.Window(), "..\\Maps\\", "*.unr");
    const std::vector<std::string> listed = ListTexts(dialog.Control(IDC_MAP_LIST));

    // The game opens the listed name in this code page, as Pelmar hands it over.
    std::map<std::wstring, int> timesListed;
    for (const std::string &entry : listed)
    {
        std::string path = "..\\Maps\\" + entry + ".unr";
        std::string identity = FileIdentity(
            CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_EQ(1u, byIdentity.count(identity)) << entry << " opens no map of the folder";
        ++timesListed[byIdentity[identity]];
    }
    EXPECT_EQ(6u, listed.size()) << Joined(listed);
    EXPECT_EQ(6u, timesListed.size()) << Joined(listed);
    // A name the code page holds is listed as it is; only the others by their short names.
    for (const std::string &whole : heldWhole)
        EXPECT_TRUE(Contains(listed, whole)) << whole << " in " << Joined(listed);
}
