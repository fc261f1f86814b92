// Requests as other plug-ins describe them: conversion of their records and the auto-close rule.
#include <doctest.h>

#include <cstring>
#include <string>

#include "notify/popupService.h"

namespace {

int __cdecl ignoreClick(kiv::click_info*, int) {
    return 0;
}

kiv::popup_info emptyPopup() {
    kiv::popup_info info = {};
    info.size = sizeof info;
    return info;
}

}  // namespace

TEST_CASE("popup records: texts are cut to their fields and always terminated") {
    std::string longText(600, 'x');
    longText[511] = 'L';
    std::string longProtocol = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";  // 40 bytes
    std::string longId(100, 'i');
    kiv::popup_info info = emptyPopup();
    info.protocol = longProtocol.c_str();
    info.contactId = longId.c_str();
    info.nick = longId.c_str();
    info.text = longText.c_str();
    info.iconName = longId.c_str();
    kiv::window_info request = kiv::requestFromPopup(info, nullptr);
    CHECK(strlen(request.text) == 512);
    CHECK(request.text[511] == 'L');
    CHECK(std::string(request.protocol) == longProtocol.substr(0, 31));
    CHECK(strlen(request.contactId) == 63);
    CHECK(strlen(request.nick) == 63);
    CHECK(strlen(request.iconName) == 63);
}

TEST_CASE("popup records: null texts are empty, numbers and the callback copied, options only at size 30") {
    kiv::popup_info info = emptyPopup();
    info.status = 4;
    info.itemHandle = 321;
    info.effect = 2;
    info.effectClose = 1;
    info.clickCallback = ignoreClick;
    info.callbackData = 99;
    HBITMAP icon = reinterpret_cast<HBITMAP>(0x1234);
    kiv::popup_options options = {};
    options.size = sizeof options;
    options.forceAutoClose = 1;
    options.iconBitmap = icon;

    kiv::window_info request = kiv::requestFromPopup(info, &options);
    CHECK(request.protocol[0] == '\0');
    CHECK(request.contactId[0] == '\0');
    CHECK(request.nick[0] == '\0');
    CHECK(request.text[0] == '\0');
    CHECK(request.iconName[0] == '\0');
    CHECK(request.status == 4);
    CHECK(request.itemHandle == 321);
    CHECK(request.effect == 2);
    CHECK(request.effectClose);
    CHECK(reinterpret_cast<void*>(request.clickCallback) == reinterpret_cast<void*>(ignoreClick));
    CHECK(request.callbackData == 99);
    CHECK(request.forceAutoClose);
    CHECK_FALSE(request.forceKeepOpen);
    CHECK(request.iconBitmap == icon);

    options.size = 29;
    request = kiv::requestFromPopup(info, &options);
    CHECK_FALSE(request.forceAutoClose);
    CHECK_FALSE(request.forceKeepOpen);
    CHECK(request.iconBitmap == nullptr);
}
