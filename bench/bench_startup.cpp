/* Start-up benchmark: Pelmar.exe against the floor program in game folders with 0, 1,000
   and 20,000 maps. One start is measured from CreateProcess until WaitForInputIdle
   returns, that is until the program's message loop first waits for input; the main
   window is then asked for its map count, which is answered only from that loop, so the
   time that answer takes shows whether the program really was waiting. The two programs
   take turns, so neither gains from the other's warm caches.
   Usage: bench_startup [repetitions]   (default 5) */
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
const int MapCounts[] = { 0, 1000, 20000 };
const double Target = 1.5;

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return ".";
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TouchFile(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool WriteFileText(const std::string &path, const char *text)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    fputs(text, file);
    fclose(file);
    return true;
}

void RemoveTree(const std::string &path)
{
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
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// root\System with a game configuration, and maps split over root\Maps and
// root\Maps\UPak, named as players' maps are and not in sorted order.
std::string MakeGameFolder(int maps)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof(temp), temp);
    if (length == 0 || length >= sizeof(temp))
        return std::string();
    char root[MAX_PATH];
    snprintf(root, sizeof(root), "%spelmar-bench-%lu-%d", temp, GetCurrentProcessId(), maps);
    RemoveTree(root);
    std::string base = root;
    if (!CreateDirectoryA(base.c_str(), nullptr) || !CreateDirectoryA((base + "\\System").c_str(), nullptr) ||
        !CreateDirectoryA((base + "\\Maps").c_str(), nullptr) ||
        !CreateDirectoryA((base + "\\Maps\\UPak").c_str(), nullptr))
        return std::string();
    WriteFileText(base + "\\System\\Unreal.ini",
                  "[Engine.Engine]\r\nLanguage=int\r\n[WinDrv.WindowsClient]\r\n"
                  "WindowedViewportX=640\r\nWindowedViewportY=480\r\nWindowedColorBits=16\r\n"
                  "FullscreenViewportX=640\r\nFullscreenViewportY=480\r\nFullscreenColorBits=16\r\n");
    static const char *const kinds[] = { "DM-", "CTF-", "DOM-", "AS-" };
    for (int i = 0; i < maps; ++i)
    {
        char name[64];
        unsigned number = static_cast<unsigned>(i) * 7919u % 100000u;
        snprintf(name, sizeof(name), "%s\\%sBench%05u.unr", (i % 2) ? "Maps\\UPak" : "Maps",
                 kinds[number % 4], number);
        if (!TouchFile(base + "\\" + name))
            return std::string();
    }
    return base;
}

struct Search
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param)
{
    Search *search = reinterpret_cast<Search *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = { 0 };
    GetClassNameA(window, className, sizeof(className));
    if (owner != search->process || !IsWindowVisible(window) || lstrcmpA(className, "#32770") != 0 ||
        !GetDlgItem(window, 1001))
        return TRUE;
    search->found = window;
    return FALSE;
}

struct Start
{
    bool ok = false;
    double idleMs = 0;       // CreateProcess to WaitForInputIdle
    double answerMs = 0;     // then until the list answered
    long listed = -1;
};

Start TimeStart(const std::string &exe, const std::string &arguments, const std::string &directory)
{
    Start result;
    std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};

    double begin = Now();
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process))
        return result;
    DWORD idle = WaitForInputIdle(process.hProcess, 600000);
    double idleAt = Now();

    Search search = { process.dwProcessId, nullptr };
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    if (idle == 0 && search.found)
    {
        DWORD_PTR count = 0;
        if (SendMessageTimeoutA(GetDlgItem(search.found, 1001), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 600000, &count))
            result.listed = static_cast<long>(count);
        result.answerMs = Now() - idleAt;
        result.idleMs = idleAt - begin;
        result.ok = true;
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
    {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
        result.ok = false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Times(const std::vector<double> &values)
{
    std::string text;
    for (double value : values)
    {
        char one[32];
        snprintf(one, sizeof(one), "%s%.0f", text.empty() ? "" : " ", value);
        text += one;
    }
    return text;
}
}

int main(int argc, char **argv)
{
    int repetitions = argc > 1 ? atoi(argv[1]) : 5;
    if (repetitions < 1)
        repetitions = 1;
    std::string here = ProgramFolder();
    std::string pelmar = here + "\\..\\Pelmar.exe";
    std::string floor = here + "\\bench_floor.exe";
    if (!Exists(pelmar) || !Exists(floor))
    {
        fprintf(stderr, "missing %s or %s\n", pelmar.c_str(), floor.c_str());
        return 2;
    }

    bool sound = true;
    double worstAnswer = 0;

    // Does the measure end where the message loop begins? A floor that sleeps 1000 ms
    // before its loop must take that much longer.
    {
        std::string game = MakeGameFolder(0);
        if (game.empty())
        {
            fprintf(stderr, "cannot make a game folder\n");
            return 2;
        }
        std::string system = game + "\\System";
        TimeStart(floor, "", system);
        std::vector<double> plain, delayed;
        for (int i = 0; i < 3; ++i)
        {
            Start a = TimeStart(floor, "", system);
            Start b = TimeStart(floor, "--delay 1000", system);
            sound = sound && a.ok && b.ok;
            plain.push_back(a.idleMs);
            delayed.push_back(b.idleMs);
        }
        double extra = Median(delayed) - Median(plain);
        printf("Check: floor %.0f ms, floor sleeping 1000 ms before its loop %.0f ms (+%.0f ms)\n",
               Median(plain), Median(delayed), extra);
        if (extra < 900)
        {
            printf("WaitForInputIdle returns before the message loop here: the times below mean nothing\n");
            sound = false;
        }
        RemoveTree(game);
    }

    printf("\n%8s %11s %10s %7s   %s\n", "maps", "Pelmar ms", "floor ms", "ratio", "each start (Pelmar | floor)");
    double lastRatio = 0;
    for (int maps : MapCounts)
    {
        double made = Now();
        std::string game = MakeGameFolder(maps);
        if (game.empty())
        {
            fprintf(stderr, "cannot make a game folder with %d maps\n", maps);
            return 2;
        }
        fprintf(stderr, "(%d maps laid out in %.0f ms)\n", maps, Now() - made);
        std::string system = game + "\\System";
        // One start of each first, unmeasured: the folder's listing is then cached for both.
        TimeStart(pelmar, "", system);
        TimeStart(floor, "", system);

        std::vector<double> pelmarTimes, floorTimes;
        for (int i = 0; i < repetitions; ++i)
        {
            for (int turn = 0; turn < 2; ++turn)
            {
                bool pelmarTurn = (turn == 0) == (i % 2 == 0);
                Start start = TimeStart(pelmarTurn ? pelmar : floor, "", system);
                if (!start.ok || start.listed != maps)
                {
                    printf("%s start %d failed or listed %ld of %d maps\n", pelmarTurn ? "Pelmar" : "floor",
                           i, start.listed, maps);
                    sound = false;
                }
                worstAnswer = std::max(worstAnswer, start.answerMs);
                (pelmarTurn ? pelmarTimes : floorTimes).push_back(start.idleMs);
            }
        }
        double pelmarMs = Median(pelmarTimes);
        double floorMs = Median(floorTimes);
        lastRatio = floorMs > 0 ? pelmarMs / floorMs : 0;
        printf("%8d %11.0f %10.0f %7.2f   %s | %s\n", maps, pelmarMs, floorMs, lastRatio,
               Times(pelmarTimes).c_str(), Times(floorTimes).c_str());
        fflush(stdout);
        RemoveTree(game);
    }

    printf("\nMedians of %d starts each. After the measure each window answered within %.0f ms.\n",
           repetitions, worstAnswer);
    printf("Target with %d maps: Pelmar within %.1fx the floor: %s (%.2fx)\n",
           MapCounts[sizeof(MapCounts) / sizeof(MapCounts[0]) - 1], Target,
           lastRatio <= Target ? "met" : "missed", lastRatio);
    return sound ? 0 : 1;
}
