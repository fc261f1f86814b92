#include "notify/window_info.h"

#include "shell/text.h"

namespace kiv {

void window_info::setTexts(const char* protocolText, const char* contactIdText, const char* nickText,
                           const char* textText, const char* iconNameText) {
    copyText(protocol, protocolText);
    copyText(contactId, contactIdText);
    copyText(nick, nickText);
    copyText(text, textText);
    copyText(iconName, iconNameText);
}

// The two flags override the setting only when exactly one of them is set.
bool window_info::closesByItself(bool noautoclose) const {
    if (forceAutoClose != forceKeepOpen) return forceAutoClose;
    return !noautoclose;
}

}  // namespace kiv
