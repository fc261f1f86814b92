#include "events/protocolHook.h"

#include <windows.h>

#include <cstring>

#include "filters/filtersManager.h"
#include "history/notificationHistory.h"
#include "notify/window_info.h"
#include "notify/windowsManager.h"
#include "settings/config.h"
#include "shell/contactList.h"
#include "shell/host.h"
#include "shell/plugin.h"
#include "shell/sound.h"

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

// What the filters let through is shown, or, while notifications are held back, only recorded.
void deliver(const window_info& request, eventKind kind, heldReason held) {
    if (held == heldReason::none) plugin.windows->addNotification(request);
    remember(request, kind, held);
}

void handleMessage(const char* protocol, const abi::message_event& message, heldReason held) {
    const char* contactId = message.contactId;
    if (!contactId || plugin.filters->isIgnored(contactId)) return;
    if (plugin.settings->msgshowwhenbgonly && plugin.windows->isChatWindowActive(protocol, contactId)) {
        if (!recordingHeldBack()) return;
        if (held == heldReason::none) held = heldReason::chatInFront;
    }
    contactSearch item(contactId);
    findContactItem(item);
    filter rules;
    if (!effectiveFilter(item, contactId, rules)) return;
    bool chat = (message.flags & abi::messageFlagChat) != 0;
    if ((message.flags & abi::messageFlagNormal) && !rules.window_eventmessage) return;
    if (chat && !rules.window_eventmessagechat) return;

    window_info request;
    request.setTexts(message.protocol, contactId, item.displayName,
                     plugin.settings->showmessage ? message.text : "", chat ? "chatmessage" : "message");
    request.itemHandle = item.handle;
    deliver(request, chat ? eventKind::chatMessage : eventKind::message, held);
}

// A "TLEN" description that only repeats the status name says nothing: the window stays small.
const char* tlenStatusName(int status) {
    return status <= 6 ? eventStatusName(status) : nullptr;
}

// Invisible (7) has no slot of its own; it is shown as the contact going unavailable would be.
bool statusShown(const filter& rules, int status) {
    if (status == 7) return rules.window_status[1];
    return status >= 1 && status <= 6 && rules.window_status[status];
}

void handleStatus(abi::status_event& change, heldReason held) {
    const char* contactId = change.contactId;
    if (!contactId || plugin.filters->isIgnored(contactId)) return;
    if (!change.newDescription) change.newDescription = "";
    if (!change.previousDescription) change.previousDescription = "";

    int now = change.newStatus;
    int before = change.previousStatus;
    bool statusSame = now == before;
    bool descSame = strcmp(change.newDescription, change.previousDescription) == 0;
    bool cameOnline = filtersManager::isAbsentStatus(before) && filtersManager::isPresentStatus(now);
    bool wentOffline = filtersManager::isPresentStatus(before) && filtersManager::isAbsentStatus(now);
    if (statusSame && descSame) return;

    contactSearch item(contactId);
    findContactItem(item);
    filter rules;
    if (!effectiveFilter(item, contactId, rules)) return;

    bool show = statusShown(rules, now);
    if (rules.window_onlineonly && !cameOnline) show = false;
    if (!rules.window_descchange && statusSame) show = false;
    if (rules.window_ignoreaway && filtersManager::isPresentStatus(before) && filtersManager::isAwayStatus(now))
        show = false;

    if (show) {
        if ((item.flags & 1) && plugin.settings->ignoremub) return;
        window_info request;
        request.setTexts(change.protocol, contactId, item.displayName,
                         plugin.settings->showdesc ? change.newDescription : "", "");
        const char* statusName = tlenStatusName(now);
        if (same(request.protocol, "TLEN") && statusName && strcmp(request.text, statusName) == 0)
            request.text[0] = '\0';
        request.status = now;
        request.itemHandle = item.handle;
        request.forceAutoClose = true;
        request.forceKeepOpen = true;
        deliver(request, eventKind::status, held);
    }
    if (wentOffline && held == heldReason::none) playSound(rules.sound_fileoffline);
}

}  // namespace

int __cdecl onProtocolEvent(void* protocolEvent, void* eventData) {
    auto* event = static_cast<const abi::protocol_event*>(protocolEvent);
    // An event without a protocol names nobody's log-in or contact: nothing to do.
    if (!event || !event->protocol || !plugin.settings || !plugin.filters || !plugin.windows) return 0;
    protocolState* protocol = findProtocol(event->protocol);
    if (event->kind == abi::protocolEventLogin && protocol) protocol->lastLoginTick = GetTickCount();
    // Held back, an event still goes through the filters when it is to be recorded, so that the
    // record never lists what the filters would not have shown.
    const heldReason held = currentHold();
    if (held != heldReason::none && !recordingHeldBack()) return 0;
    if (held == heldReason::none && event->kind == abi::protocolEventLogin && protocol && same(protocol->name, "GG"))
        playSound(plugin.settings->filelogingg);
    if (inLoginQuietPeriod(protocol)) return 0;
    if (!eventData) return 0;
    if (event->kind == abi::protocolEventMessage)
        handleMessage(event->protocol, *static_cast<const abi::message_event*>(eventData), held);
    else if (event->kind == abi::protocolEventStatus)
        handleStatus(*static_cast<abi::status_event*>(eventData), held);
    return 0;
}

void hookProtocols() {
    for (protocolState& p : protocols) {
        p.lastLoginTick = 0;
        abi::protocol_hook hook = {};
        hook.size = sizeof hook;
        hook.protocol = p.name;
        hook.callback = onProtocolEvent;
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
