#include "ui/silentSwitch.h"

#include "base/entryGuard.h"
#include "base/moduleState.h"
#include "base/serviceInbox.h"
#include "settings/config.h"
#include "ui/menus.h"

namespace kiv {

namespace {

// Checked on the module's clock once a second: the platform's timer alone would not follow a clock
// that the machine's sleep or a test has moved.
constexpr UINT checkPeriod = 1000;

UINT_PTR timer = 0;
DWORD silencedAt = 0;
DWORD silenceLength = 0;

// The setting, and the switch as other threads read it.
bool store(bool on) {
    if (!plugin.settings) return false;
    plugin.settings->silent = on;
    inbox.publishSilent(on);
    return true;
}

}  // namespace

int silentSwitch::set(bool on) {
    stopTimer();
    if (!store(on)) return 0;
    updateSilentMenuItem();
    return on ? 1 : 0;
}

void silentSwitch::toggledInMenu(bool on) {
    stopTimer();
    if (store(on)) plugin.settings->save();
}

void silentSwitch::silenceFor(DWORD milliseconds) {
    set(true);
    silencedAt = GetTickCount();
    silenceLength = milliseconds;
    timer = SetTimer(nullptr, 0, checkPeriod, guardedCallback<check>);
}

void silentSwitch::endTimedSilence() {
    if (!timer) return;
    stopTimer();
    store(false);
}

void CALLBACK silentSwitch::check(HWND, UINT, UINT_PTR, DWORD) {
    if (GetTickCount() - silencedAt >= silenceLength) set(false);
}

void silentSwitch::stopTimer() {
    if (timer) KillTimer(nullptr, timer);
    timer = 0;
}

}  // namespace kiv
