// The kiv/popup service: other plug-ins queue a notification of their own.
#pragma once

#include <windows.h>

#include "kiv/popup.h"
#include "notify/window_info.h"

namespace kiv {

int __cdecl popupService(WPARAM popupInfo, LPARAM popupOptions);

// The request a caller's records describe; options may be null or of a wrong size (ignored).
window_info requestFromPopup(const popup_info& info, const popup_options* options);

}  // namespace kiv
