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

void installRecorders(HMODULE module) {
    patchImport(module, "WINMM.dll", "PlaySoundA", reinterpret_cast<void*>(&soundRecorder::playSound));
    patchImport(module, "KERNEL32.dll", "GetTickCount", reinterpret_cast<void*>(&moduleClock::getTickCount));
    patchImport(module, "USER32.dll", "GetLastInputInfo", reinterpret_cast<void*>(&moduleClock::getLastInputInfo));
}

}  // namespace kivhost
