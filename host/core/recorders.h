// What the host watches through the module's import table: the sounds it plays and the clock it
// reads. Installed by pluginLoader on every plug-in it loads.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivhost {

struct playedSound {
    std::string file;
    DWORD flags;
};

// PlaySoundA as the plug-in sees it: every call is recorded; the answer says whether the file
// could be played (it exists), and nothing is sent to the sound card unless `audible` is set (the
// sandbox sets it for a person to hear).
class soundRecorder {
public:
    static soundRecorder& get();
    std::vector<playedSound> played;
    bool audible = false;
    void clear() { played.clear(); }
    static BOOL WINAPI playSound(LPCSTR sound, HMODULE module, DWORD flags);
};

// GetTickCount as the plug-in sees it: the real clock moved by an offset, or frozen at a value.
// GetLastInputInfo on the same clock: the real last input moved alike, or a tick of the test's.
// GetLocalTime: the real local time, or a time of the test's that goes on with the clock.
class moduleClock {
public:
    static moduleClock& get();
    void advance(DWORD milliseconds) { offset_ += milliseconds; }
    void freeze(DWORD value) { frozen_ = true; value_ = value; }
    void run() { frozen_ = false; }
    // Runs again from the frozen value, without the jump of the time it stood still.
    void carryOn() {
        if (frozen_) offset_ = value_ - GetTickCount();
        frozen_ = false;
    }
    void reset() { offset_ = 0; frozen_ = false; inputSet_ = false; localSet_ = false; }
    DWORD now() const;
    // The user's last keyboard or mouse input as the plug-in sees it, until reset.
    void lastInputAt(DWORD tick) { inputSet_ = true; input_ = tick; }
    // The plug-in's local time is this time now, and moves as the clock moves, until reset.
    void localTimeAt(const SYSTEMTIME& time) {
        localSet_ = true;
        local_ = time;
        localTick_ = now();
    }
    static DWORD WINAPI getTickCount();
    static BOOL WINAPI getLastInputInfo(PLASTINPUTINFO info);
    static void WINAPI getLocalTime(LPSYSTEMTIME time);

private:
    DWORD offset_ = 0;
    bool frozen_ = false;
    DWORD value_ = 0;
    bool inputSet_ = false;
    DWORD input_ = 0;
    bool localSet_ = false;
    SYSTEMTIME local_ = {};
    DWORD localTick_ = 0;
};

void installRecorders(HMODULE module);

}  // namespace kivhost
