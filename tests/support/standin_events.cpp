#include "standin_events.h"
#include "demo/standin/standin_names.h"
#include "test_support.h"

#include <vector>

StandInEvents::StandInEvents()
    : started_(CreateEventA(nullptr, TRUE, FALSE, StandInStartedEventName)),
      quit_(CreateEventA(nullptr, TRUE, FALSE, StandInQuitEventName))
{
    Reset();
}

StandInEvents::~StandInEvents()
{
    EndRunningGame();
    if (started_)
        CloseHandle(started_);
    if (quit_)
        CloseHandle(quit_);
}

bool StandInEvents::WaitStarted(DWORD timeoutMs) const
{
    return WaitUntil([this] { return HasStarted(); }, timeoutMs);
}

void StandInEvents::Reset() const
{
    if (started_)
        ResetEvent(started_);
    if (quit_)
        ResetEvent(quit_);
}

bool StandInEvents::EndRunningGame(DWORD timeoutMs) const
{
    HWND window = FindWindowA(StandInWindowClass, nullptr);
    if (!window)
        return false;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    EndGame();
    bool ended = false;
    if (process)
    {
        ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
        CloseHandle(process);
    }
    Reset();
    return ended;
}

namespace
{
struct HandleEntry
{
    void *object;
    ULONG_PTR process;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable
{
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
typedef LONG(NTAPI *QuerySystemInformation)(ULONG, void *, ULONG, ULONG *);
const ULONG SystemExtendedHandleInformation = 64;
const LONG InfoLengthMismatch = static_cast<LONG>(0xC0000004);
}

long OpenHandleCount()
{
    QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(SystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &needed)) == InfoLengthMismatch
           && buffer.size() < (1u << 28))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const HandleTable *table = reinterpret_cast<const HandleTable *>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].process == GetCurrentProcessId())
            ++count;
    return count;
}
