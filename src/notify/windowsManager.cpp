#include "notify/windowsManager.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/entryGuard.h"
#include "base/moduleState.h"
#include "base/scopedGdi.h"
#include "history/notificationHistory.h"
#include "notify/descriptionGrowth.h"
#include "notify/hold.h"
#include "notify/oleAccess.h"
#include "notify/themeScheme.h"
#include "notify/window.h"
#include "scheme/skin.h"
#include "settings/config.h"

namespace kiv {

namespace {

constexpr UINT tickPeriod = 100;

const config& settings() {
    return *plugin.settings;
}

bool roomOnScreen(size_t live) {
    return settings().maxonscreen <= 0 || live < static_cast<size_t>(settings().maxonscreen);
}

// Away from the keyboard and mouse for at least idlehold seconds, by the platform's last input.
bool userIdle(DWORD now) {
    if (settings().idlehold <= 0) return false;
    LASTINPUTINFO input = {};
    input.cbSize = sizeof input;
    if (!GetLastInputInfo(&input)) return false;
    return now - input.dwTime >= millisecondsOf(settings().idlehold);
}

bool pointerOver(const window& shown) {
    if (!settings().hoverhold) return false;
    POINT pointer = {};
    RECT rect = {};
    return GetCursorPos(&pointer) && GetWindowRect(shown.handle(), &rect) && PtInRect(&rect, pointer);
}

// Windows that are on their way out take no more text.
bool stillOpen(const window* w) {
    return w->currentState() != window::closing && w->currentState() != window::closed;
}

}  // namespace

windowsManager::windowsManager() = default;

windowsManager::~windowsManager() {
    stopTick();
    closeAll();
    queue_.clear();
}

// A thread timer has no window to carry its object: the one manager is the module's.
void CALLBACK windowsManager::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (plugin.windows && plugin.settings) plugin.windows->onTick();
}

void windowsManager::wake() {
    if (!timer_ && needsTick()) timer_ = SetTimer(nullptr, 0, tickPeriod, guardedCallback<&windowsManager::tick>);
}

// Windows to retire, requests waiting for room, or a summary waiting for a hold that ends by
// itself (quiet hours, a program in full screen); the silent switch wakes the manager when it
// goes off.
bool windowsManager::needsTick() const {
    return !windows_.empty() || !queue_.empty() || missedSummaryAwaited();
}

void windowsManager::stopTick() {
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
}

bool windowsManager::addNotification(const window_info& request) {
    if (settings().groupmessages && joinConversation(request)) return true;
    enqueue(request);
    showQueued();
    wake();
    return true;
}

// A queue that only grows while the stack is full of windows that stay would hold stale news
// without end: past its bound the oldest are let go, and the history says so.
void windowsManager::enqueue(const window_info& request) {
    queue_.push_back(request);
    while (queue_.size() > queueLimit) {
        rememberUnshown(queue_.front());
        queue_.pop_front();
        waiting_ = false;  // another request is the oldest now
    }
}

// The conversation's open window takes the message, else its queued request; the window is sized
// again and the stack closes up around it.
bool windowsManager::joinConversation(const window_info& request) {
    for (const auto& open : windows_) {
        if (!stillOpen(open.get()) || !open->request().sameConversation(request)) continue;
        changeText(*open, request.text, open->request().messages + 1);
        return true;
    }
    for (window_info& queued : queue_) {
        if (!queued.sameConversation(request)) continue;
        queued.setText(request.text);
        ++queued.messages;
        return true;
    }
    return false;
}

void windowsManager::addQueued(const window_info& request) {
    enqueue(request);
    showQueued();
    wake();
}

bool windowsManager::updateText(int32_t id, const char* text) {
    if (window_info* queued = queuedRequest(id)) {
        queued->setText(text);
        waiting_ = false;  // it may fit now
        return true;
    }
    window* open = openWindow(id);
    if (!open) return false;
    changeText(*open, text, open->request().messages);
    return true;
}

// A window grows only into the room the rest of the stack leaves it.
void windowsManager::changeText(window& open, const char* text, int32_t messages) {
    if (open.changeText(text, messages, growthArea(open))) rearrange();
}

bool windowsManager::setProgress(int32_t id, int32_t percent) {
    if (window_info* queued = queuedRequest(id)) {
        queued->progress = percent;
        waiting_ = false;  // it may fit now
        return true;
    }
    window* open = openWindow(id);
    if (!open) return false;
    if (open->changeProgress(percent, growthArea(*open))) rearrange();
    return true;
}

RECT windowsManager::growthArea(const window& grown) const {
    const stackLayout stack = layout();
    int64_t others = 0;
    for (const auto& w : windows_)
        if (w.get() != &grown) others += int64_t{w->height()} + stack.space();
    RECT area = screen_.workArea();
    const int64_t room = std::max<int64_t>(grown.height(), stack.room() - others);
    area.top = static_cast<LONG>(std::max<int64_t>(area.top, area.bottom - room));
    return area;
}

bool windowsManager::close(int32_t id) {
    auto queued = std::find_if(queue_.begin(), queue_.end(), [&](const window_info& r) { return r.id == id; });
    if (id > 0 && queued != queue_.end()) {
        if (queued == queue_.begin()) waiting_ = false;
        queue_.erase(queued);
        return true;
    }
    window* open = openWindow(id);
    if (!open) return false;
    open->startClosing(screen_.workArea());  // a window without closing animation goes at the next tick
    return true;
}

const window_info* windowsManager::requestOf(int32_t id) {
    if (const window_info* queued = queuedRequest(id)) return queued;
    const window* open = openWindow(id);
    return open ? &open->request() : nullptr;
}

window* windowsManager::openWindow(int32_t id) const {
    if (id <= 0) return nullptr;
    for (const auto& open : windows_)
        if (open->request().id == id && stillOpen(open.get())) return open.get();
    return nullptr;
}

window_info* windowsManager::queuedRequest(int32_t id) {
    if (id <= 0) return nullptr;
    for (window_info& queued : queue_)
        if (queued.id == id) return &queued;
    return nullptr;
}

bool windowsManager::mustWait() const {
    return !roomOnScreen(windows_.size() + queue_.size()) || waiting_;
}

void windowsManager::onTick() {
    const DWORD now = GetTickCount();
    const bool idle = userIdle(now);
    bool removed = false;
    for (auto at = windows_.begin(); at != windows_.end();) {
        window* shown = at->get();
        // Held while the user is away, the pointer rests on it or its menu is open, so its whole
        // visible time starts again once that ends.
        const bool held = idle || shown->menuOpen() || pointerOver(*shown);
        if (shown->currentState() < window::closing && held) shown->holdUntil(now);
        bool allowed = shown->request().closesByItself(settings().noautoclose);
        const DWORD visible = shown->request().visibleMilliseconds(settings().visibletime);
        if (now - shown->createdTick() >= visible && allowed && shown->currentState() == window::shown)
            shown->startClosing(screen_.workArea());
        if (retire(at))
            removed = true;
        else
            ++at;
    }
    // The summary comes after whatever still waits, so it never pushes a waiting request out.
    window_info summary;
    if (queue_.empty() && takeMissedSummary(summary)) addNotification(summary);
    showQueued();
    if (removed && settings().rearrangewindows) rearrange();
    if (!needsTick()) stopTick();
}

// Oldest first, while the screen limit and the stack's room allow. A request that finds no room
// waits at the front until the stack changes, and is not tried again before.
void windowsManager::showQueued() {
    if (waiting_ && waitingOn_ == shape()) return;
    waiting_ = false;
    while (roomOnScreen(windows_.size()) && !queue_.empty()) {
        if (showNotification(queue_.front()) == placement::noRoom) {
            waiting_ = true;
            waitingOn_ = shape();
            return;
        }
        queue_.pop_front();
    }
}

windowsManager::stackShape windowsManager::shape() const {
    stackShape now;
    now.windows = windows_.size();
    for (const auto& w : windows_) now.heights += w->height();
    if (!windows_.empty()) now.lastY = windows_.back()->y();
    now.area = screen_.workArea();
    return now;
}

bool windowsManager::stackShape::operator==(const stackShape& other) const {
    return windows == other.windows && heights == other.heights && lastY == other.lastY &&
           EqualRect(&area, &other.area);
}

// Destroys a closed window and steps past it; false leaves it and the iterator alone.
bool windowsManager::retire(std::list<std::unique_ptr<window>>::iterator& at) {
    if ((*at)->currentState() != window::closed) return false;
    std::unique_ptr<window> finished = std::move(*at);  // out of the list before it goes
    at = windows_.erase(at);
    return true;
}

windowsManager::placement windowsManager::showNotification(window_info request) {
    if (!windows_.empty() && !hasRoomFor(leastHeight(request), layout())) return placement::noRoom;
    request.effect = settings().effect;
    request.effectClose = settings().effectclose;
    auto created = std::make_unique<window>(request, *this);
    if (!created->handle()) return placement::failed;
    window* shown = created.get();
    if (windows_.empty()) screen_.choose(settings().monitor);
    shown->fitToContent(screen_.workArea());
    const stackLayout stack = layout();
    if (!hasRoomFor(shown->height(), stack)) return placement::noRoom;
    if (settings().newatbegin) {
        windows_.push_front(std::move(created));
    } else {
        int edge = stack.firstEdge();
        if (!windows_.empty()) edge = stack.nextEdge(windows_.back()->y(), windows_.back()->height());
        shown->moveTo(stack.x(shown->width()), stack.y(edge, shown->height()), false);
        windows_.push_back(std::move(created));
    }
    if (settings().rearrangewindows || settings().newatbegin) rearrange();
    shown->reveal();
    return placement::shown;
}

// A window alone always has room: it is already cut to the area. Otherwise it must fit where it
// would stand: after the last window, or in the stack closed up from the corner.
bool windowsManager::hasRoomFor(int height, const stackLayout& stack) const {
    if (windows_.empty()) return true;
    if (!settings().rearrangewindows && !settings().newatbegin) {
        const window* last = windows_.back().get();
        return stack.fits(stack.nextEdge(last->y(), last->height()), height);
    }
    int64_t total = height;
    for (const auto& w : windows_) total += int64_t{w->height()} + stack.space();
    return total <= stack.room();
}

// No window for the request is lower than this in the scheme it would take now: no text gets the
// smaller of the two heights; a text the scheme's height and its growth with autoheight, as the
// window measures it (a caller's bar or buttons only add to the height, so their growth is left
// out); all cut to the work area. What finds no room for this makes no window to learn so.
int windowsManager::leastHeight(const window_info& request) const {
    if (!plugin.scheme) return 0;
    followTheme(*plugin.scheme, settings());
    const skin& look = *plugin.scheme;
    const RECT area = screen_.workArea();
    const int areaHeight = static_cast<int>(std::max<int64_t>(0, int64_t{area.bottom} - area.top));
    if (!request.text[0]) return std::min({look.height, look.smallHeight, areaHeight});
    const int least = std::min(look.height, areaHeight);
    if (!look.autoHeight || request.progress >= 0 || request.actionCount() > 0) return least;
    char text[sizeof request.text];
    memcpy(text, request.text, sizeof text);
    cutForGrowth(text, request.utf8, settings().autoheightchars);
    windowDC screen(nullptr);
    if (!screen) return least;
    return least + descriptionGrowth(screen.get(), look, text, request.utf8, settings().autoheightrows,
                                     areaHeight - least);
}

// A user without a screen reader never gets here: nothing else asks a notification for its object.
const oleAccess* windowsManager::accessFunctions() {
    if (!access_) access_ = std::make_unique<oleAccess>();
    return access_->ready() ? access_.get() : nullptr;
}

void windowsManager::rearrange() {
    const stackLayout stack = layout();
    int edge = stack.firstEdge();
    for (const auto& placed : windows_) {
        const int y = stack.y(edge, placed->height());
        placed->moveTo(stack.x(placed->width()), y, false);
        edge = stack.nextEdge(y, placed->height());
    }
}

void windowsManager::closeWindow(HWND handle) {
    if (!handle) return;
    bool removed = false;
    for (auto at = windows_.begin(); at != windows_.end();) {
        if ((*at)->handle() != handle) {
            ++at;
            continue;
        }
        std::unique_ptr<window> closing = std::move(*at);  // out of the list before it goes
        windows_.erase(at);
        closing.reset();
        removed = true;
        at = windows_.begin();
    }
    if (removed && settings().rearrangewindows) rearrange();
}

void windowsManager::closeAll() {
    while (!windows_.empty()) {
        std::unique_ptr<window> first = std::move(windows_.front());  // out of the list before it goes
        windows_.pop_front();
    }
}

void windowsManager::dismissAll() {
    queue_.clear();
    for (const auto& open : windows_)
        if (stillOpen(open.get())) open->startClosing(screen_.workArea());
}

// ---- the anchor corner ----------------------------------------------------------------------

// Where bind counts from on the left and at the top: the screen's origin on the primary monitor
// (monitor 0), the work area's edges on a chosen monitor.
RECT windowsManager::origin(const RECT& area) const {
    return screen_.fromAreaEdges() ? area : RECT{0, 0, 0, 0};
}

stackLayout windowsManager::layout() const {
    const RECT area = screen_.workArea();
    return stackLayout(area, origin(area), settings().bindpos, settings().bindX, settings().bindY, settings().space);
}

}  // namespace kiv
