// Whether the messenger's chat window with a contact is the window in front: a message it already
// shows needs no notification.
#pragma once

namespace kiv {

bool isChatWindowActive(const char* protocol, const char* contactId);

}  // namespace kiv
