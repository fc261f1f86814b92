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

TEST_CASE("popup_options3's captions: cut in the record's encoding, and the list ends at the first null or empty one") {
    const std::string polish = std::string("Zapisz") + "ąęśćżźółń" + std::string(30, '.');  // 45 Windows-1250 bytes
    const std::string wide = "a" + [] {
        std::string s;
        for (int i = 0; i < 44; ++i) s += u8"ż";
        return s;
    }();  // 45 characters, 89 UTF-8 bytes
    std::string emoji, emoji40;
    for (int i = 0; i < 41; ++i) emoji += u8"\U0001F4C1";
    emoji40 = emoji.substr(0, 160);
    struct row {
        const char* what;
        uint8_t encoding;
        const char* captions[3];
        std::string expected[3];
    };
    const row rows[] = {
        {"Windows-1250: forty bytes", kiv::popupWindows1250, {polish.c_str(), "Otwórz", nullptr},
         {polish.substr(0, 40), "Otwórz", ""}},
        {"the same UTF-8 bytes as Windows-1250: forty bytes, whatever they cut", kiv::popupWindows1250,
         {wide.c_str(), nullptr, nullptr}, {wide.substr(0, 40), "", ""}},
        {"UTF-8: forty characters", kiv::popupUtf8, {wide.c_str(), u8"Pokaż w folderze", u8"Odrzuć"},
         {wide.substr(0, 1 + 39 * 2), u8"Pokaż w folderze", u8"Odrzuć"}},
        {"UTF-8: forty four-byte characters fill the field", kiv::popupUtf8, {emoji.c_str(), "", "x"},
         {emoji40, "", ""}},
        {"a null ends the list: a caption after it is not taken", kiv::popupUtf8, {"A", nullptr, "C"}, {"A", "", ""}},
        {"an empty first caption: no buttons", kiv::popupWindows1250, {"", "B", "C"}, {"", "", ""}},
    };
    for (const row& r : rows) {
        INFO(std::string(r.what));
        kiv::popup_info info = emptyPopup();
        kiv::popup_options3 options = {};
        options.size = sizeof options;
        options.encoding = r.encoding;
        options.progress = 40;
        for (int k = 0; k < kiv::popupActions; ++k) options.actions[k] = r.captions[k];
        const kiv::window_info request = kiv::requestFromShow(info, options);
        CHECK(request.utf8 == (r.encoding == kiv::popupUtf8));
        CHECK(request.progress == 40);
        int count = 0;
        for (int k = 0; k < kiv::popupActions; ++k) {
            CHECK(std::string(request.actions[k]) == r.expected[k]);
            count += !r.expected[k].empty();
        }
        CHECK(request.actionCount() == count);
    }
}
