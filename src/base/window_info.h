// One notification request: everything a window needs to show, copied by value at every hand-over.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kiv/popup.h"

#include "base/callerModule.h"

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
    callerModule caller;  // where clickCallback lives, checked before each call
    bool forceAutoClose = false;
    bool forceKeepOpen = false;
    HBITMAP iconBitmap = nullptr;  // the caller's; drawn on every paint, never deleted here

    // Beyond the record every producer fills: the richer popup services and grouped messages.
    // What raised a contact's notification: the notification menu names it, and groupmessages
    // folds only messages; other plug-ins' requests and the module's own are other.
    enum kind : int32_t { other = 0, message = 1, chatMessage = 2, statusChange = 3, descriptionChange = 4 };
    int32_t visibleSeconds = 0;  // this window's own visible time; 0 or less: the setting
    bool utf8 = false;           // every text is UTF-8, drawn through the wide functions
    int32_t id = 0;              // the id kiv/popup/show gave out; 0 for any other request
    int32_t messageKind = other;
    int32_t messages = 1;         // how many messages the window holds
    bool priority = false;        // from a priority contact: its contact line is marked
    // The caller's buttons (popup_options3): captions in the request's encoding, at most
    // popupActionCharacters characters; the first empty one ends the list.
    char actions[popupActions][popupActionCharacters * 4 + 1] = {};
    int32_t progress = -1;  // -1: no bar; 0 to 100: how far the bar is filled

    // Every text cut to its field and terminated; null gives the empty text.
    void setTexts(const char* protocolText, const char* contactIdText, const char* nickText, const char* textText,
                  const char* iconNameText);

    // The buttons' captions, each cut to popupActionCharacters characters; a null or empty one
    // ends the list. Call after the encoding is set.
    void setActions(const char* const (&captions)[popupActions]);
    // How many buttons the notification has.
    int actionCount() const;

    // Replaces the description, cut to its field (in UTF-8 at a character's start).
    void setText(const char* newText);

    // Whether the window may close by itself once its visible time is over.
    bool closesByItself(bool noautoclose) const;

    // The visible time in milliseconds: this request's own, else the setting's.
    DWORD visibleMilliseconds(int32_t visibletime) const;

    // Whether a new request is a further message of the same person and kind as this one.
    bool sameConversation(const window_info& next) const;
};

}  // namespace kiv
