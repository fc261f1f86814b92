#include "ui/actionMenu.h"

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>

#include "base/contactList.h"
#include "base/moduleState.h"
#include "base/status.h"
#include "base/wideText.h"
#include "filters/filtersManager.h"
#include "notify/window.h"
#include "notify/windowsManager.h"
#include "resources/resource.h"
#include "settings/config.h"
#include "ui/historyWindow.h"
#include "ui/silentSwitch.h"
#include "ui/uiText.h"

namespace kiv {

namespace {

enum command : UINT { openChat = 1, hideLikeThis, ignoreContact, silenceHour, closeAll, showHistory, firstButton };

constexpr DWORD anHour = 60 * 60 * 1000;

using menuOwner = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;

bool fromContact(const window_info& request) {
    switch (request.messageKind) {
    case window_info::message:
    case window_info::chatMessage:
    case window_info::statusChange:
    case window_info::descriptionChange:
        return request.contactId[0] != '\0';
    default:
        return false;
    }
}

// The string table's text with each "%s" replaced by the next of the values, in order.
std::string fillIn(const char* pattern, std::initializer_list<const char*> values) {
    std::string text = pattern;
    size_t from = 0;
    for (const char* value : values) {
        const size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, value);
        from = at + strlen(value);
    }
    return text;
}

// What the notification was, as the menu names it: the status by the filter dialog's name of it.
std::string eventName(const window_info& request) {
    switch (request.messageKind) {
    case window_info::message:
        return uiText(IDS_ACTION_MESSAGES);
    case window_info::chatMessage:
        return uiText(IDS_ACTION_CHAT_MESSAGES);
    case window_info::descriptionChange:
        return uiText(IDS_ACTION_DESCRIPTIONS);
    default: {
        const char* name = eventStatusName(statusSlot(request.status));
        return fillIn(uiText(IDS_ACTION_STATUS), {name ? name : ""});
    }
    }
}

// A menu item's "&" marks its access key: a nick's or a caption's own is doubled to stay text.
template <class Char>
std::basic_string<Char> menuText(const std::basic_string<Char>& text) {
    std::basic_string<Char> escaped;
    for (Char c : text) {
        escaped += c;
        if (c == Char('&')) escaped += c;
    }
    return escaped;
}

std::string hideCaption(const window_info& request) {
    const char* who = request.nick[0] ? request.nick : request.contactId;
    return menuText(fillIn(uiText(IDS_ACTION_HIDE), {eventName(request).c_str(), who}));
}

// The caller's buttons come first. Their captions go in wide: a UTF-8 one keeps every letter.
void appendButtons(HMENU m, const window_info& request) {
    const int count = request.actionCount();
    for (int k = 0; k < count; ++k)
        AppendMenuW(m, MF_STRING, firstButton + k, menuText(wideOf(request.actions[k], request.utf8)).c_str());
    if (count > 0) AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
}

// The one window flag that let this notification through.
void clearFlag(filter& rules, const window_info& request) {
    switch (request.messageKind) {
    case window_info::message:
        rules.window_eventmessage = false;
        break;
    case window_info::chatMessage:
        rules.window_eventmessagechat = false;
        break;
    case window_info::descriptionChange:
        rules.window_descchange = false;
        break;
    default:
        rules.window_status[statusSlot(request.status)] = false;
        break;
    }
}

// The contact gets a window part of its own, the one in effect now less that flag; its sound
// part stays as it is. Stored and written as the filter dialog does.
void hideFromContact(const window_info& request) {
    if (!plugin.filters) return;
    filter rules;
    rules.setDefaults();
    if (!plugin.filters->getFilter(levelContact, request.contactId, rules, false)) return;
    rules.window_inherit = false;
    clearFlag(rules, request);
    plugin.filters->setFilter(levelContact, request.contactId, rules);
    plugin.filters->save();
}

menuOwner build(const window_info& request) {
    menuOwner menu(CreatePopupMenu(), &DestroyMenu);
    if (!menu) return menu;
    HMENU m = menu.get();
    appendButtons(m, request);
    if (fromContact(request)) {
        AppendMenuA(m, MF_STRING, openChat, uiText(IDS_ACTION_OPEN_CHAT));
        AppendMenuA(m, MF_STRING, hideLikeThis, hideCaption(request).c_str());
        AppendMenuA(m, MF_STRING, ignoreContact, uiText(IDS_ACTION_IGNORE));
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    }
    AppendMenuA(m, MF_STRING, silenceHour, uiText(IDS_ACTION_SILENCE));
    AppendMenuA(m, MF_STRING, closeAll, uiText(IDS_ACTION_CLOSE_ALL));
    if (plugin.settings && plugin.settings->history > 0)
        AppendMenuA(m, MF_STRING, showHistory, uiText(IDS_ACTION_HISTORY));
    return menu;
}

// The notification is made the foreground window while its menu runs, or a click elsewhere would
// not close the menu; the window that was in front gets the focus back unless the choice took it.
UINT track(HWND notification, HMENU menu) {
    POINT at = {};
    GetCursorPos(&at);
    HWND before = GetForegroundWindow();
    SetForegroundWindow(notification);
    const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0,
                                       notification, nullptr);
    PostMessageA(notification, WM_NULL, 0, 0);
    if (before && before != notification && GetForegroundWindow() == notification) SetForegroundWindow(before);
    return chosen;
}

// A button is pressed as a click on it would: the notification may be gone by now.
void pressButton(HWND notification, UINT chosen) {
    if (window* shown = window::fromHandle(notification)) shown->clickAction(static_cast<int>(chosen - firstButton));
}

void carryOut(HWND notification, UINT chosen, const window_info& request) {
    if (chosen >= firstButton) {
        pressButton(notification, chosen);
        return;
    }
    switch (chosen) {
    case openChat:
        openChatWindow(request.protocol, request.contactId);
        break;
    case hideLikeThis:
        hideFromContact(request);
        break;
    case ignoreContact:
        if (plugin.filters) plugin.filters->addIgnored(request.contactId);
        break;
    case silenceHour:
        silentSwitch::silenceFor(anHour);
        break;
    case closeAll:
        if (plugin.windows) plugin.windows->dismissAll();
        break;
    case showHistory:
        historyWindow::show();
        break;
    default:  // Escape, or a click elsewhere
        break;
    }
}

}  // namespace

void actionMenu::open(HWND notification, const window_info& shown) {
    const window_info request = shown;
    menuOwner menu = build(request);
    if (!menu) return;
    carryOut(notification, track(notification, menu.get()), request);
}

}  // namespace kiv
