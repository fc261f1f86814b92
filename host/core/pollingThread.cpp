#include "pollingThread.h"

namespace kivhost {

pollingThread::pollingThread(std::function<void()> work, DWORD period) : work_(std::move(work)), period_(period) {
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &pollingThread::run, this, 0, nullptr);
}

pollingThread::~pollingThread() {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
}

DWORD WINAPI pollingThread::run(void* self) {
    auto* polling = static_cast<pollingThread*>(self);
    while (WaitForSingleObject(polling->stop_, polling->period_) == WAIT_TIMEOUT) polling->work_();
    return 0;
}

}  // namespace kivhost
