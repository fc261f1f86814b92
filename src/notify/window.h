// One notification on the screen: a borderless, topmost, skinned pop-up that slides or fades in,
// paints its icon and texts, answers clicks and slides or fades out. Its keeper creates, places
// and destroys it; the window animates and paints itself.
#pragma once

#include <windows.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "kiv/host_abi.h"

#include "base/window_info.h"
#include "notify/accessibleNotification.h"
#include "notify/actionLayout.h"
#include "notify/windowKeeper.h"
#include "scheme/skin.h"

namespace kiv {

class window {
public:
    enum state : int32_t { created = 1, opening, shown, closing, closed };
    enum effect : int32_t { noEffect = 0, slideEffect = 1, fadeEffect = 2 };

    // Creates the platform window for the request (whose small flag is reset) with a copy of
    // the current skin; handle() is null when that fails. The keeper outlives the window.
    window(window_info& request, windowKeeper& keeper);
    // Closes the platform window and frees the composed picture.
    ~window();
    window(const window&) = delete;
    window& operator=(const window&) = delete;

    // The object behind a platform window, or null once it is gone.
    static window* fromHandle(HWND handle);

    // With actionmenu, a right click calls this instead of closing. It runs the menu's modal loop:
    // it copies the request before the loop, as the window may be gone when the loop ends.
    using menuOpener = void (*)(HWND notification, const window_info& request);
    static void offerMenu(menuOpener open);

    // Sizes the window for its request: the small size without text, else the normal size,
    // grown to the description when the skin asks for auto-height, never wider or taller than
    // area (the work area of the window's stack). Sizing again starts from the scheme's own sizes.
    void fitToContent(const RECT& area);
    // A new description (or the next message of a group): sized again, repainted, and its visible
    // time starts again. Says whether the height changed.
    bool changeText(const char* text, int32_t messages, const RECT& area);
    // A new fill of the caller's bar (-1 hides it): sized again and repainted. Says whether the
    // height changed.
    bool changeProgress(int32_t percent, const RECT& area);
    // The caller's buttons, under the description: how many, where button k (from 0) is in the
    // client area, and a click on it. The caller hears popupActionButton + k + 1; the window
    // closes unless the caller keeps it open.
    int actionCount() const { return request_.actionCount(); }
    RECT actionRect(int k) const { return extras_.action(k); }
    void clickAction(int k);
    // Where the bar is in the client area; empty while there is none.
    RECT progressRect() const { return extras_.progress(); }
    void reveal();
    void moveTo(int x, int y, bool force);
    void resize(int width, int height, bool small);
    void setTransparency(int percent);
    // area: the work area the window's stack is in; a slide leaves through its edge. While the
    // window's menu is open it only remembers to close once the menu is gone.
    void startClosing(const RECT& area);
    bool menuOpen() const { return menuOpen_; }

    // Draws the icon and both text lines on dc, as a paint does.
    void paint(HDC dc) const;
    // Fills dc with the background, the frame and the composed skin, as an erase does.
    void eraseBackground(HDC dc) const;
    // One animation step of timer 1.
    void onTimer();

    HWND handle() const { return handle_; }
    DWORD createdTick() const { return createdTick_; }
    // The visible time counts from this tick instead: the window was held open until then.
    void holdUntil(DWORD tick) { createdTick_ = tick; }
    int32_t currentState() const { return state_; }
    int y() const { return y_; }
    int width() const { return client_.right; }
    int height() const { return client_.bottom; }
    const window_info& request() const { return request_; }

private:
    friend LRESULT CALLBACK notifyWindowProc(HWND, UINT, WPARAM, LPARAM);

    void takeLook();
    void growToText(const RECT& area, int reserve);
    actionLayout measureExtras();
    void measureCaptions();
    bool animated() const;
    bool leftCorner() const;
    void startTimer();
    void stopTimer();
    void finishStep(int32_t next);
    void applyTransparency();
    int drawText(HDC dc, const char* text, RECT* rect, UINT format) const;
    void drawIcon(HDC dc, const abi::contact_item* item) const;
    std::string contactLine() const;
    LOGFONTA contactFont() const;
    void drawContactLine(HDC dc) const;
    void drawDescription(HDC dc) const;
    void drawProgress(HDC dc) const;
    void drawActions(HDC dc) const;
    int actionAt(POINT at) const;
    void onLeftClick(POINT at);
    void onMouseMove(POINT at);
    void showHot(int k);
    void onClick(int button);
    bool tellCaller(int button);
    void openMenu();
    void openChat() const;
    void lost();
    LRESULT answerAccessibility(WPARAM flags, LPARAM objectId);
    void updateAccessible();

    windowKeeper& keeper_;
    HWND handle_ = nullptr;
    DWORD createdTick_ = 0;
    int x_ = 0;
    int y_ = 0;
    int32_t targetTransparency_ = 0;
    RECT client_ = {0, 0, 0, 0};
    window_info request_;
    skin skin_;
    int32_t schemeHeight_ = 0;     // the skin's height before auto-height grew it
    RECT schemeDescRect_ = {0, 0, 0, 0};
    actionLayout extras_;  // the caller's bar and buttons, placed by the latest sizing
    struct captionSizes {
        int widths[popupActions] = {};
        int lineHeight = 0;
        bool measured = false;
    } captions_;  // measured at the first sizing that needs them
    int hot_ = -1;         // the button under the pointer
    bool systemColours_ = false;  // high contrast: no picture, no shape, no transparency
    int32_t state_ = created;
    int32_t slideStep_ = 0;
    int slideX_ = 0;
    POINT placed_ = {INT_MIN, INT_MIN};  // where SetWindowPos last put the window
    int32_t currentTransparency_ = 0;
    int32_t transparencyStep_ = 0;
    bool menuOpen_ = false;
    bool closeAfterMenu_ = false;
    RECT closingArea_ = {0, 0, 0, 0};
    accessibleOwner accessible_;  // made when a screen reader first asks
};

LRESULT CALLBACK notifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kiv
