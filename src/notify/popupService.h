// The kiv/popup service: other plug-ins queue a notification of their own.
#pragma once

#include <windows.h>

namespace kiv {

int __cdecl popupService(WPARAM popupInfo, LPARAM popupOptions);

}  // namespace kiv
