#include "base/window_info.h"

#include <cstring>

#include "base/milliseconds.h"
#include "base/text.h"

namespace kiv {

void window_info::setTexts(const char* protocolText, const char* contactIdText, const char* nickText,
                           const char* textText, const char* iconNameText) {
    copyText(protocol, protocolText);
    copyText(contactId, contactIdText);
    copyText(nick, nickText);
    copyText(text, textText);
    copyText(iconName, iconNameText);
    if (utf8) {
        cutToCharacter(protocol);
        cutToCharacter(contactId);
        cutToCharacter(nick);
        cutToCharacter(text);
        cutToCharacter(iconName);
    }
}

void window_info::setText(const char* newText) {
    copyText(text, newText);
    if (utf8) cutToCharacter(text);
}

// The two flags override the setting only when exactly one of them is set.
bool window_info::closesByItself(bool noautoclose) const {
    if (forceAutoClose != forceKeepOpen) return forceAutoClose;
    return !noautoclose;
}

DWORD window_info::visibleMilliseconds(int32_t visibletime) const {
    return millisecondsOf(visibleSeconds > 0 ? visibleSeconds : visibletime);
}

bool window_info::sameConversation(const window_info& next) const {
    const bool isMessage = messageKind == message || messageKind == chatMessage;
    return isMessage && messageKind == next.messageKind && strcmp(protocol, next.protocol) == 0 &&
           strcmp(contactId, next.contactId) == 0;
}

}  // namespace kiv
