#include "notify/popupService.h"

#include <string>

#include "history/eventLog.h"
#include "history/notificationHistory.h"
#include "notify/windowsManager.h"
#include "shell/plugin.h"

namespace kiv {

namespace {

constexpr int32_t popupInfoSize = sizeof(popup_info);
constexpr int32_t popupOptionsSize = sizeof(popup_options);
constexpr int32_t popupOptions2Size = sizeof(popup_options2);

// Both services refuse what kiv/popup refuses: no record, a wrong size, notifications suppressed.
bool acceptable(const popup_info* info) {
    return info && info->size == popupInfoSize && currentHold() == heldReason::none && plugin.windows;
}

int32_t idOf(WPARAM id) {
    return static_cast<int32_t>(id);
}

// The answer to the caller, and the line of the event log: refused, held back or shown.
int answer(const popup_info* info, int result, const char* decision) {
    if (eventLog::enabled()) {
        bool readable = info && info->size == popupInfoSize;
        eventLog::write(readable ? info->protocol : "", readable ? info->contactId : "", "kiv/popup", decision);
    }
    return result;
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
    if (!info || info->size != popupInfoSize) return answer(info, -1, "odrzucone: zły rekord");
    if (!plugin.windows) return -1;
    const auto* options = reinterpret_cast<const popup_options*>(popupOptions);
    const heldReason held = currentHold();
    if (held != heldReason::none) {
        if (recordingHeldBack()) remember(requestFromPopup(*info, options), eventKind::popup, held);
        return answer(info, -1, (std::string("pominięte: ") + heldText(held)).c_str());
    }
    window_info request = requestFromPopup(*info, options);
    const char* decision = plugin.windows->mustWait() ? "pokazane później: limit okien na ekranie" : "pokazane";
    plugin.windows->addNotification(request);
    remember(request, eventKind::popup, held);
    return answer(info, 0, decision);
}

int __cdecl popupShow(WPARAM popupInfo, LPARAM popupOptions) {
    const auto* info = reinterpret_cast<const popup_info*>(popupInfo);
    const auto* options = reinterpret_cast<const popup_options2*>(popupOptions);
    if (options && options->size != popupOptions2Size) return -1;
    if (!acceptable(info)) return -1;
    int32_t id = plugin.windows->addWithId(requestFromShow(*info, options));
    return id > 0 ? id : -1;
}

int __cdecl popupUpdate(WPARAM id, LPARAM text) {
    if (!plugin.windows) return -1;
    return plugin.windows->updateText(idOf(id), reinterpret_cast<const char*>(text)) ? 0 : -1;
}

int __cdecl popupClose(WPARAM id, LPARAM) {
    if (!plugin.windows) return -1;
    return plugin.windows->close(idOf(id)) ? 0 : -1;
}

}  // namespace kiv
