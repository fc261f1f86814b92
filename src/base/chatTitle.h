// The messenger's title of a chat window: "Ala (ala@tlen.pl) - Dostępny" for a TLEN contact,
// "Olek (GG# 12345) - Zaraz wracam" for a GG one. Built when the module opens a chat, and looked
// for in the window in front to tell whose chat it is.
#pragma once

#include <string>

namespace kiv {

std::string chatTitle(const char* protocol, const char* name, const char* contactId, const char* status);
// Whether a title is that of the contact's chat.
bool isChatTitleOf(const char* title, const char* protocol, const char* contactId);

}  // namespace kiv
