#include "ui/silentSwitch.h"

#include "base/entryGuard.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "base/serviceInbox.h"
#include "notify/hold.h"
#include "notify/windowsManager.h"
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

// What another thread's kiv/getsilent answers: -1 while unloaded, else the switch as the
// user-interface thread last set it or as a caller's own kiv/setsilent left it. A caller's change is
// queued and shown under one lock, so it never overwrites a later one of the user-interface thread.
volatile LONG seenByOthers = -1;
SRWLOCK seenLock = SRWLOCK_INIT;

class exclusive {
public:
    exclusive() { AcquireSRWLockExclusive(&seenLock); }
    ~exclusive() { ReleaseSRWLockExclusive(&seenLock); }
    exclusive(const exclusive&) = delete;
    exclusive& operator=(const exclusive&) = delete;
};

void show(LONG value) {
    exclusive lock;
    InterlockedExchange(&seenByOthers, value);
}

bool lasting() {
    return plugin.settings && plugin.settings->silent;
}

// The summary of what silence held back may show now: the manager does not watch for it meanwhile.
void wakeWhenOff(bool on) {
    if (!on && plugin.windows) plugin.windows->wake();
}

}  // namespace

void silentSwitch::offerServices() {
    plugin.getSilentService = host::createService(abi::svcKivGetSilent, guarded<getService, -1>);
    plugin.setSilentService = host::createService(abi::svcKivSetSilent, guarded<setService, -1>);
}

void silentSwitch::withdrawServices() {
    host::destroyService(plugin.getSilentService);
    host::destroyService(plugin.setSilentService);
}

void silentSwitch::open() {
    holdWhileSilent(on);
    show(on() ? 1 : 0);
}

void silentSwitch::close() {
    show(-1);
    stopTimer();
    holdWhileSilent(nullptr);
}

bool silentSwitch::on() {
    return timer != 0 || lasting();
}

int silentSwitch::set(bool on) {
    stopTimer();
    if (!plugin.settings) return 0;
    plugin.settings->silent = on;
    publish();
    return on ? 1 : 0;
}

void silentSwitch::toggledInMenu(bool on) {
    stopTimer();
    if (!plugin.settings) return;
    plugin.settings->silent = on;
    show(on ? 1 : 0);  // the check mark is flipped already
    plugin.settings->save();
    wakeWhenOff(on);
}

void silentSwitch::silenceFor(DWORD milliseconds) {
    stopTimer();
    silencedAt = GetTickCount();
    silenceLength = milliseconds;
    timer = SetTimer(nullptr, 0, checkPeriod, guardedCallback<check>);
    publish();
}

int __cdecl silentSwitch::getService(WPARAM, LPARAM) {
    if (!inbox.onOwnThread()) return static_cast<int>(InterlockedCompareExchange(&seenByOthers, 0, 0));
    inbox.runBatch();
    return on() ? 1 : 0;
}

// Another thread's change reaches the setting and the status menu on the user-interface thread;
// until then that thread's kiv/getsilent answers what it set.
int __cdecl silentSwitch::setService(WPARAM wanted, LPARAM) {
    const bool silent = wanted != 0;
    if (inbox.onOwnThread()) {
        inbox.runBatch();
        return set(silent);
    }
    exclusive lock;
    if (!inbox.post([silent] { set(silent); })) return -1;
    InterlockedExchange(&seenByOthers, silent ? 1 : 0);
    return silent ? 1 : 0;
}

void CALLBACK silentSwitch::check(HWND, UINT, UINT_PTR, DWORD) {
    if (GetTickCount() - silencedAt < silenceLength) return;
    stopTimer();
    publish();
}

void silentSwitch::stopTimer() {
    if (timer) KillTimer(nullptr, timer);
    timer = 0;
}

void silentSwitch::publish() {
    show(on() ? 1 : 0);
    updateSilentMenuItem(on());
    wakeWhenOff(on());
}

}  // namespace kiv
