// Threads, one lock with its condition, and a steady clock for the
// solver's work beside the frames, shared by every platform. The core
// includes only this small header; the standard library's thread machinery
// stays in worker.cpp. A page without threads has no second thread: there
// StartThread gives null and RunTogether runs its work once, on the caller.
#pragma once
#include <cstdint>

struct WorkerThread;
// Runs fn(arg) on a thread of its own; null when none can be started.
WorkerThread* StartThread(void (*fn)(void*), void* arg);
// Waits for the thread to end and lets it go.
void JoinThread(WorkerThread* thread);

// Runs fn(arg) on `count` threads at once, the caller's among them, and
// returns once every one has returned.
void RunTogether(int count, void (*fn)(void*), void* arg);

// A lock and the one condition its holders wait on. Made on first use,
// never freed: each lives as long as the program.
struct Monitor;
Monitor* CreateMonitor();
void Enter(Monitor* m);
void Leave(Monitor* m);
// Leaves the lock while it waits for a NotifyAll, then holds it again. It
// may also wake without one: wait in a loop on what is awaited.
void Wait(Monitor* m);
void NotifyAll(Monitor* m);

// Holds the monitor's lock for the scope it is declared in.
class Hold {
public:
    explicit Hold(Monitor* m) : m_(m) { Enter(m_); }
    ~Hold() { Leave(m_); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    Monitor* m_;
};

// Microseconds on a clock that never goes back, from some fixed start.
uint64_t SteadyMicros();
