#include "timerRecorder.h"

#include "importPatch.h"

namespace kivhost {

timerRecorder& timerRecorder::get() {
    static timerRecorder recorder;
    return recorder;
}

void timerRecorder::install(HMODULE module) {
    patchImport(module, "USER32.dll", "SetTimer", reinterpret_cast<void*>(&setTimer));
    patchImport(module, "USER32.dll", "KillTimer", reinterpret_cast<void*>(&killTimer));
}

// A window's timers go with the window, as the system drops them.
size_t timerRecorder::live() {
    for (auto at = live_.begin(); at != live_.end();)
        at = at->first && !IsWindow(at->first) ? live_.erase(at) : std::next(at);
    return live_.size();
}

bool timerRecorder::fromModule(const MSG& message) const {
    return message.message == WM_TIMER && live_.count({message.hwnd, message.wParam}) != 0;
}

// A thread timer is known by the id the system gives; a window's by the id asked for.
UINT_PTR WINAPI timerRecorder::setTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure) {
    const UINT_PTR given = SetTimer(window, id, period, procedure);
    if (given) get().live_.insert({window, window ? id : given});
    return given;
}

BOOL WINAPI timerRecorder::killTimer(HWND window, UINT_PTR id) {
    get().live_.erase({window, id});
    return KillTimer(window, id);
}

}  // namespace kivhost
