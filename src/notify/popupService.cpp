#include "notify/popupService.h"

namespace kiv {

// Refuses every request until the notification windows exist.
int __cdecl popupService(WPARAM, LPARAM) {
    return -1;
}

}  // namespace kiv
