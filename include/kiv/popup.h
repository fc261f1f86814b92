// For other plug-ins: show a notification of your own through kiv.
//
//     popup_info info = {};
//     info.size = sizeof info;           // 46
//     info.protocol = "TLEN";
//     info.nick = "Ala";
//     info.text = "Nowa poczta";
//     info.iconName = "message";         // "message", "chatmessage", "ico_small", or "" for the
//                                        // contact's status icon (needs itemHandle)
//     int queued = callService(myModule, "kiv/popup", (WPARAM)&info, 0) == 0;
//
// callService is the host's own: slot 2 of the function table the messenger hands to your
// LoadPlugin (int __cdecl callService(HINSTANCE module, const char* name, WPARAM, LPARAM)), with
// your module's instance handle first.
//
// The service answers -1 for a record of the wrong size and while kiv is silent or a full-screen
// application is in front; otherwise 0, and the window appears at once (or, while the screen has
// no room, as soon as it has).
//
// Threads. Every service of kiv (kiv/popup, kiv/popup/show, /update, /progress, /close,
// kiv/getsilent, kiv/setsilent) may be called from any thread of the messenger's process, at any
// time between kiv's LoadPlugin and UnloadPlugin. A call from another thread than the messenger's
// own copies what it needs (your texts too) and returns at once; kiv does the work on the
// messenger's thread as soon as that thread runs its messages, in the order each thread made its
// calls. No call ever waits for the messenger's thread, so you may call kiv while that thread
// waits for yours.
// From another thread the answers are the best kiv can give at once:
// - kiv/popup: 0 when the record is good (whether silent or a full-screen program then holds the
//   notification back is decided on the messenger's thread, and the history and kiv.log say so);
// - kiv/popup/show: a new id when the records are good, unique among every caller on every thread;
// - kiv/popup/update, /progress and /close: 0 for any id kiv gave out (they do nothing if the
//   notification is gone by the time kiv gets to them), -1 for an id it never gave out;
// - kiv/getsilent: the switch as it is, or as this thread's last kiv/setsilent set it;
//   kiv/setsilent: the new state, 1 or 0.
// Every service answers -1 from another thread while kiv loads or unloads, and once it is gone.
// On the messenger's thread the answers are exact, as described with each service.
//
// Bounds. The messenger's thread does kiv's part of other threads' calls a share at a time and
// goes back to its own messages in between, so a thread that calls faster than that gets ahead:
// at most popupWaitingCalls (4096) calls from other threads wait for it, and past that every call
// from another thread answers -1 (kiv/setsilent too) until the messenger's thread catches up.
// Changes of one notification that wait together count as one: a kiv/popup/update of an id whose
// previous update still waits (with no close of it in between) replaces that one's text, is never
// refused, and the notification shows the last text. kiv/popup/progress calls of one id fold the
// same way, apart from its updates. So report progress as often as you like; just check for -1
// where a call must not be lost.
//
// Texts are Windows-1250, the messenger's code page, and are cut to their fields (protocol 31
// bytes, contactId/nick/iconName 63, text 512). A caller built with another execution character
// set (UTF-8, say) converts its texts first: MultiByteToWideChar(CP_UTF8, ...) and then
// WideCharToMultiByte(1250, ...); with GCC, -fexec-charset=CP1250 makes literals Windows-1250.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kiv {

#pragma pack(push, 1)

// Passed to your click callback: which button was released over which notification window.
struct click_info {
    int32_t size;    // 12
    int32_t button;  // 1 left, 2 right
    HWND window;
};
static_assert(sizeof(click_info) == 12);

// Called on the messenger's thread with the caller's callbackData before kiv handles the click
// itself. It must be __cdecl, as every function that crosses between plug-ins and the host.
// Close your notifications (kiv/popup/close) before your plug-in unloads. If you do not, kiv
// protects the user: a click on a notification whose callback's module was unloaded since (even if
// it was loaded again at the same address) calls nothing and is otherwise handled as any click.
typedef int(__cdecl* ClickCallbackFn)(click_info* click, int callbackData);

struct popup_info {
    int32_t size;  // 46
    const char* protocol;
    const char* contactId;
    const char* nick;
    const char* text;  // empty or null: the small window
    const char* iconName;
    int32_t status;
    int32_t itemHandle;
    uint8_t small;
    int32_t effect;  // ignored: the user's setting decides
    uint8_t effectClose;
    ClickCallbackFn clickCallback;
    int32_t callbackData;
};
static_assert(sizeof(popup_info) == 46);
static_assert(offsetof(popup_info, small) == 32);
static_assert(offsetof(popup_info, effect) == 33);
static_assert(offsetof(popup_info, effectClose) == 37);
static_assert(offsetof(popup_info, clickCallback) == 38);
static_assert(offsetof(popup_info, callbackData) == 42);

// Optional second argument: whether the window closes by itself, and an icon of your own.
struct popup_options {
    int32_t size;  // 30
    uint8_t forceAutoClose;
    uint8_t forceKeepOpen;
    HBITMAP iconBitmap;  // yours: drawn on every paint, never deleted by kiv
    uint8_t reserved[20];
};
static_assert(sizeof(popup_options) == 30);
static_assert(offsetof(popup_options, iconBitmap) == 6);

// A notification you can change and close while it is on the screen.
//
//     popup_options2 options = {};
//     options.size = sizeof options;            // 16
//     options.encoding = kiv::popupUtf8;         // your texts are UTF-8: any script is drawn
//     int id = callService(me, kiv::popupShowService, (WPARAM)&info, (LPARAM)&options);
//     ...
//     callService(me, kiv::popupUpdateService, id, (LPARAM)u8"Pobrano 100%");
//     callService(me, kiv::popupCloseService, id, 0);
//
// show answers a positive id (never given out twice while kiv.tpl stays in the process, also
// across its UnloadPlugin and a new LoadPlugin), or -1 when refused as kiv/popup refuses, or for
// an options record whose size is neither 16 nor 32 (popup_options3 below); null options behave
// as kiv/popup without options. update (a new description, in the encoding the notification was
// shown with; the window is sized again and its time starts again) and close (with the user's
// closing animation) answer 0, or -1 once the notification is gone or closing. A notification
// still waiting for its window is changed or removed where it waits.
enum popup_encoding : uint8_t { popupWindows1250 = 0, popupUtf8 = 1 };

struct popup_options2 {
    int32_t size;         // 16
    int32_t visibleTime;  // seconds this window stays; 0 (or less): the user's setting
    HBITMAP iconBitmap;   // as in popup_options: drawn when iconName is not empty, never deleted by kiv
    uint8_t keepOpen;     // 1: stays until clicked or closed through kiv/popup/close
    uint8_t encoding;     // a popup_encoding, for every text of popup_info and for updates
    uint8_t reserved[2];
};
static_assert(sizeof(popup_options2) == 16);
static_assert(offsetof(popup_options2, visibleTime) == 4);
static_assert(offsetof(popup_options2, iconBitmap) == 8);
static_assert(offsetof(popup_options2, keepOpen) == 12);
static_assert(offsetof(popup_options2, encoding) == 13);

// A notification with up to three buttons under its text and a progress bar: a download, an
// update, anything the user may act on or wait for. Give it as kiv/popup/show's options.
//
//     popup_options3 options = {};
//     options.size = sizeof options;            // 32
//     options.keepOpen = 1;                      // a download takes as long as it takes
//     options.encoding = kiv::popupUtf8;         // also for the captions
//     options.progress = 0;                      // a bar, empty for now
//     options.actions[0] = u8"Otw\u00f3rz";         // button 1: click_info.button 101
//     options.actions[1] = u8"Poka\u017c w folderze";  // button 2: 102
//     int id = callService(me, kiv::popupShowService, (WPARAM)&info, (LPARAM)&options);
//     ...                                        // on the download's own thread:
//     callService(me, kiv::popupProgressService, id, 40);  // 40%
//
// The record. visibleTime, iconBitmap, keepOpen and encoding are popup_options2's. progress is -1
// for no bar, or 0 to 100 for a bar filled that far. actions are the buttons' captions, left to
// right, in the record's encoding; a null or empty caption ends the list (captions after it are
// not read), so a notification has 0 to 3 buttons. A caption keeps its first
// popupActionCharacters (40) characters: bytes in Windows-1250, whole characters in UTF-8. kiv
// copies the captions: they need not outlive the call. reserved and reserved2 are 0. show answers
// -1 for a progress below -1 or above 100, or a reserved field that is not 0, and otherwise as
// with popup_options2. The window grows by a row for the buttons and by the bar; the buttons are
// drawn in the scheme's description font.
//
// The buttons. A click on button k (1 to 3) calls your callback with click_info.button =
// popupActionButton + k (101 to 103) and your callbackData, and then closes the notification with
// the user's closing animation, unless keepOpen is set: then it stays, and you close it
// (kiv/popup/close, also from the callback) when you are done with it. A screen reader's user
// presses a button through its accessible object the same way, and the notification's own
// right-click menu, when the user has it on, lists your buttons first. A click anywhere else on
// the notification is handled as on any other (1 left, 2 right).
//
// The bar. kiv/popup/progress (popupProgressService) moves it: wParam the id show gave, lParam 0
// to 100, or -1 to take the bar away (a later call with 0 to 100 brings it back); anything else is
// refused with -1. It answers as kiv/popup/update does: 0, or -1 for an id kiv never gave out or
// once the notification is gone or closing; from another thread, 0 for any id kiv gave out.
// Unlike update it does not start the visible time again: a download that may outlast the user's
// visible time sets keepOpen. A screen reader hears the bar's new value ("40%").
struct popup_options3 {
    int32_t size;            // 32
    int32_t visibleTime;     // as in popup_options2
    HBITMAP iconBitmap;      // as in popup_options2
    uint8_t keepOpen;        // as in popup_options2
    uint8_t encoding;        // as in popup_options2, also for the captions
    int8_t progress;         // -1: no bar; 0 to 100: a bar filled that far
    uint8_t reserved;        // 0
    const char* actions[3];  // the buttons' captions; a null or empty one ends the list
    int32_t reserved2;       // 0
};
static_assert(sizeof(popup_options3) == 32);
static_assert(offsetof(popup_options3, progress) == 14);
static_assert(offsetof(popup_options3, actions) == 16);
static_assert(offsetof(popup_options3, reserved2) == 28);

#pragma pack(pop)

// How many calls from other threads may wait for the messenger's thread (see "Bounds" above).
inline constexpr size_t popupWaitingCalls = 4096;

inline constexpr const char* popupShowService = "kiv/popup/show";
inline constexpr const char* popupUpdateService = "kiv/popup/update";
inline constexpr const char* popupCloseService = "kiv/popup/close";
inline constexpr const char* popupProgressService = "kiv/popup/progress";

// popup_options3's buttons: how many, their captions' length, and what a click on one reports.
inline constexpr int popupActions = 3;
inline constexpr int popupActionCharacters = 40;
inline constexpr int32_t popupActionButton = 100;

}  // namespace kiv
