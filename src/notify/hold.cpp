#include "notify/hold.h"

#include <string>

#include "base/moduleState.h"
#include "notify/stackScreen.h"
#include "notify/windowsManager.h"
#include "settings/config.h"
#include "settings/quietHours.h"

namespace kiv {

namespace {

void (*historyOpener)() = nullptr;
bool (*silentSwitchOn)() = nullptr;

bool silent() {
    return silentSwitchOn ? silentSwitchOn() : plugin.settings->silent;
}

int __cdecl onSummaryClick(click_info* click, int) {
    if (click && click->button == 1 && historyOpener) historyOpener();
    return 0;
}

}  // namespace

heldReason currentHold() {
    if (!plugin.settings || silent()) return heldReason::silent;
    if (quietHoursNow(*plugin.settings)) return heldReason::quietHours;
    if (plugin.settings->fullscreenautooff && isFullScreenAppActive()) return heldReason::fullScreen;
    return heldReason::none;
}

bool isFullScreenAppActive() {
    HWND foreground = GetForegroundWindow();
    if (!foreground) return false;
    RECT rect;
    if (!GetWindowRect(foreground, &rect)) return false;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    // With a monitor chosen, a game on any screen covers the monitor it is on.
    if (plugin.settings && plugin.settings->monitor != 0) monitorBounds(foreground, screen);
    return EqualRect(&rect, &screen) != FALSE;
}

bool recordingHeldBack() {
    return plugin.settings && plugin.settings->history > 0;
}

// What was held back now waits for its summary: the manager watches for the hold to end.
void remember(const window_info& request, eventKind kind, heldReason held) {
    if (!plugin.history || !recordingHeldBack()) return;
    plugin.history->add(request, kind, held, static_cast<size_t>(plugin.settings->history));
    if (plugin.windows) plugin.windows->wake();
}

void rememberUnshown(const window_info& request) {
    if (!plugin.history || !recordingHeldBack()) return;
    eventKind kind = eventKind::popup;
    if (request.messageKind == window_info::message) kind = eventKind::message;
    if (request.messageKind == window_info::chatMessage) kind = eventKind::chatMessage;
    if (request.messageKind == window_info::statusChange || request.messageKind == window_info::descriptionChange)
        kind = eventKind::status;
    plugin.history->heldLater(request, kind, heldReason::noRoom);
}

void rememberText(const window_info& request) {
    if (plugin.history && recordingHeldBack()) plugin.history->updateText(request);
}

namespace {

bool missedSummaryDue() {
    return plugin.history && plugin.history->anyMissed() && plugin.settings->missedsummary && recordingHeldBack();
}

}  // namespace

bool takeMissedSummary(window_info& request) {
    if (!missedSummaryDue() || currentHold() != heldReason::none) return false;
    std::string text = missedText(plugin.history->takeMissed());
    request.setTexts("", "kiv", "kiv", text.c_str(), "ico_small");
    request.clickCallback = onSummaryClick;
    return true;
}

bool missedSummaryAwaited() {
    return missedSummaryDue() && currentHold() != heldReason::silent;
}

void holdWhileSilent(bool (*silentNow)()) {
    silentSwitchOn = silentNow;
}

void openHistoryOnSummaryClick(void (*openHistory)()) {
    historyOpener = openHistory;
}

}  // namespace kiv
