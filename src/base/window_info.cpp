#include "base/window_info.h"

#include <algorithm>
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

// A Windows-1250 caption is cut by bytes; a UTF-8 one before its first character past the limit.
void window_info::setActions(const char* const (&captions)[popupActions]) {
    bool ended = false;
    for (int k = 0; k < popupActions; ++k) {
        char* caption = actions[k];
        ended = ended || !captions[k] || !captions[k][0];
        copyText(caption, sizeof actions[k], ended ? "" : captions[k]);
        if (!utf8) {
            caption[std::min<size_t>(strlen(caption), popupActionCharacters)] = '\0';
            continue;
        }
        int characters = 0;
        for (char* at = caption; *at; ++at) {
            const bool lead = (static_cast<unsigned char>(*at) & 0xC0) != 0x80;
            if (lead && ++characters > popupActionCharacters) {
                *at = '\0';
                break;
            }
        }
        cutToCharacter(caption);
    }
}

int window_info::actionCount() const {
    int count = 0;
    while (count < popupActions && actions[count][0]) ++count;
    return count;
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
