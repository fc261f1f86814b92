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

TEST_CASE("kiv/popup/show's options: UTF-8 texts cut at a character's start, a time of its own, keep open") {
    // 510 ASCII bytes and then three-byte characters: the field's 512 bytes end inside the first.
    std::string text(510, 'a');
    for (int i = 0; i < 4; ++i) text += u8"€";
    std::string nick(62, 'n');
    nick += u8"ą";  // two bytes from byte 62: only one of them fits in 63
    kiv::popup_info info = emptyPopup();
    info.text = text.c_str();
    info.nick = nick.c_str();
    kiv::popup_options2 options = {};
    options.size = sizeof options;
    options.encoding = kiv::popupUtf8;
    options.visibleTime = 12;
    options.keepOpen = 1;
    kiv::window_info request = kiv::requestFromShow(info, &options);
    CHECK(request.utf8);
    CHECK(std::string(request.text) == std::string(510, 'a'));
    CHECK(std::string(request.nick) == std::string(62, 'n'));
    CHECK(request.visibleMilliseconds(5) == 12000);
    CHECK(request.forceKeepOpen);
    CHECK_FALSE(request.closesByItself(false));

    // Windows-1250 texts are cut by bytes, as kiv/popup cuts them; no options: the user's time.
    options.encoding = kiv::popupWindows1250;
    CHECK(strlen(kiv::requestFromShow(info, &options).text) == 512);
    kiv::window_info plain = kiv::requestFromShow(info, nullptr);
    CHECK_FALSE(plain.utf8);
    CHECK(plain.visibleMilliseconds(5) == 5000);
    CHECK(plain.closesByItself(false));

    // A later text of a UTF-8 notification is cut the same way.
    request.setText(text.c_str());
    CHECK(std::string(request.text) == std::string(510, 'a'));
    std::string whole = std::string(509, 'a') + u8"€";
    request.setText(whole.c_str());
    CHECK(std::string(request.text) == whole);
}
