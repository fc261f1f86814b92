#include "base/unloadWatch.h"

namespace kiv {

unloadWatch unloads;

namespace {

constexpr ULONG reasonUnloaded = 2;

template <class Function>
Function fromNtdll(const char* name) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name))) : nullptr;
}

}  // namespace

unloadWatch::~unloadWatch() {
    stop();
}

bool unloadWatch::start() {
    typedef LONG(NTAPI * registerFn)(ULONG, decltype(&onLoaderEvent), void*, void**);
    if (cookie_) return true;
    auto registerNotification = fromNtdll<registerFn>("LdrRegisterDllNotification");
    if (!registerNotification || registerNotification(0, &onLoaderEvent, this, &cookie_) != 0) cookie_ = nullptr;
    return listening();
}

void unloadWatch::stop() {
    typedef LONG(NTAPI * unregisterFn)(void*);
    if (!cookie_) return;
    if (auto unregisterNotification = fromNtdll<unregisterFn>("LdrUnregisterDllNotification"))
        unregisterNotification(cookie_);
    cookie_ = nullptr;
}

uint32_t unloadWatch::unloadsAt(HMODULE base) const {
    heldLock lock(lock_);
    const auto found = unloads_.find(reinterpret_cast<uintptr_t>(base));
    return lost_ + (found == unloads_.end() ? 0 : found->second);
}

// Under the loader's lock, on whichever thread unloads: a count and nothing else.
void CALLBACK unloadWatch::onLoaderEvent(ULONG reason, const notice* data, void* self) {
    if (reason == reasonUnloaded && data) static_cast<unloadWatch*>(self)->unloaded(data->base);
}

void unloadWatch::unloaded(const void* base) {
    heldLock lock(lock_);
    try {
        ++unloads_[reinterpret_cast<uintptr_t>(base)];
    } catch (...) {
        ++lost_;
    }
}

}  // namespace kiv
