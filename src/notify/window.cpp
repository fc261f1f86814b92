#include "notify/window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "base/contactList.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "base/scopedGdi.h"
#include "base/systemModes.h"
#include "base/text.h"
#include "base/wideText.h"
#include "notify/descriptionGrowth.h"
#include "notify/oleAccess.h"
#include "notify/themeScheme.h"
#include "scheme/skinDrawing.h"
#include "settings/config.h"

namespace kiv {

namespace {

constexpr UINT_PTR animationTimer = 1;
constexpr UINT animationPeriod = 20;
constexpr int32_t slidePixels = 30;
constexpr int32_t fadePercent = 5;
constexpr UINT textFlags = DT_NOPREFIX;  // "&" in a nick or message is text, not a mnemonic

// Windows exist only between the manager's creation and destruction, which the settings outlive.
const config& settings() {
    return *plugin.settings;
}

window::menuOpener actionMenu = nullptr;

}  // namespace

void window::offerMenu(menuOpener open) {
    actionMenu = open;
}

window::window(window_info& request, windowKeeper& keeper) : keeper_(keeper) {
    request.small = false;
    handle_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY, notifyWindowClass, "notify",
                              WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, plugin.instance, nullptr);
    if (handle_) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        GetClientRect(handle_, &client_);
        request_ = request;
        takeLook();
        schemeHeight_ = skin_.height;
        schemeDescRect_ = skin_.descRect;
        setTransparency(settings().alpha);
    }
    createdTick_ = GetTickCount();
}

window::~window() {
    if (!handle_) return;
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);  // no message reaches this object any more
    accessible_.reset();
    SendMessageA(handle_, WM_CLOSE, 0, 0);
}

// The scheme of the system's theme now; in high contrast its sizes, rectangles and fonts in the
// system's colours, opaque whatever alpha says.
void window::takeLook() {
    if (plugin.scheme) {
        followTheme(*plugin.scheme, settings());
        skin_.copyFrom(*plugin.scheme);
    }
    systemColours_ = highContrastOn();
    if (systemColours_) useSystemColours(skin_);
}

window* window::fromHandle(HWND handle) {
    return handle ? reinterpret_cast<window*>(GetWindowLongPtrA(handle, GWLP_USERDATA)) : nullptr;
}

// ---- size and place ------------------------------------------------------------------------

// No window is larger than the work area of its stack's screen, whatever size the scheme asks for.
// A caller's bar and buttons go under the description; without a text they take its place, in a
// window of the normal size: the small one has no room for them.
void window::fitToContent(const RECT& area) {
    const int32_t areaWidth = std::max<int32_t>(0, area.right - area.left);
    const int32_t areaHeight = std::max<int32_t>(0, area.bottom - area.top);
    skin_.height = std::min(schemeHeight_, areaHeight);
    skin_.descRect = schemeDescRect_;
    extras_ = measureExtras();
    if (!request_.text[0] && extras_.empty()) {
        resize(std::min(skin_.smallWidth, areaWidth), std::min(skin_.smallHeight, areaHeight), true);
        return;
    }
    // The scheme's own margin under the description stays under the bar and the buttons; what
    // they need beyond the scheme's height is kept from the text's growth.
    const int margin = std::max(0, schemeHeight_ - static_cast<int>(schemeDescRect_.bottom));
    if (!request_.text[0]) {
        skin_.descRect.bottom = skin_.descRect.top;
    } else if (skin_.autoHeight) {
        const int below = static_cast<int>(schemeDescRect_.top) + extras_.height() + margin;
        growToText(area, extras_.empty() ? 0 : std::max(0, below - schemeHeight_));
    }
    if (!extras_.empty()) {
        const int64_t needed = int64_t{skin_.descRect.bottom} + extras_.height() + margin;
        skin_.height = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(skin_.height, needed), areaHeight));
        extras_.place(skin_.descRect.bottom);
    }
    resize(std::min(skin_.width, areaWidth), skin_.height, false);
}

// The whole measured text height is added to the scheme's height, at most autoheightrows lines,
// and never more than leaves reserve pixels of the work area to the bar and the buttons. The
// description keeps the scheme's width.
void window::growToText(const RECT& area, int reserve) {
    cutForGrowth(request_.text, request_.utf8, settings().autoheightchars);
    windowDC dc(handle_);
    if (!dc) return;
    const int room = static_cast<int>(area.bottom - area.top) - skin_.height - reserve;
    const int textHeight =
        descriptionGrowth(dc.get(), skin_, request_.text, request_.utf8, settings().autoheightrows, room);
    skin_.height += textHeight;
    skin_.descRect.bottom = skin_.descRect.top + textHeight;
}

// The bar and the buttons placed under the description as it stands now.
actionLayout window::measureExtras() {
    const bool bar = request_.progress >= 0;
    const int count = actionCount();
    if (!bar && count == 0) return {};
    if (!captions_.measured) measureCaptions();
    return actionLayout(skin_.descRect, bar, captions_.widths, count, captions_.lineHeight);
}

// The captions in the description font and the request's encoding, and the font's line: neither
// changes while the window lives, so a moving bar does not measure them again.
void window::measureCaptions() {
    windowDC dc(handle_);
    if (!dc) return;
    scopedFont font(CreateFontIndirectA(&skin_.descFont));
    selection chosen(dc.get(), font.get());
    const UINT measure = DT_SINGLELINE | DT_CALCRECT | textFlags;
    RECT sample = {0, 0, 100, 100};
    captions_.lineHeight = DrawTextA(dc.get(), "a", -1, &sample, measure);
    for (int k = 0; k < actionCount(); ++k) {
        RECT caption = {0, 0, 0, 0};
        drawText(dc.get(), request_.actions[k], &caption, measure);
        captions_.widths[k] = caption.right - caption.left;
    }
    captions_.measured = true;
}

// A screen reader that follows the window hears of the new text and count.
bool window::changeText(const char* text, int32_t messages, const RECT& area) {
    const int before = height();
    const std::string lineBefore = contactLine();
    request_.setText(text);
    request_.messages = messages;
    fitToContent(area);
    createdTick_ = GetTickCount();
    if (!handle_) return height() != before;
    InvalidateRect(handle_, nullptr, TRUE);
    updateAccessible();
    if (contactLine() != lineBefore) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, handle_, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, handle_, OBJID_CLIENT, CHILDID_SELF);
    return height() != before;
}

// A reader hears the bar's new value, or that the children changed when the bar came or went.
bool window::changeProgress(int32_t percent, const RECT& area) {
    const int before = height();
    const bool hadBar = request_.progress >= 0;
    request_.progress = percent;
    fitToContent(area);
    if (!handle_) return height() != before;
    InvalidateRect(handle_, nullptr, TRUE);
    updateAccessible();
    if (hadBar != (percent >= 0)) NotifyWinEvent(EVENT_OBJECT_REORDER, handle_, OBJID_CLIENT, CHILDID_SELF);
    if (percent >= 0) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, handle_, OBJID_CLIENT, actionCount() + 1);
    return height() != before;
}

// A window sized again to what it already is (the next message of a group, a new text of the
// same height) keeps its picture and shape.
void window::resize(int width, int height, bool small) {
    const bool unchanged =
        skin_.composed && small == request_.small && width == this->width() && height == this->height();
    request_.small = small;
    if (!handle_ || unchanged) return;
    SetWindowPos(handle_, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    GetClientRect(handle_, &client_);
    if (skin_.bitmap) compose(skin_, handle_, small);
    if (!skin_.composed) return;
    HRGN shape = buildRegion(skin_.composed.get(), skin_.colorKey);
    if (shape && !SetWindowRgn(handle_, shape, FALSE)) DeleteObject(shape);  // on success the system owns it
}

void window::moveTo(int x, int y, bool force) {
    if (!handle_) return;
    if ((state_ != opening && state_ != closing) || force) x_ = x;
    y_ = y;
    if (state_ == created && request_.effect == slideEffect) {
        int offset = width() + settings().bindX;
        slideX_ = leftCorner() ? x_ - offset : x_ + offset;
        slideStep_ = leftCorner() ? -slidePixels : slidePixels;
    }
    if (state_ == shown || request_.effect != slideEffect) slideX_ = x_;
    if (placed_.x == slideX_ && placed_.y == y_) return;  // a rearrange mostly finds windows in place
    placed_ = {slideX_, y_};
    SetWindowPos(handle_, nullptr, slideX_, y_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
}

bool window::leftCorner() const {
    return isLeftCorner(settings().bindpos);
}

// ---- show and hide --------------------------------------------------------------------------

// Effects other than slide and fade show and hide the window at once.
bool window::animated() const {
    return request_.effect == slideEffect || request_.effect == fadeEffect;
}

void window::reveal() {
    if (!handle_) return;
    ShowWindow(handle_, SW_SHOWNOACTIVATE);
    // What a screen reader announces; with no reader listening the platform returns at once.
    NotifyWinEvent(EVENT_SYSTEM_ALERT, handle_, OBJID_CLIENT, CHILDID_SELF);
    if (animated()) {
        state_ = opening;
        startTimer();
    } else {
        state_ = shown;
    }
}

void window::startClosing(const RECT& area) {
    if (menuOpen_) {
        closeAfterMenu_ = true;
        closingArea_ = area;
        return;
    }
    if (!animated() || !request_.effectClose) {
        state_ = closed;
        return;
    }
    state_ = closing;
    if (request_.effect == slideEffect) {
        moveTo(leftCorner() ? area.left - width() : area.right, y_, true);
    } else {
        setTransparency(100);
    }
    startTimer();
}

void window::setTransparency(int percent) {
    targetTransparency_ = percent;
    if (state_ == created && request_.effect == fadeEffect) {
        transparencyStep_ = fadePercent;
        currentTransparency_ = 100;
    }
    if (state_ == shown || request_.effect != fadeEffect) currentTransparency_ = percent;
    applyTransparency();
}

void window::applyTransparency() {
    if (!plugin.setLayeredWindowAttributes || !handle_ || systemColours_) return;
    LONG style = GetWindowLongA(handle_, GWL_EXSTYLE);
    if (targetTransparency_ != 0 || currentTransparency_ != 0) {
        if (!(style & WS_EX_LAYERED)) SetWindowLongA(handle_, GWL_EXSTYLE, style | WS_EX_LAYERED);
        int opacity = 100 - std::clamp<int32_t>(currentTransparency_, 0, 100);
        plugin.setLayeredWindowAttributes(handle_, 0, static_cast<BYTE>(opacity * 255 / 100), LWA_ALPHA);
    } else if (style & WS_EX_LAYERED) {
        SetWindowLongA(handle_, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
    }
}

void window::startTimer() {
    SetTimer(handle_, animationTimer, animationPeriod, nullptr);
}

void window::stopTimer() {
    KillTimer(handle_, animationTimer);
}

void window::onTimer() {
    const bool slide = request_.effect == slideEffect, fade = request_.effect == fadeEffect;
    if (state_ == opening && slide) {
        slideX_ -= slideStep_;
        if (slideStep_ * slideX_ <= slideStep_ * x_) finishStep(shown);
        moveTo(x_, y_, false);
    } else if (state_ == opening && fade) {
        currentTransparency_ -= transparencyStep_;
        if (currentTransparency_ <= targetTransparency_) finishStep(shown);
        setTransparency(targetTransparency_);
    } else if (state_ == closing && slide) {
        slideX_ += slideStep_;
        if (slideStep_ * slideX_ >= slideStep_ * x_) finishStep(closed);
        moveTo(x_, y_, false);
    } else if (state_ == closing && fade) {
        currentTransparency_ += transparencyStep_;
        if (currentTransparency_ >= targetTransparency_) finishStep(closed);
        setTransparency(targetTransparency_);
    } else if (state_ == closed) {
        stopTimer();  // a closed window waits for the manager; it never comes back
    } else {
        finishStep(shown);
        moveTo(x_, y_, false);
        setTransparency(targetTransparency_);
    }
}

// The animation has reached its target: stop there.
void window::finishStep(int32_t next) {
    slideX_ = x_;
    currentTransparency_ = targetTransparency_;
    stopTimer();
    state_ = next;
}

// The platform window went away without this object (someone closed it): the manager retires
// the object at its next tick.
void window::lost() {
    accessible_.reset();
    handle_ = nullptr;
    state_ = closed;
}

// ---- screen readers ------------------------------------------------------------------------

// The client area gets the notification's own object, made at the first request and answered
// again for later ones; anything else, or a failure, gets the platform's default answer (0).
LRESULT window::answerAccessibility(WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
    const oleAccess* functions = keeper_.accessFunctions();
    if (!functions) return 0;
    if (!accessible_) accessible_.reset(accessibleNotification::create(handle_, *functions));
    if (!accessible_) return 0;
    updateAccessible();
    const LRESULT result = functions->resultFor(accessible_.get(), flags);
    return result > 0 ? result : 0;
}

void window::updateAccessible() {
    if (!accessible_) return;
    accessibleContent content;
    content.name = wideOf(contactLine().c_str(), request_.utf8);
    content.description = wideOf(request_.text, request_.utf8);
    for (int k = 0; k < actionCount(); ++k)
        content.buttons.push_back({wideOf(request_.actions[k], request_.utf8), actionRect(k)});
    content.progress = request_.progress;
    content.progressPlace = progressRect();
    accessible_->setContent(std::move(content));
}

// ---- paint ---------------------------------------------------------------------------------

void window::eraseBackground(HDC dc) const {
    scopedBrush background(CreateSolidBrush(skin_.backgroundColor));
    FillRect(dc, &client_, background.get());
    scopedBrush frame(CreateSolidBrush(skin_.frameColor));
    FrameRect(dc, &client_, frame.get());
    if (!skin_.composed) return;
    memoryDC pictureDC(dc);
    selection chosen(pictureDC.get(), skin_.composed.get());
    if (chosen.selected()) BitBlt(dc, 0, 0, width(), height(), pictureDC.get(), 0, 0, SRCCOPY);
}

void window::paint(HDC dc) const {
    COLORREF previousBackground = SetBkColor(dc, skin_.backgroundColor);
    int previousMode = SetBkMode(dc, TRANSPARENT);
    COLORREF previousText = GetTextColor(dc);
    drawIcon(dc, getContactItem(request_.itemHandle));
    drawContactLine(dc);
    drawDescription(dc);
    drawProgress(dc);
    drawActions(dc);
    SetTextColor(dc, previousText);
    SetBkMode(dc, previousMode);
    SetBkColor(dc, previousBackground);
}

// The caller's bitmap, else the module's resource loaded for this paint; with no icon name, the
// contact's status icon, which the host owns. No item and no name: the icon area stays empty.
void window::drawIcon(HDC dc, const abi::contact_item* item) const {
    const POINT at = skin_.iconPos;
    if (request_.iconName[0]) {
        if (request_.iconBitmap) {
            drawKeyed(dc, request_.iconBitmap, at.x, at.y, iconKey);
            return;
        }
        scopedBitmap resource(
            static_cast<HBITMAP>(LoadImageA(plugin.instance, request_.iconName, IMAGE_BITMAP, 0, 0, 0)));
        drawKeyed(dc, resource.get(), at.x, at.y, iconKey);
        return;
    }
    const abi::status_entry* entry = item ? statusEntry(*item) : nullptr;
    if (entry) drawKeyed(dc, entry->icon, at.x, at.y, iconKey);
}

// Text in the request's encoding: Windows-1250 through the narrow function, UTF-8 through the wide one.
int window::drawText(HDC dc, const char* text, RECT* rect, UINT format) const {
    if (!request_.utf8) return DrawTextA(dc, text, -1, rect, format);
    return DrawTextW(dc, wideOf(text, true).c_str(), -1, rect, format);
}

std::string window::contactLine() const {
    char line[sizeof request_.nick + sizeof request_.contactId + 20];
    const size_t size = sizeof line;
    const char* nick = request_.nick;
    const char* id = request_.contactId;
    switch (settings().contactformat) {
    case 0:
        snprintf(line, size, "%s", nick[0] ? nick : id);
        break;
    case 1:
        snprintf(line, size, "%s", id);
        break;
    default:  // 2, and anything the options page never writes
        if (nick[0] && strcmp(nick, id) != 0)
            snprintf(line, size, "%s (%s)", nick, id);
        else
            snprintf(line, size, "%s", id);
        break;
    }
    if (request_.messages > 1) {
        char count[16];
        snprintf(count, sizeof count, " (%ld)", static_cast<long>(request_.messages));
        appendText(line, size, count);
    }
    return line;
}

// A priority contact's line is bold and underlined: the shipped schemes draw every contact line in
// bold already, and the underline tells it apart in any scheme.
LOGFONTA window::contactFont() const {
    LOGFONTA font = skin_.idFont;
    if (request_.priority) {
        font.lfWeight = std::max<LONG>(font.lfWeight, FW_BOLD);
        font.lfUnderline = TRUE;
    }
    return font;
}

void window::drawContactLine(HDC dc) const {
    const std::string line = contactLine();
    const LOGFONTA contact = contactFont();
    scopedFont font(CreateFontIndirectA(&contact));
    selection chosen(dc, font.get());
    SetTextColor(dc, skin_.idColor);
    RECT area = skin_.idRect;
    drawText(dc, line.c_str(), &area, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS | textFlags);
}

void window::drawDescription(HDC dc) const {
    scopedFont font(CreateFontIndirectA(&skin_.descFont));
    selection chosen(dc, font.get());
    SetTextColor(dc, skin_.descColor);
    RECT area = skin_.descRect;
    drawText(dc, request_.text, &area, DT_WORDBREAK | DT_WORD_ELLIPSIS | DT_END_ELLIPSIS | textFlags);
}

// A framed bar, filled from the left as far as the caller has come.
void window::drawProgress(HDC dc) const {
    RECT bar = progressRect();
    if (IsRectEmpty(&bar)) return;
    scopedBrush track(CreateSolidBrush(skin_.actionBack));
    FillRect(dc, &bar, track.get());
    scopedBrush fill(CreateSolidBrush(skin_.progressColor));
    FrameRect(dc, &bar, fill.get());
    RECT done = bar;
    InflateRect(&done, -1, -1);
    const int percent = std::clamp<int32_t>(request_.progress, 0, 100);
    done.right = done.left + (done.right - done.left) * percent / 100;
    if (done.right > done.left) FillRect(dc, &done, fill.get());
}

// Flat buttons with a one-pixel frame, each caption centred in the description font.
void window::drawActions(HDC dc) const {
    const int count = actionCount();
    if (count == 0) return;
    scopedFont font(CreateFontIndirectA(&skin_.descFont));
    selection chosen(dc, font.get());
    scopedBrush back(CreateSolidBrush(skin_.actionBack));
    scopedBrush frame(CreateSolidBrush(skin_.actionFrame));
    for (int k = 0; k < count; ++k) {
        RECT button = actionRect(k);
        if (IsRectEmpty(&button)) continue;
        const bool hot = k == hot_;  // under the pointer: the frame's colour fills it
        FillRect(dc, &button, hot ? frame.get() : back.get());
        FrameRect(dc, &button, frame.get());
        SetTextColor(dc, hot ? skin_.actionBack : skin_.actionText);
        RECT caption = extras_.caption(k);
        drawText(dc, request_.actions[k], &caption, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | textFlags);
    }
}

// ---- clicks --------------------------------------------------------------------------------

// The caller's callback, unless its plug-in is gone. False when the callback closed the window:
// nothing may touch the object after that.
bool window::tellCaller(int button) {
    if (!request_.clickCallback) return true;
    HWND self = handle_;
    click_info click = {sizeof click, button, self};
    const ClickCallbackFn callback = request_.clickCallback;
    const int32_t data = request_.callbackData;
    const callerModule caller = request_.caller;  // the callback may close this window
    caller.whileLoaded(reinterpret_cast<const void*>(callback), [&] { callback(&click, data); });
    return fromHandle(self) == this;
}

// The caller first, then the chat window, then closing. Whatever closes the window ends the
// click: nothing here touches the object after that.
void window::onClick(int button) {
    HWND self = handle_;
    if (!tellCaller(button)) return;
    if (button == 2 && settings().actionmenu && actionMenu) {
        openMenu();
        return;
    }
    if (button == 1 && settings().clickopenchat) openChat();
    if (settings().clickclose) keeper_.closeWindow(self);
}

// The button at a point of the client area, or -1.
int window::actionAt(POINT at) const {
    for (int k = 0; k < actionCount(); ++k) {
        const RECT button = actionRect(k);
        if (PtInRect(&button, at)) return k;
    }
    return -1;
}

// A button takes the click for itself; anywhere else it is the notification's.
void window::onLeftClick(POINT at) {
    const int k = actionAt(at);
    if (k >= 0) {
        clickAction(k);
        return;
    }
    onClick(1);
}

// Only a window with buttons follows the pointer; it hears when the pointer leaves.
void window::onMouseMove(POINT at) {
    const int hot = actionAt(at);
    if (hot == hot_) return;
    showHot(hot);
    if (hot < 0) return;
    TRACKMOUSEEVENT leave = {sizeof leave, TME_LEAVE, handle_, 0};
    TrackMouseEvent(&leave);
}

void window::showHot(int k) {
    for (int changed : {hot_, k}) {
        const RECT button = actionRect(changed);
        if (!IsRectEmpty(&button)) InvalidateRect(handle_, &button, FALSE);
    }
    hot_ = k;
}

void window::clickAction(int k) {
    if (k < 0 || k >= actionCount()) return;
    HWND self = handle_;
    if (tellCaller(popupActionButton + k + 1) && !request_.forceKeepOpen) keeper_.closeWindow(self);
}

// The window stays while its menu is open; a close asked for meanwhile happens after it.
void window::openMenu() {
    HWND self = handle_;
    menuOpen_ = true;
    actionMenu(self, request_);
    if (fromHandle(self) != this) return;
    menuOpen_ = false;
    if (!closeAfterMenu_) return;
    closeAfterMenu_ = false;
    startClosing(closingArea_);
}

void window::openChat() const {
    openChatWindow(request_.protocol, request_.contactId);
}

// ---- the window procedure ------------------------------------------------------------------

LRESULT CALLBACK notifyWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    window* self = window::fromHandle(handle);
    if (!self) return DefWindowProcA(handle, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle, &paint);
        if (dc) self->paint(dc);
        EndPaint(handle, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        self->eraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_TIMER:
        if (wParam != animationTimer) break;
        self->onTimer();
        return 0;
    case WM_LBUTTONUP:
        self->onLeftClick({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        self->onMouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_MOUSELEAVE:
        self->showHot(-1);
        break;
    case WM_RBUTTONUP:
        self->onClick(2);
        if (!IsWindow(handle)) return 0;
        break;
    case accessibleNotification::pressMessage:
        self->clickAction(static_cast<int>(wParam));
        return 0;
    case WM_GETOBJECT:
        if (LRESULT answer = self->answerAccessibility(wParam, lParam)) return answer;
        break;
    case WM_NCDESTROY:
        self->lost();
        break;
    default:
        break;
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

}  // namespace kiv
