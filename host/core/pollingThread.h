// A thread that does its work every period until its owner goes: how the watchers look at what the
// user-interface thread shows while it sits in a modal loop. Declare it last, so that it stops
// before what its work uses is gone.
#pragma once

#include <windows.h>

#include <functional>

namespace kivhost {

class pollingThread {
public:
    explicit pollingThread(std::function<void()> work, DWORD period = 20);
    // Stops the thread and waits for the work under way.
    ~pollingThread();
    pollingThread(const pollingThread&) = delete;
    pollingThread& operator=(const pollingThread&) = delete;

private:
    static DWORD WINAPI run(void* self);

    std::function<void()> work_;
    DWORD period_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

}  // namespace kivhost
