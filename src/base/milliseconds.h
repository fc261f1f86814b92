// Seconds of a setting or a request as milliseconds of the tick clock.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace kiv {

// 0 or less is 0, and more seconds than the clock can count mean as long as it can count, not the
// wrapped remainder.
inline DWORD millisecondsOf(int32_t seconds) {
    if (seconds <= 0) return 0;
    return static_cast<DWORD>(std::min<uint64_t>(static_cast<uint64_t>(seconds) * 1000u, MAXDWORD));
}

}  // namespace kiv
