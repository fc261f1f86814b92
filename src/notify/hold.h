// What holds notifications and the module's sounds back: the silent switch, the quiet hours, a
// full-screen program in front; what is recorded of what was held back, and the one notification
// that sums it up once they may show again.
#pragma once

#include "base/window_info.h"
#include "history/notificationHistory.h"

namespace kiv {

// Why no notification window and no sound of the module may be produced now; none when they may.
heldReason currentHold();
// Whether the silent switch is on now; without one, the lasting setting tells.
void holdWhileSilent(bool (*silentNow)());
// A window in front that covers its whole screen (or the chosen monitor), as a game does.
bool isFullScreenAppActive();

// Whether held-back events still go through the filters, to be recorded.
bool recordingHeldBack();
// The module's history takes the request, when it keeps any.
void remember(const window_info& request, eventKind kind, heldReason held);
// A request that waited for room on the screen and was let go: held back after all.
void rememberUnshown(const window_info& request);
// Its entry, if still kept, follows the new text of a kiv/popup/show notification.
void rememberText(const window_info& request);

// Once notifications are allowed again after some were held back, the one notification that sums
// them up; false when there is none to show now. A left click on it calls what
// openHistoryOnSummaryClick was given.
bool takeMissedSummary(window_info& request);
// Some were held back and their summary waits for a hold that ends by itself: anything but the
// silent switch, which says when it goes off.
bool missedSummaryAwaited();
void openHistoryOnSummaryClick(void (*openHistory)());

}  // namespace kiv
