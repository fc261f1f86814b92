// Threads of another plug-in that call kiv while this thread runs the messages, as the messenger's
// user-interface thread does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "hostCore.h"

namespace kivtest {

class workerThreads {
public:
    workerThreads() = default;
    ~workerThreads() { join(); }
    workerThreads(const workerThreads&) = delete;
    workerThreads& operator=(const workerThreads&) = delete;

    void start(std::function<void()> body) {
        auto* owned = new std::function<void()>(std::move(body));
        HANDLE thread = CreateThread(nullptr, 0, run, owned, 0, nullptr);
        if (thread)
            threads_.push_back(thread);
        else
            delete owned;
    }
    size_t count() const { return threads_.size(); }
    const std::vector<HANDLE>& handles() const { return threads_; }

    // Runs this thread's messages until every worker has ended or the time is up.
    bool finish(DWORD milliseconds) {
        return kivhost::pumpUntil([this] { return running() == 0; }, milliseconds);
    }
    size_t running() const {
        size_t alive = 0;
        for (HANDLE thread : threads_) alive += WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
        return alive;
    }
    void join() {
        for (HANDLE thread : threads_) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        threads_.clear();
    }

private:
    static DWORD WINAPI run(void* body) {
        std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
        (*owned)();
        return 0;
    }
    std::vector<HANDLE> threads_;
};

// kiv's services as another plug-in calls them: through the host's callService, on its own thread.
inline int callFromPlugin(const char* name, WPARAM wParam = 0, LPARAM lParam = 0) {
    auto call = reinterpret_cast<kiv::abi::CallServiceFn>(
        kivhost::hostCore::get().serviceTable()[kiv::abi::slotCallService]);
    return call(GetModuleHandleA(nullptr), name, wParam, lParam);
}

}  // namespace kivtest
