#include "standin_events.h"
#include "demo/standin/standin_names.h"
#include "test_support.h"

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
