// The kiv/popup service: other plug-ins queue a notification of their own.
#pragma once

#include <windows.h>

#include "kiv/popup.h"

#include "base/window_info.h"

namespace kiv {

int __cdecl popupService(WPARAM popupInfo, LPARAM popupOptions);
// kiv/popup/show, /update, /progress and /close (include/kiv/popup.h).
int __cdecl popupShow(WPARAM popupInfo, LPARAM popupOptions);
int __cdecl popupUpdate(WPARAM id, LPARAM text);
int __cdecl popupProgress(WPARAM id, LPARAM percent);
int __cdecl popupClose(WPARAM id, LPARAM);

// The request a caller's records describe; options may be null or of a wrong size (ignored).
window_info requestFromPopup(const popup_info& info, const popup_options* options);
// The same from kiv/popup/show's records; options may be null.
window_info requestFromShow(const popup_info& info, const popup_options2* options);
window_info requestFromShow(const popup_info& info, const popup_options3& options);
// Whether kiv/popup/show takes its options: none, or a record of either size with every field in range.
bool showOptionsGood(const void* options);

}  // namespace kiv
