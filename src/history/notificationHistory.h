// The latest notifications, shown or held back, kept in memory only (they hold message texts):
// what the history window lists and what the summary of missed notifications counts.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace kiv {

struct window_info;

enum class eventKind { status, message, chatMessage, popup };

// Why a notification the filters allowed was not shown; none when it was.
enum class heldReason { none, silent, quietHours, fullScreen, chatInFront, noRoom };

struct historyEntry {
    SYSTEMTIME time = {};
    std::string protocol, contactId;  // as the request gave them: what opens the chat
    std::wstring contact, text;       // as the notification drew them, whatever their encoding
    eventKind kind = eventKind::popup;
    int status = 0;  // the new status of a status change
    heldReason held = heldReason::none;
    int32_t id = 0;  // kiv/popup/show's id, whose updates the entry follows; 0 for any other
};

// How many of each kind were held back since the last summary.
struct missedCounts {
    int messages = 0, chatMessages = 0, statusChanges = 0, others = 0;
    bool any() const { return messages + chatMessages + statusChanges + others > 0; }
};

class notificationHistory {
public:
    // Keeps the entry, dropping the oldest past `limit`; nothing is kept while the limit is 0.
    void add(const window_info& request, eventKind kind, heldReason held, size_t limit);
    // A request taken as shown that never got a window: its entries say why, and it counts as missed.
    void heldLater(const window_info& request, eventKind kind, heldReason held);
    // The entry of the request's id takes its new text; false when there is none.
    bool updateText(const window_info& request);
    void clear();
    const std::deque<historyEntry>& entries() const { return entries_; }
    // Told after an entry is added or changes (the history window, while it is open); null: nobody.
    void watch(void (*changed)()) { changed_ = changed; }

    // The counts held back by silent, the quiet hours, a full-screen program or a full stack so far,
    // forgotten as they are taken.
    bool anyMissed() const { return missed_.any(); }
    missedCounts takeMissed();

private:
    void countMissed(eventKind kind, int count);

    std::deque<historyEntry> entries_;  // oldest first
    missedCounts missed_;
    void (*changed_)() = nullptr;
};

const char* eventText(const historyEntry& entry, char* buffer, size_t size);
const char* heldText(heldReason reason);
// The summary's text, e.g. "Gdy kiv milczał: 3 wiadomości, 1 wiadomość czatu, 2 zmiany statusu".
std::string missedText(const missedCounts& counts);

}  // namespace kiv
