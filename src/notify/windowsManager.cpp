#include "notify/windowsManager.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/chatTitle.h"
#include "base/entryGuard.h"
#include "base/moduleState.h"
#include "base/serviceInbox.h"
#include "history/notificationHistory.h"
#include "notify/hold.h"
#include "notify/oleAccess.h"
#include "notify/window.h"
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

windowsManager::windowsManager() {
    timer_ = SetTimer(nullptr, 0, tickPeriod, guardedCallback<&windowsManager::tick>);
}

windowsManager::~windowsManager() {
    if (timer_) KillTimer(nullptr, timer_);
    closeAll();
    queue_.clear();
}

// A thread timer has no window to carry its object: the one manager is the module's. A batch of
// what other threads asked for is queued first, so it shows in this tick.
void CALLBACK windowsManager::tick(HWND, UINT, UINT_PTR, DWORD) {
    inbox.runBatch();
    if (plugin.windows && plugin.settings) plugin.windows->onTick();
}

bool windowsManager::addNotification(const window_info& request) {
    if (settings().groupmessages && joinConversation(request)) return true;
    queue_.push_back(request);
    return true;
}

// The conversation's open window takes the message, else its queued request; the window is sized
// again and the stack closes up around it.
bool windowsManager::joinConversation(const window_info& request) {
    for (const auto& open : windows_) {
        if (!stillOpen(open.get()) || !open->request().sameConversation(request)) continue;
        if (open->changeText(request.text, open->request().messages + 1, screen_.workArea())) rearrange();
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
    queue_.push_back(request);
}

bool windowsManager::updateText(int32_t id, const char* text) {
    if (window_info* queued = queuedRequest(id)) {
        queued->setText(text);
        return true;
    }
    window* open = openWindow(id);
    if (!open) return false;
    if (open->changeText(text, open->request().messages, screen_.workArea())) rearrange();
    return true;
}

bool windowsManager::close(int32_t id) {
    auto queued = std::find_if(queue_.begin(), queue_.end(), [&](const window_info& r) { return r.id == id; });
    if (id > 0 && queued != queue_.end()) {
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
    return !roomOnScreen(windows_.size() + queue_.size());
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
    window_info summary;
    if (takeMissedSummary(summary)) addNotification(summary);
    while (roomOnScreen(windows_.size()) && !queue_.empty()) {
        window_info request = queue_.front();
        queue_.pop_front();
        showNotification(request);
    }
    if (removed && settings().rearrangewindows) rearrange();
}

// Destroys a closed window and steps past it; false leaves it and the iterator alone.
bool windowsManager::retire(std::list<std::unique_ptr<window>>::iterator& at) {
    if ((*at)->currentState() != window::closed) return false;
    std::unique_ptr<window> finished = std::move(*at);  // out of the list before it goes
    at = windows_.erase(at);
    return true;
}

bool windowsManager::showNotification(window_info request) {
    request.effect = settings().effect;
    request.effectClose = settings().effectclose;
    auto created = std::make_unique<window>(request);
    if (!created->handle()) return false;
    window* shown = created.get();
    if (windows_.empty()) screen_.choose(settings().monitor);
    shown->fitToContent(screen_.workArea());
    if (settings().newatbegin) {
        windows_.push_front(std::move(created));
    } else {
        RECT area = screen_.workArea();
        int y = firstEdge(area);
        if (!windows_.empty()) {
            const window* last = windows_.back().get();
            y = topCorner() ? last->y() + last->height() + settings().space : last->y() - settings().space;
        }
        if (!topCorner()) y -= shown->height();
        shown->moveTo(anchorX(area, shown->width()), y, false);
        windows_.push_back(std::move(created));
    }
    if (settings().rearrangewindows || settings().newatbegin) rearrange();
    shown->reveal();
    return true;
}

// A user without a screen reader never gets here: nothing else asks a notification for its object.
const oleAccess* windowsManager::accessFunctions() {
    if (!access_) access_ = std::make_unique<oleAccess>();
    return access_->ready() ? access_.get() : nullptr;
}

void windowsManager::rearrange() {
    RECT area = screen_.workArea();
    int edge = firstEdge(area);
    for (const auto& placed : windows_) {
        const int h = placed->height();
        placed->moveTo(anchorX(area, placed->width()), topCorner() ? edge : edge - h, false);
        edge += topCorner() ? h + settings().space : -(h + settings().space);
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

bool windowsManager::isChatWindowActive(const char* protocol, const char* contactId) const {
    HWND foreground = GetForegroundWindow();
    if (!foreground) return false;
    char className[1024] = "";
    GetClassNameA(foreground, className, sizeof className);
    if (strcmp(className, "TChat") != 0) return false;
    char title[1024] = "";
    SendMessageA(foreground, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title));
    title[sizeof title - 1] = '\0';
    return isChatTitleOf(title, protocol, contactId);
}

// ---- the anchor corner ----------------------------------------------------------------------

bool windowsManager::topCorner() const {
    return isTopCorner(settings().bindpos);
}

bool windowsManager::leftCorner() const {
    return isLeftCorner(settings().bindpos);
}

// Where bind counts from on the left and at the top: the screen's origin on the primary monitor
// (monitor 0), the work area's edges on a chosen monitor.
RECT windowsManager::origin(const RECT& area) const {
    return screen_.fromAreaEdges() ? area : RECT{0, 0, 0, 0};
}

int windowsManager::anchorX(const RECT& area, int width) const {
    return leftCorner() ? origin(area).left + settings().bindX : area.right - width - settings().bindX;
}

// Top corners count bindY from the screen's top; bottom corners from the work area's bottom.
int windowsManager::firstEdge(const RECT& area) const {
    return topCorner() ? origin(area).top + settings().bindY : area.bottom - settings().bindY;
}

}  // namespace kiv
