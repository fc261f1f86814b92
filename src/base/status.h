// Contact statuses as the protocol events report them and the filters use them (the host's
// status-icon index is another numbering).
#pragma once

#include <cstdint>

namespace kiv {

enum contactStatus : int32_t {
    statusUnavailable = 1,  // "Niedostępny"
    statusAvailable,        // "Dostępny"
    statusFreeForChat,      // "Porozmawiajmy"
    statusBusy,             // "Jestem zajęty"
    statusAway,             // "Zaraz wracam"
    statusExtendedAway,     // "Wrócę później"
    statusInvisible,        // "Niewidoczny"
};

// The filters' slot of a status (window_status): invisible has none of its own and is shown as the
// contact going unavailable would be; 0 for a status no slot holds.
inline int statusSlot(int status) {
    if (status == statusInvisible) return statusUnavailable;
    return status >= statusUnavailable && status <= statusExtendedAway ? status : 0;
}

}  // namespace kiv
