#include "history/notificationHistory.h"

#include <algorithm>
#include <cstdio>

#include "base/contactList.h"
#include "base/text.h"
#include "base/wideText.h"
#include "base/window_info.h"

namespace kiv {

namespace {

// 1 wiadomość, 2-4 (but 12-14) wiadomości, otherwise wiadomości/zmian/powiadomień.
const char* pluralOf(int count, const char* one, const char* few, const char* many) {
    if (count == 1) return one;
    int tens = count % 100;
    int units = count % 10;
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) return few;
    return many;
}

void appendCount(std::string& text, int count, const char* one, const char* few, const char* many) {
    if (count <= 0) return;
    if (text.back() != ' ') text += ", ";
    text += std::to_string(count) + " " + pluralOf(count, one, few, many);
}

// The name with the identifier, or whichever of them there is.
std::wstring contactOf(const window_info& request) {
    std::wstring id = wideOf(request.contactId, request.utf8);
    std::wstring name = wideOf(request.nick, request.utf8);
    if (name.empty() || name == id) return id;
    if (id.empty()) return name;
    return name + L" (" + id + L")";
}

}  // namespace

void notificationHistory::add(const window_info& request, eventKind kind, heldReason held, size_t limit) {
    if (limit == 0) return;
    historyEntry entry;
    GetLocalTime(&entry.time);
    entry.protocol = request.protocol;
    entry.contactId = request.contactId;
    entry.contact = contactOf(request);
    entry.text = wideOf(request.text, request.utf8);
    entry.kind = kind;
    entry.status = request.status;
    entry.held = held;
    entry.id = request.id;
    entries_.push_back(std::move(entry));
    while (entries_.size() > limit) entries_.pop_front();
    if (changed_) changed_();
    // The summary tells what kiv kept back while it was silent, in its quiet hours or behind a
    // full-screen program; a message its chat window already shows was not missed, and counting it
    // would bring a summary right after it.
    if (held != heldReason::none && held != heldReason::chatInFront) countMissed(kind, 1);
}

void notificationHistory::countMissed(eventKind kind, int count) {
    switch (kind) {
    case eventKind::message:
        missed_.messages += count;
        break;
    case eventKind::chatMessage:
        missed_.chatMessages += count;
        break;
    case eventKind::status:
        missed_.statusChanges += count;
        break;
    case eventKind::popup:
        missed_.others += count;
        break;
    }
}

// The newest entries still taken as shown are the request's: its own id, or its contact and kind
// with its text (a grouped request holds its conversation's latest messages, one entry each).
void notificationHistory::heldLater(const window_info& request, eventKind kind, heldReason held) {
    const int count = std::max<int32_t>(request.messages, 1);
    const std::wstring text = wideOf(request.text, request.utf8);
    int left = count;
    for (auto at = entries_.rbegin(); at != entries_.rend() && left > 0; ++at) {
        const bool same = request.id > 0 ? at->id == request.id
                                         : at->id == 0 && at->kind == kind && at->protocol == request.protocol &&
                                               at->contactId == request.contactId && (count > 1 || at->text == text);
        if (!same || at->held != heldReason::none) continue;
        at->held = held;
        --left;
    }
    if (left < count && changed_) changed_();
    countMissed(kind, count);
}

bool notificationHistory::updateText(const window_info& request) {
    if (request.id <= 0) return false;
    for (auto at = entries_.rbegin(); at != entries_.rend(); ++at) {
        if (at->id != request.id) continue;
        at->text = wideOf(request.text, request.utf8);
        if (changed_) changed_();
        return true;
    }
    return false;
}

void notificationHistory::clear() {
    entries_.clear();
}

missedCounts notificationHistory::takeMissed() {
    missedCounts taken = missed_;
    missed_ = missedCounts();
    return taken;
}

const char* eventText(const historyEntry& entry, char* buffer, size_t size) {
    switch (entry.kind) {
    case eventKind::status: {
        const char* name = eventStatusName(entry.status);
        snprintf(buffer, size, "status: %s", name ? name : "?");
        return buffer;
    }
    case eventKind::message:
        return "wiadomość";
    case eventKind::chatMessage:
        return "wiadomość czatu";
    case eventKind::popup:
        break;
    }
    return "powiadomienie wtyczki";
}

const char* heldText(heldReason reason) {
    switch (reason) {
    case heldReason::silent:
        return "wyciszone";
    case heldReason::quietHours:
        return "cisza nocna";
    case heldReason::fullScreen:
        return "program pełnoekranowy";
    case heldReason::chatInFront:
        return "okno czatu na wierzchu";
    case heldReason::noRoom:
        return "brak miejsca na ekranie";
    case heldReason::none:
        break;
    }
    return "";
}

std::string missedText(const missedCounts& counts) {
    std::string text = "Gdy kiv milczał: ";
    appendCount(text, counts.messages, "wiadomość", "wiadomości", "wiadomości");
    appendCount(text, counts.chatMessages, "wiadomość czatu", "wiadomości czatu", "wiadomości czatu");
    appendCount(text, counts.statusChanges, "zmiana statusu", "zmiany statusu", "zmian statusu");
    appendCount(text, counts.others, "powiadomienie", "powiadomienia", "powiadomień");
    return text;
}

}  // namespace kiv
