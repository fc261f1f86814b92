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

namespace {

// The answer to the caller, and the line of the event log: refused, held back or shown.
int answer(const popup_info* info, int result, const char* decision) {
    if (eventLog::enabled()) {
        bool readable = info && info->size == popupInfoSize;
        eventLog::write(readable ? info->protocol : "", readable ? info->contactId : "", "kiv/popup", decision);
    }
    return result;
}

}  // namespace

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

}  // namespace kiv
