#include "notify/popupService.h"

#include <string>

#include "history/eventLog.h"
#include "history/notificationHistory.h"
#include "notify/windowsManager.h"
#include "shell/plugin.h"
#include "shell/wideText.h"

namespace kiv {

namespace {

constexpr int32_t popupInfoSize = sizeof(popup_info);
constexpr int32_t popupOptionsSize = sizeof(popup_options);
constexpr int32_t popupOptions2Size = sizeof(popup_options2);

// kiv.log names each service as the host knows it.
const char* const popupName = abi::svcKivPopup;
const char* const showName = popupShowService;
const char* const updateName = popupUpdateService;
const char* const closeName = popupCloseService;
const char* const goneDecision = "odrzucone: powiadomienie zamknięte lub nieznane";

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

// The one way of kiv/popup and kiv/popup/show from a caller's request to the screen, the history
// and kiv.log: held back (then recorded, if the history keeps such) and refused, or queued, with
// a new id for kiv/popup/show. Answers -1, or 0 / the id.
int submit(const char* service, window_info request, bool giveId) {
    const heldReason held = currentHold();
    if (held != heldReason::none) {
        remember(request, eventKind::popup, held);
        logCall(service, &request, std::string("pominięte: ") + heldText(held));
        return -1;
    }
    std::string decision = plugin.windows->mustWait() ? "pokazane później: limit okien na ekranie" : "pokazane";
    if (giveId) {
        request.id = plugin.windows->addWithId(request);
        if (request.id <= 0) return refuse(service, "odrzucone: wyczerpane identyfikatory");
        decision = withId(decision.c_str(), request.id);
    } else {
        plugin.windows->addNotification(request);
    }
    remember(request, eventKind::popup, held);
    logCall(service, &request, decision);
    return giveId ? request.id : 0;
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

int __cdecl popupService(WPARAM popupInfo, LPARAM popupOptions) {
    const auto* info = reinterpret_cast<const popup_info*>(popupInfo);
    if (!info || info->size != popupInfoSize) return refuse(popupName, "odrzucone: zły rekord");
    if (!plugin.windows) return -1;
    return submit(popupName, requestFromPopup(*info, reinterpret_cast<const popup_options*>(popupOptions)), false);
}

int __cdecl popupShow(WPARAM popupInfo, LPARAM popupOptions) {
    const auto* info = reinterpret_cast<const popup_info*>(popupInfo);
    const auto* options = reinterpret_cast<const popup_options2*>(popupOptions);
    if (!info || info->size != popupInfoSize) return refuse(showName, "odrzucone: zły rekord");
    if (options && options->size != popupOptions2Size) return refuse(showName, "odrzucone: zły rekord opcji");
    if (!plugin.windows) return -1;
    return submit(showName, requestFromShow(*info, options), true);
}

// The history's entry takes the new text too: it says what the notification said last.
int __cdecl popupUpdate(WPARAM id, LPARAM text) {
    if (!plugin.windows) return -1;
    if (!plugin.windows->updateText(idOf(id), reinterpret_cast<const char*>(text)))
        return refuse(updateName, withId(goneDecision, idOf(id)).c_str());
    const window_info* request = plugin.windows->requestOf(idOf(id));
    if (request) rememberText(*request);
    logCall(updateName, request, withId("zmieniona treść", idOf(id)));
    return 0;
}

int __cdecl popupClose(WPARAM id, LPARAM) {
    if (!plugin.windows) return -1;
    const window_info* request = plugin.windows->requestOf(idOf(id));
    if (!request) return refuse(closeName, withId(goneDecision, idOf(id)).c_str());
    logCall(closeName, request, withId("zamknięte", idOf(id)));  // before a queued request is dropped
    return plugin.windows->close(idOf(id)) ? 0 : -1;
}

}  // namespace kiv
