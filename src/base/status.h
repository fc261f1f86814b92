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

}  // namespace kiv
