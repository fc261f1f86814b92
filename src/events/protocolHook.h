// Status changes and messages reported by the messenger's two protocols become notifications.
#pragma once

namespace kiv {

// Attached for "GG" and then "TLEN" at start-up; removed at shutdown.
void hookProtocols();
void unhookProtocols();

// The callback the host calls for every event of a hooked protocol; always 0.
int __cdecl onProtocolEvent(void* protocolEvent, void* eventData);

}  // namespace kiv
