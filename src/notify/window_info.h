// One notification request: everything a window needs to show, copied by value at every hand-over.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kiv/popup.h"

namespace kiv {

struct window_info {
    char protocol[32] = "";
    char contactId[64] = "";
    char nick[64] = "";
    char text[513] = "";
    char iconName[64] = "";  // a bitmap resource of the module; empty: the contact's status icon
    int32_t status = 0;
    int32_t itemHandle = 0;
    bool small = false;
    int32_t effect = 0;
    bool effectClose = false;
    ClickCallbackFn clickCallback = nullptr;
    int32_t callbackData = 0;
    bool forceAutoClose = false;
    bool forceKeepOpen = false;
    HBITMAP iconBitmap = nullptr;  // the caller's; drawn on every paint, never deleted here

    // Every text cut to its field and terminated; null gives the empty text.
    void setTexts(const char* protocolText, const char* contactIdText, const char* nickText, const char* textText,
                  const char* iconNameText);

    // Whether the window may close by itself once its visible time is over.
    bool closesByItself(bool noautoclose) const;
};

}  // namespace kiv
