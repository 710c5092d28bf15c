#include "platform/worker/worker.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define TARNO_NO_THREADS 1
#endif

struct WorkerThread {
    std::thread thread;
};

struct Monitor {
    std::mutex lock;
    std::condition_variable changed;
};

WorkerThread* StartThread(void (*fn)(void*), void* arg) {
#ifdef TARNO_NO_THREADS
    (void)fn;
    (void)arg;
    return nullptr;
#else
    return new (std::nothrow) WorkerThread{std::thread(fn, arg)};
#endif
}

void JoinThread(WorkerThread* thread) {
    if (!thread) return;
    thread->thread.join();
    delete thread;
}

void RunTogether(int count, void (*fn)(void*), void* arg) {
#ifdef TARNO_NO_THREADS
    (void)count;
    fn(arg);
#else
    constexpr int MOST = 8;
    std::thread helpers[MOST];
    int started = 0;
    for (; started < count - 1 && started < MOST; ++started) helpers[started] = std::thread(fn, arg);
    fn(arg);
    for (int i = 0; i < started; ++i) helpers[i].join();
#endif
}

Monitor* CreateMonitor() { return new Monitor; }

void Enter(Monitor* m) { m->lock.lock(); }

void Leave(Monitor* m) { m->lock.unlock(); }

void Wait(Monitor* m) {
    std::unique_lock<std::mutex> held(m->lock, std::adopt_lock);
    m->changed.wait(held);
    held.release();  // still held, by the caller
}

void NotifyAll(Monitor* m) { m->changed.notify_all(); }

uint64_t SteadyMicros() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}
