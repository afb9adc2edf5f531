// The stand-in game's two events, made by a test before the game starts: the started event
// tells that the game has written its record, the quit event ends it.
#ifndef PELMAR_STANDIN_EVENTS_H
#define PELMAR_STANDIN_EVENTS_H

#include <windows.h>

class StandInEvents
{
public:
    // Both events made and cleared.
    StandInEvents();
    // Ends a game a failed check left running, so it does not outlive the test's folder.
    ~StandInEvents();
    StandInEvents(const StandInEvents &) = delete;
    StandInEvents &operator=(const StandInEvents &) = delete;

    bool Ready() const { return started_ && quit_; }

    bool HasStarted() const { return WaitForSingleObject(started_, 0) == WAIT_OBJECT_0; }
    // Waits for the start, dispatching this thread's messages meanwhile.
    bool WaitStarted(DWORD timeoutMs = 15000) const;
    // Tells every stand-in to end, now and at its start, until Reset.
    void EndGame() const { SetEvent(quit_); }
    void Reset() const;
    // Ends the stand-in whose window is up and waits for its process; false when none was
    // running or it did not end in time. The events are cleared afterwards.
    bool EndRunningGame(DWORD timeoutMs = 10000) const;

private:
    HANDLE started_;
    HANDLE quit_;
};

#endif
