#include "notify/popupService.h"

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

int __cdecl popupService(WPARAM popupInfo, LPARAM popupOptions) {
    const auto* info = reinterpret_cast<const popup_info*>(popupInfo);
    if (!info || info->size != popupInfoSize) return -1;
    if (!plugin.windows) return -1;
    const heldReason held = currentHold();
    if (held != heldReason::none && !recordingHeldBack()) return -1;
    window_info request = requestFromPopup(*info, reinterpret_cast<const popup_options*>(popupOptions));
    remember(request, eventKind::popup, held);
    if (held != heldReason::none) return -1;
    plugin.windows->addNotification(request);
    return 0;
}

}  // namespace kiv
