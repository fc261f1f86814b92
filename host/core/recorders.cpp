#include "recorders.h"

#include "importPatch.h"

namespace kivhost {

soundRecorder& soundRecorder::get() {
    static soundRecorder recorder;
    return recorder;
}

BOOL WINAPI soundRecorder::playSound(LPCSTR sound, HMODULE module, DWORD flags) {
    std::string file = sound ? sound : "";
    get().played.push_back({file, flags});
    if (get().audible) return PlaySoundA(sound, module, flags);
    return !file.empty() && GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

moduleClock& moduleClock::get() {
    static moduleClock clock;
    return clock;
}

DWORD moduleClock::now() const {
    return frozen_ ? value_ : GetTickCount() + offset_;
}

DWORD WINAPI moduleClock::getTickCount() {
    return get().now();
}

BOOL WINAPI moduleClock::getLastInputInfo(PLASTINPUTINFO info) {
    if (!info || info->cbSize != sizeof(LASTINPUTINFO)) return FALSE;
    const moduleClock& clock = get();
    if (clock.inputSet_) {
        info->dwTime = clock.input_;
        return TRUE;
    }
    if (!GetLastInputInfo(info)) return FALSE;
    info->dwTime += clock.now() - GetTickCount();
    return TRUE;
}

void WINAPI moduleClock::getLocalTime(LPSYSTEMTIME time) {
    const moduleClock& clock = get();
    if (!clock.localSet_) {
        GetLocalTime(time);
        return;
    }
    FILETIME start = {};
    SystemTimeToFileTime(&clock.local_, &start);
    ULARGE_INTEGER at = {};
    at.LowPart = start.dwLowDateTime;
    at.HighPart = start.dwHighDateTime;
    at.QuadPart += static_cast<ULONGLONG>(clock.now() - clock.localTick_) * 10000;  // 100 ns units
    const FILETIME moved = {at.LowPart, at.HighPart};
    FileTimeToSystemTime(&moved, time);
}

void installRecorders(HMODULE module) {
    patchImport(module, "WINMM.dll", "PlaySoundA", reinterpret_cast<void*>(&soundRecorder::playSound));
    patchImport(module, "KERNEL32.dll", "GetTickCount", reinterpret_cast<void*>(&moduleClock::getTickCount));
    patchImport(module, "USER32.dll", "GetLastInputInfo", reinterpret_cast<void*>(&moduleClock::getLastInputInfo));
    patchImport(module, "KERNEL32.dll", "GetLocalTime", reinterpret_cast<void*>(&moduleClock::getLocalTime));
}

}  // namespace kivhost
