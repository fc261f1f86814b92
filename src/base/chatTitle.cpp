#include "base/chatTitle.h"

#include <cstring>

namespace kiv {

namespace {

// The part that names the contact: "(ala@tlen.pl)" or "(GG# 12345)".
std::string contactPart(const char* protocol, const char* contactId) {
    const bool tlen = protocol && strcmp(protocol, "TLEN") == 0;
    return std::string(tlen ? "(" : "(GG# ") + (contactId ? contactId : "") + ")";
}

}  // namespace

std::string chatTitle(const char* protocol, const char* name, const char* contactId, const char* status) {
    return std::string(name ? name : "") + " " + contactPart(protocol, contactId) + " - " + (status ? status : "");
}

bool isChatTitleOf(const char* title, const char* protocol, const char* contactId) {
    return title && strstr(title, contactPart(protocol, contactId).c_str()) != nullptr;
}

}  // namespace kiv
