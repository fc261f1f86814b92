#include "events/protocolHook.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "base/chatInFront.h"
#include "base/contactList.h"
#include "base/entryGuard.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "base/sound.h"
#include "base/status.h"
#include "base/window_info.h"
#include "filters/filtersManager.h"
#include "history/eventLog.h"
#include "history/notificationHistory.h"
#include "notify/hold.h"
#include "notify/windowsManager.h"
#include "settings/config.h"

namespace kiv {

namespace {

// Per protocol: the hook handle and the tick of its last log-in (0 until the first one).
struct protocolState {
    const char* name;
    int hookHandle;
    DWORD lastLoginTick;
};

protocolState protocols[] = {{"GG", 0, 0}, {"TLEN", 0, 0}};

protocolState* findProtocol(const char* name) {
    if (!name) return nullptr;
    for (protocolState& p : protocols)
        if (strcmp(p.name, name) == 0) return &p;
    return nullptr;
}

bool same(const char* a, const char* b) {
    return strcmp(a ? a : "", b ? b : "") == 0;
}

// The events that follow a log-in in a burst are dropped for loginignoretime seconds.
bool inLoginQuietPeriod(const protocolState* protocol) {
    if (!protocol) return false;
    return GetTickCount() - protocol->lastLoginTick < millisecondsOf(plugin.settings->loginignoretime);
}

// One lookup per event: the item found gives both the filter's group and the window's name.
bool effectiveFilter(const contactSearch& item, const char* contactId, filter& result) {
    result.setDefaults();
    return plugin.filters->getContactFilter(item, contactId, result, false);
}

// What became of one event, for the event log: the outcome, and the reason or the filter key that
// decided it with the level that filter came from (looked up only while the log is written).
struct verdict {
    const char* outcome = "pominięte";
    const char* reason = nullptr;
    const char* key = nullptr;
    bool value = false;
    bool passes = false;  // the filters let it through
    std::string level;
    const char* sound = nullptr;

    static verdict because(const char* why, const char* result = "pominięte") {
        verdict v;
        v.outcome = result;
        v.reason = why;
        return v;
    }
    static verdict byFilter(const contactSearch& item, const char* contactId, const char* filterKey, bool keyValue) {
        verdict v;
        v.key = filterKey;
        v.value = keyValue;
        if (eventLog::enabled()) v.level = plugin.filters->windowPartLevel(item, contactId);
        return v;
    }
    static verdict heldBack(heldReason held) { return because(heldText(held)); }
    std::string text() const {
        std::string line = outcome;
        if (reason) line += std::string(": ") + reason;
        if (key) line += "; " + level + ": " + key + (value ? "=1" : "=0");
        if (sound) line += std::string("; dźwięk ") + sound;
        return line;
    }
};

// What holds an event back now, and whether a priority contact passed a hold to get through.
struct gate {
    heldReason held = heldReason::none;
    bool priorityPassed = false;
};

// What the filters let through is shown, or, while notifications are held back, only recorded.
verdict deliver(const window_info& request, eventKind kind, const gate& g, verdict shown) {
    if (g.held != heldReason::none) {
        shown.reason = heldText(g.held);
    } else {
        const bool waits = plugin.windows->mustWait();
        shown.outcome = g.priorityPassed ? "pokazane mimo ciszy" : waits ? "pokazane później" : "pokazane";
        if (waits) shown.reason = "limit okien na ekranie";
        if (g.priorityPassed) shown.reason = "kontakt priorytetowy";
        plugin.windows->addNotification(request);
    }
    remember(request, kind, g.held);
    return shown;
}

verdict handleMessage(const char* protocol, const abi::message_event& message, gate g) {
    const char* contactId = message.contactId;
    if (!contactId) return verdict::because("brak kontaktu");
    if (plugin.filters->isIgnored(contactId)) return verdict::because("lista ignorowanych");
    if (plugin.settings->msgshowwhenbgonly && isChatWindowActive(protocol, contactId)) {
        if (!recordingHeldBack()) return verdict::because("okno czatu na wierzchu (msgshowwhenbgonly=1)");
        if (g.held == heldReason::none) g.held = heldReason::chatInFront;
    }
    contactSearch item(contactId);
    findContactItem(item);
    filter rules;
    if (!effectiveFilter(item, contactId, rules)) return verdict::because("kontakt spoza listy");
    bool chat = (message.flags & abi::messageFlagChat) != 0;
    if ((message.flags & abi::messageFlagNormal) && !rules.window_eventmessage)
        return verdict::byFilter(item, contactId, "window_eventmessage", false);
    if (chat && !rules.window_eventmessagechat)
        return verdict::byFilter(item, contactId, "window_eventmessagechat", false);

    window_info request;
    request.setTexts(message.protocol, contactId, item.displayName,
                     plugin.settings->showmessage ? message.text : "", chat ? "chatmessage" : "message");
    request.itemHandle = item.handle;
    request.messageKind = chat ? window_info::chatMessage : window_info::message;
    request.priority = rules.priority;
    return deliver(request, chat ? eventKind::chatMessage : eventKind::message, g,
                   verdict::byFilter(item, contactId, chat ? "window_eventmessagechat" : "window_eventmessage", true));
}

// A "TLEN" description that only repeats the status name says nothing: the window stays small.
const char* tlenStatusName(int status) {
    return status <= statusExtendedAway ? eventStatusName(status) : nullptr;
}

const char* statusKey(int slot) {
    static const char* const keys[] = {"window_status",      "window_status_offline", "window_status_online",
                                       "window_status_chat", "window_status_dnd",     "window_status_away",
                                       "window_status_xa"};
    return keys[slot];
}

// The first rule that hides the change, or the status's own key when none does.
verdict statusRules(const filter& rules, const contactSearch& item, const char* contactId, int before, int now,
                    bool statusSame) {
    const int slot = statusSlot(now);
    const bool cameOnline = filtersManager::isAbsentStatus(before) && filtersManager::isPresentStatus(now);
    if (!slot || !rules.window_status[slot]) return verdict::byFilter(item, contactId, statusKey(slot), false);
    if (rules.window_onlineonly && !cameOnline) return verdict::byFilter(item, contactId, "window_onlineonly", true);
    if (!rules.window_descchange && statusSame) return verdict::byFilter(item, contactId, "window_descchange", false);
    if (rules.window_ignoreaway && filtersManager::isPresentStatus(before) && filtersManager::isAwayStatus(now))
        return verdict::byFilter(item, contactId, "window_ignoreaway", true);
    verdict shown = verdict::byFilter(item, contactId, statusKey(slot), true);
    shown.passes = true;
    return shown;
}

verdict handleStatus(abi::status_event& change, const gate& g) {
    const char* contactId = change.contactId;
    if (!contactId) return verdict::because("brak kontaktu");
    if (plugin.filters->isIgnored(contactId)) return verdict::because("lista ignorowanych");
    if (!change.newDescription) change.newDescription = "";
    if (!change.previousDescription) change.previousDescription = "";

    int now = change.newStatus;
    int before = change.previousStatus;
    bool statusSame = now == before;
    bool descSame = strcmp(change.newDescription, change.previousDescription) == 0;
    bool wentOffline = filtersManager::isPresentStatus(before) && filtersManager::isAbsentStatus(now);
    if (statusSame && descSame) return verdict::because("bez zmian");

    contactSearch item(contactId);
    findContactItem(item);
    filter rules;
    if (!effectiveFilter(item, contactId, rules)) return verdict::because("kontakt spoza listy");

    verdict result = statusRules(rules, item, contactId, before, now, statusSame);
    if (result.passes) {
        if ((item.flags & 1) && plugin.settings->ignoremub)
            return verdict::because("kontakt ukryty pluginem mub (ignoremub=1)");
        window_info request;
        request.setTexts(change.protocol, contactId, item.displayName,
                         plugin.settings->showdesc ? change.newDescription : "", "");
        const char* statusName = tlenStatusName(now);
        if (same(request.protocol, "TLEN") && statusName && strcmp(request.text, statusName) == 0)
            request.text[0] = '\0';
        request.status = now;
        request.messageKind = statusSame ? window_info::descriptionChange : window_info::statusChange;
        request.itemHandle = item.handle;
        request.forceAutoClose = true;
        request.forceKeepOpen = true;
        request.priority = rules.priority;
        result = deliver(request, eventKind::status, g, result);
    }
    if (wentOffline && g.held == heldReason::none && playSound(rules.sound_fileoffline))
        result.sound = rules.sound_fileoffline;
    return result;
}

// The contact an event is about; null for a log-in or an event without data.
const char* eventContact(const abi::protocol_event& event, const void* data) {
    if (data && event.kind == abi::protocolEventMessage) return static_cast<const abi::message_event*>(data)->contactId;
    if (data && event.kind == abi::protocolEventStatus) return static_cast<const abi::status_event*>(data)->contactId;
    return nullptr;
}

// The event as the log names it, with the contact it is about.
std::string eventName(const abi::protocol_event& event, const void* data, const char*& contactId) {
    contactId = eventContact(event, data);
    if (!contactId) contactId = "";
    if (event.kind == abi::protocolEventLogin) return "zalogowanie";
    if (data && event.kind == abi::protocolEventMessage) {
        const auto* message = static_cast<const abi::message_event*>(data);
        return (message->flags & abi::messageFlagChat) ? "wiadomość czatu" : "wiadomość";
    }
    if (data && event.kind == abi::protocolEventStatus) {
        const auto* change = static_cast<const abi::status_event*>(data);
        const char* name = eventStatusName(change->newStatus);
        return std::string("status: ") + (name ? name : std::to_string(change->newStatus).c_str());
    }
    return "zdarzenie " + std::to_string(event.kind);
}

// A priority contact's events pass silent, the quiet hours and the full-screen program; the rules
// after the hold (the quiet period after a log-in, the ignore list, the filters) still apply.
gate holdFor(const abi::protocol_event& event, const void* data) {
    gate g;
    g.held = currentHold();
    if (g.held != heldReason::none && plugin.filters->isPriority(eventContact(event, data))) {
        g.held = heldReason::none;
        g.priorityPassed = true;
    }
    return g;
}

verdict handleEvent(const abi::protocol_event& event, void* eventData) {
    protocolState* protocol = findProtocol(event.protocol);
    const bool login = event.kind == abi::protocolEventLogin;
    if (login && protocol) protocol->lastLoginTick = GetTickCount();
    // Held back, an event still goes through the filters when it is to be recorded, so that the
    // record never lists what the filters would not have shown.
    const gate g = holdFor(event, eventData);
    if (g.held != heldReason::none && !recordingHeldBack()) return verdict::heldBack(g.held);
    verdict loggedIn = verdict::because(nullptr, "bez okna");
    if (g.held == heldReason::none && login && protocol && same(protocol->name, "GG") &&
        playSound(plugin.settings->filelogingg))
        loggedIn.sound = plugin.settings->filelogingg;
    if (login) return loggedIn;
    if (inLoginQuietPeriod(protocol)) return verdict::because("okres ciszy po zalogowaniu (loginignoretime)");
    if (!eventData) return verdict::because("brak danych zdarzenia");
    if (event.kind == abi::protocolEventMessage)
        return handleMessage(event.protocol, *static_cast<const abi::message_event*>(eventData), g);
    if (event.kind == abi::protocolEventStatus) return handleStatus(*static_cast<abi::status_event*>(eventData), g);
    return verdict::because("nieobsługiwane");
}

}  // namespace

int __cdecl onProtocolEvent(void* protocolEvent, void* eventData) {
    auto* event = static_cast<const abi::protocol_event*>(protocolEvent);
    // An event without a protocol names nobody's log-in or contact: nothing to do.
    if (!event || !event->protocol || !plugin.settings || !plugin.filters || !plugin.windows) return 0;
    verdict result = handleEvent(*event, eventData);
    if (eventLog::enabled()) {
        const char* contactId = "";
        std::string name = eventName(*event, eventData, contactId);
        eventLog::write(event->protocol, contactId, name.c_str(), result.text().c_str());
    }
    return 0;
}

void hookProtocols() {
    for (protocolState& p : protocols) {
        p.lastLoginTick = 0;
        abi::protocol_hook hook = {};
        hook.size = sizeof hook;
        hook.protocol = p.name;
        hook.callback = guarded<onProtocolEvent>;
        hook.module = plugin.instance;
        p.hookHandle = host::callService(abi::svcProtocolHookEvent, &hook);
    }
}

void unhookProtocols() {
    for (protocolState& p : protocols) {
        host::callService(abi::svcProtocolUnhookEvent, reinterpret_cast<WPARAM>(p.name), p.hookHandle);
        p.hookHandle = 0;
    }
}

}  // namespace kiv
