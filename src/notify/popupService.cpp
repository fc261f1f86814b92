#include "notify/popupService.h"

#include <cstring>
#include <string>

#include "base/moduleState.h"
#include "base/serviceInbox.h"
#include "base/wideText.h"
#include "history/eventLog.h"
#include "history/notificationHistory.h"
#include "notify/hold.h"
#include "notify/windowsManager.h"

namespace kiv {

namespace {

constexpr int32_t popupInfoSize = sizeof(popup_info);
constexpr int32_t popupOptionsSize = sizeof(popup_options);
constexpr int32_t popupOptions2Size = sizeof(popup_options2);
constexpr int32_t popupOptions3Size = sizeof(popup_options3);

// kiv.log names each service as the host knows it.
const char* const popupName = abi::svcKivPopup;
const char* const showName = popupShowService;
const char* const updateName = popupUpdateService;
const char* const closeName = popupCloseService;
const char* const progressName = popupProgressService;
const char* const goneDecision = "odrzucone: powiadomienie zamknięte lub nieznane";

// The parts of a notification that another thread's waiting changes replace, each its own.
enum changedPart : int { textPart = 1, progressPart };

int32_t idOf(WPARAM id) {
    return static_cast<int32_t>(id);
}

// A request's text as kiv.log holds it: Windows-1250, whatever the caller sent.
std::string logged(const char* text, bool utf8) {
    return utf8 ? windows1250Of(wideOf(text, true)) : std::string(text);
}

// The line of kiv.log for a call; no request: one refused before it named anybody.
void logCall(const char* service, const window_info* request, const std::string& decision) {
    if (!eventLog::enabled()) return;
    const std::string protocol = request ? logged(request->protocol, request->utf8) : "";
    const std::string contactId = request ? logged(request->contactId, request->utf8) : "";
    eventLog::write(protocol.c_str(), contactId.c_str(), service, decision.c_str());
}

int refuse(const char* service, const char* decision) {
    logCall(service, nullptr, decision);
    return -1;
}

std::string withId(const char* decision, int32_t id) {
    return std::string(decision) + "; id " + std::to_string(id);
}

// Held back by silent or a full-screen program: recorded, if the history keeps such, and logged.
bool heldBack(const char* service, const window_info& request) {
    const heldReason held = currentHold();
    if (held == heldReason::none) return false;
    remember(request, eventKind::popup, held);
    logCall(service, &request, std::string("pominięte: ") + heldText(held));
    return true;
}

// Into the manager's queue, the history and kiv.log. A request with an id keeps a window of its
// own; one without may join a conversation's window.
void enqueue(const char* service, const window_info& request) {
    std::string decision = plugin.windows->mustWait() ? "pokazane później: limit okien na ekranie" : "pokazane";
    if (request.id > 0) {
        plugin.windows->addQueued(request);
        decision = withId(decision.c_str(), request.id);
    } else {
        plugin.windows->addNotification(request);
    }
    remember(request, eventKind::popup, heldReason::none);
    logCall(service, &request, decision);
}

// kiv/popup and kiv/popup/show on the user-interface thread: -1 when held back, else 0 / the id.
int submit(const char* service, window_info request, bool giveId) {
    if (heldBack(service, request)) return -1;
    if (giveId) {
        request.id = inbox.takeId();
        if (request.id <= 0) return refuse(service, "odrzucone: wyczerpane identyfikatory");
    }
    enqueue(service, request);
    return giveId ? request.id : 0;
}

// The same from another thread, once the user-interface thread takes the request up.
void submitLater(const char* service, const window_info& request) {
    if (plugin.windows && !heldBack(service, request)) enqueue(service, request);
}

int updateNow(int32_t id, const char* text) {
    if (!plugin.windows) return -1;
    if (!plugin.windows->updateText(id, text)) return refuse(updateName, withId(goneDecision, id).c_str());
    const window_info* request = plugin.windows->requestOf(id);
    if (request) rememberText(*request);
    logCall(updateName, request, withId("zmieniona treść", id));
    return 0;
}

int progressNow(int32_t id, int32_t percent) {
    if (!plugin.windows) return -1;
    if (!plugin.windows->setProgress(id, percent)) return refuse(progressName, withId(goneDecision, id).c_str());
    logCall(progressName, plugin.windows->requestOf(id), withId("zmieniony postęp", id));
    return 0;
}

int closeNow(int32_t id) {
    if (!plugin.windows) return -1;
    const window_info* request = plugin.windows->requestOf(id);
    if (!request) return refuse(closeName, withId(goneDecision, id).c_str());
    logCall(closeName, request, withId("zamknięte", id));  // before a queued request is dropped
    return plugin.windows->close(id) ? 0 : -1;
}

// A refusal that another thread met is logged on the user-interface thread.
int refuseLater(const char* service, const char* decision) {
    inbox.post([service, decision] { refuse(service, decision); });
    return -1;
}

// The caller's text, copied before its call returns; no more than the notification can hold.
std::string copied(const char* text) {
    return text ? std::string(text, strnlen(text, sizeof(window_info::text))) : std::string();
}

// On the user-interface thread, after a batch of what waits: whether another thread's call about
// the id is still ahead of this one.
bool behindOthers(int32_t id) {
    return inbox.runBatch() && inbox.holds(id);
}

// The best answer another thread can have at once: the id was given out, so the change is
// carried out, or found gone, on the user-interface thread.
int answerFor(int32_t id, bool posted) {
    return posted && inbox.givenOut(id) ? 0 : -1;
}

}  // namespace

window_info requestFromPopup(const popup_info& info, const popup_options* options) {
    window_info request;
    request.setTexts(info.protocol, info.contactId, info.nick, info.text, info.iconName);
    request.status = info.status;
    request.itemHandle = info.itemHandle;
    request.small = info.small != 0;
    request.effect = info.effect;  // the setting replaces it when the window is shown
    request.effectClose = info.effectClose != 0;
    request.clickCallback = info.clickCallback;
    request.caller = callerModule::of(reinterpret_cast<const void*>(info.clickCallback));
    request.callbackData = info.callbackData;
    if (options && options->size == popupOptionsSize) {
        request.forceAutoClose = options->forceAutoClose != 0;
        request.forceKeepOpen = options->forceKeepOpen != 0;
        request.iconBitmap = options->iconBitmap;
    }
    return request;
}

window_info requestFromShow(const popup_info& info, const popup_options2* options) {
    window_info request = requestFromPopup(info, nullptr);
    if (!options) return request;
    request.utf8 = options->encoding == popupUtf8;
    request.setTexts(info.protocol, info.contactId, info.nick, info.text, info.iconName);  // cut whole characters
    request.visibleSeconds = options->visibleTime;
    request.forceKeepOpen = options->keepOpen != 0;
    request.iconBitmap = options->iconBitmap;
    return request;
}

window_info requestFromShow(const popup_info& info, const popup_options3& options) {
    const popup_options2 common = {popupOptions2Size, options.visibleTime, options.iconBitmap, options.keepOpen,
                                   options.encoding, {0, 0}};
    window_info request = requestFromShow(info, &common);
    request.progress = options.progress;
    request.setActions(options.actions);
    return request;
}

bool showOptionsGood(const void* options) {
    if (!options) return true;
    const int32_t size = *static_cast<const int32_t*>(options);
    if (size == popupOptions2Size) return true;
    if (size != popupOptions3Size) return false;
    const auto& third = *static_cast<const popup_options3*>(options);
    return third.progress >= -1 && third.progress <= 100 && third.reserved == 0 && third.reserved2 == 0;
}

int __cdecl popupService(WPARAM popupInfo, LPARAM popupOptions) {
    const auto* info = reinterpret_cast<const popup_info*>(popupInfo);
    const auto* options = reinterpret_cast<const popup_options*>(popupOptions);
    const bool own = inbox.onOwnThread();
    if (own) inbox.runBatch();
    if (!info || info->size != popupInfoSize)
        return own ? refuse(popupName, "odrzucone: zły rekord") : refuseLater(popupName, "odrzucone: zły rekord");
    window_info request = requestFromPopup(*info, options);
    if (!own) return inbox.post([request] { submitLater(popupName, request); }) ? 0 : -1;
    if (!plugin.windows) return -1;
    return submit(popupName, request, false);
}

int __cdecl popupShow(WPARAM popupInfo, LPARAM popupOptions) {
    const auto* info = reinterpret_cast<const popup_info*>(popupInfo);
    const auto* options = reinterpret_cast<const popup_options2*>(popupOptions);
    const bool own = inbox.onOwnThread();
    if (own) inbox.runBatch();
    auto refused = own ? refuse : refuseLater;
    if (!info || info->size != popupInfoSize) return refused(showName, "odrzucone: zły rekord");
    if (!showOptionsGood(options)) return refused(showName, "odrzucone: zły rekord opcji");
    const bool third = options && options->size == popupOptions3Size;
    window_info request = third ? requestFromShow(*info, *reinterpret_cast<const popup_options3*>(options))
                                : requestFromShow(*info, options);
    if (own) return plugin.windows ? submit(showName, request, true) : -1;
    const int32_t id = inbox.postWithId([request](int32_t given) {
        window_info shown = request;
        shown.id = given;
        submitLater(showName, shown);
    });
    return id > 0 ? id : -1;
}

// The history's entry takes the new text too: it says what the notification said last.
int __cdecl popupUpdate(WPARAM id, LPARAM text) {
    const int32_t target = idOf(id);
    if (inbox.onOwnThread() && !behindOthers(target)) return updateNow(target, reinterpret_cast<const char*>(text));
    std::string newText = copied(reinterpret_cast<const char*>(text));
    const bool posted = inbox.postChange(target, textPart, [target, newText] { updateNow(target, newText.c_str()); });
    return answerFor(target, posted);
}

int __cdecl popupProgress(WPARAM id, LPARAM percent) {
    const int32_t target = idOf(id);
    const auto value = static_cast<int32_t>(percent);
    const bool own = inbox.onOwnThread();
    if (value < -1 || value > 100) return (own ? refuse : refuseLater)(progressName, "odrzucone: zły postęp");
    if (own && !behindOthers(target)) return progressNow(target, value);
    const bool posted = inbox.postChange(target, progressPart, [target, value] { progressNow(target, value); });
    return answerFor(target, posted);
}

int __cdecl popupClose(WPARAM id, LPARAM) {
    const int32_t target = idOf(id);
    if (inbox.onOwnThread() && !behindOthers(target)) return closeNow(target);
    return answerFor(target, inbox.post([target] { closeNow(target); }, target));
}

}  // namespace kiv
