#include "hostCore.h"

#include <ole2.h>

#include <algorithm>
#include <cstring>

#include "timerRecorder.h"

namespace kivhost {

namespace {

std::string text(const char* value) {
    return value ? value : "";
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

abi::menu_item_info menuItem::record() const {
    abi::menu_item_info info = {};
    info.size = sizeof info;
    info.itemName = itemName.c_str();
    info.parentName = parentName.empty() ? nullptr : parentName.c_str();
    info.menu = menu.c_str();
    info.caption = caption.c_str();
    info.flags = flags;
    info.position = position;
    info.callback = callback;
    info.module = module;
    info.itemData = itemData;
    return info;
}

hostCore& hostCore::get() {
    static hostCore core;
    return core;
}

hostCore::hostCore() {
    for (void*& slot : table_) slot = reinterpret_cast<void*>(&hostCore::unusedSlot);
    table_[abi::slotCreateService] = reinterpret_cast<void*>(&hostCore::createService);
    table_[abi::slotDestroyService] = reinterpret_cast<void*>(&hostCore::destroyService);
    table_[abi::slotCallService] = reinterpret_cast<void*>(&hostCore::callService);
    table_[abi::slotHookEvent] = reinterpret_cast<void*>(&hostCore::hookEvent);
    table_[abi::slotUnhookEvent] = reinterpret_cast<void*>(&hostCore::unhookEvent);
    offerBuiltins();
}

void hostCore::setProfile(const std::string& login, const std::string& folder) {
    login_ = login;
    profileFolder_ = folder;
    if (!profileFolder_.empty() && profileFolder_.back() != '\\') profileFolder_ += '\\';
    profile_ = {};
    profile_.size = sizeof profile_;
    profile_.login = login_.c_str();
    profile_.profileFolder = profileFolder_.c_str();
}

hostCore::builtinFn hostCore::offer(const std::string& name, builtinFn fn) {
    builtinFn before = std::move(builtins_[name]);
    builtins_[name] = std::move(fn);
    return before;
}

void hostCore::offerBuiltins() {
    offer(abi::svcGetProcAddress, [](WPARAM number, LPARAM) -> int {
        if (number == abi::hostFunctionProfile) return reinterpret_cast<int>(&hostCore::profileFunction);
        if (number == abi::hostFunctionShowMenuItem) return reinterpret_cast<int>(&hostCore::showMenuItem);
        return 0;
    });
    offer(abi::svcEnumerateItems, [this](WPARAM record, LPARAM) {
        return contacts.enumerate(reinterpret_cast<const abi::enumeration_record*>(record));
    });
    offer(abi::svcGetItem, [this](WPARAM handle, LPARAM) {
        return reinterpret_cast<int>(contacts.getItem(static_cast<int>(handle)));
    });
    offer(abi::svcProtocolHookEvent, [this](WPARAM record, LPARAM) -> int {
        auto* hookRecord = reinterpret_cast<const abi::protocol_hook*>(record);
        if (!hookRecord || !hookRecord->protocol || !hookRecord->callback) return 0;
        protocolHooks_.push_back({nextHandle_++, hookRecord->protocol, hookRecord->callback});
        return protocolHooks_.back().handle;
    });
    offer(abi::svcProtocolUnhookEvent, [this](WPARAM protocol, LPARAM handle) {
        std::string name = text(reinterpret_cast<const char*>(protocol));
        protocolHooks_.erase(std::remove_if(protocolHooks_.begin(), protocolHooks_.end(),
                                            [&](const protocolHook& h) {
                                                return h.handle == static_cast<int>(handle) && h.protocol == name;
                                            }),
                             protocolHooks_.end());
        return 0;
    });
    offer(abi::svcChatWindowShow, [this](WPARAM record, LPARAM) {
        auto* request = reinterpret_cast<const abi::chat_window_request*>(record);
        if (!request) return 0;
        chatRequest shown;
        shown.contactId = text(request->contactId);
        shown.protocol = text(request->protocol);
        shown.title = text(request->title);
        shown.status = request->status;
        shown.network = request->network;
        chatRequests_.push_back(shown);
        return 0;
    });
    offer(abi::svcAddMenuItem, [this](WPARAM record, LPARAM) -> int {
        auto* info = reinterpret_cast<const abi::menu_item_info*>(record);
        if (!info) return 0;
        menuItem item;
        item.handle = nextHandle_++;
        item.itemName = text(info->itemName);
        item.parentName = text(info->parentName);
        item.menu = text(info->menu);
        item.caption = text(info->caption);
        item.flags = info->flags;
        item.position = info->position;
        item.callback = info->callback;
        item.module = info->module;
        item.itemData = info->itemData;
        menuItems_.push_back(item);
        return item.handle;
    });
    offer(abi::svcChangeMenuItem, [this](WPARAM handle, LPARAM record) {
        auto* info = reinterpret_cast<const abi::menu_item_info*>(record);
        if (!info || !(info->flags & abi::menuFlagChange)) return 0;
        for (menuItem& item : menuItems_)
            if (item.handle == static_cast<int>(handle))
                item.flags = (item.flags & ~abi::menuFlagChecked) | (info->flags & abi::menuFlagChecked);
        return 0;
    });
    offer(abi::svcAddMenuCallBack, [this](WPARAM menu, LPARAM callback) {
        menuCallbacks_.emplace_back(text(reinterpret_cast<const char*>(menu)),
                                    reinterpret_cast<abi::MenuCallbackFn>(callback));
        return 0;
    });
    offer(abi::svcRemoveMenuCallBack, [this](WPARAM menu, LPARAM callback) {
        std::string name = text(reinterpret_cast<const char*>(menu));
        auto fn = reinterpret_cast<abi::MenuCallbackFn>(callback);
        menuCallbacks_.erase(std::remove_if(menuCallbacks_.begin(), menuCallbacks_.end(),
                                            [&](const auto& entry) { return entry.first == name && entry.second == fn; }),
                             menuCallbacks_.end());
        return 0;
    });
    offer(abi::svcAddOptionsPage, [this](WPARAM module, LPARAM record) {
        auto* info = reinterpret_cast<const abi::options_page_info*>(record);
        if (!info) return 0;
        optionsPage page;
        page.pageName = text(info->pageName);
        page.group = text(info->group);
        page.kind = info->kind;
        page.iconSmall = info->iconSmall;
        page.callback = info->callback;
        page.module = reinterpret_cast<HINSTANCE>(module);
        optionsPages_.push_back(page);
        return 0;
    });
    offer(abi::svcAddDialogHandle, [this](WPARAM window, LPARAM) {
        dialogHandles_.push_back(reinterpret_cast<HWND>(window));
        return 0;
    });
    offer(abi::svcRemoveDialogHandle, [this](WPARAM window, LPARAM) {
        auto handle = reinterpret_cast<HWND>(window);
        dialogHandles_.erase(std::remove(dialogHandles_.begin(), dialogHandles_.end(), handle), dialogHandles_.end());
        return 0;
    });
}

int hostCore::dispatch(const std::string& name, WPARAM wParam, LPARAM lParam) {
    if (abi::ServiceFn fn = serviceFunction(name)) return fn(wParam, lParam);
    auto builtin = builtins_.find(name);
    return builtin == builtins_.end() ? 0 : builtin->second(wParam, lParam);
}

int hostCore::callPluginService(const std::string& name, WPARAM wParam, LPARAM lParam) {
    return dispatch(name, wParam, lParam);
}

abi::ServiceFn hostCore::serviceFunction(const std::string& name) {
    lockHeld held(lock_);
    for (const service& s : services_)
        if (s.name == name) return s.fn;
    return nullptr;
}

void hostCore::record(callRecord call) {
    lockHeld held(lock_);
    log.push_back(std::move(call));
}

bool hostCore::hasService(const std::string& name) const {
    lockHeld held(lock_);
    return std::any_of(services_.begin(), services_.end(), [&](const service& s) { return s.name == name; });
}

std::vector<std::string> hostCore::serviceNames() const {
    lockHeld held(lock_);
    std::vector<std::string> names;
    for (const service& s : services_) names.push_back(s.name);
    return names;
}

int hostCore::raiseEvent(const std::string& name, WPARAM wParam, LPARAM lParam) {
    int result = 0;
    std::vector<hook> current = hooks_;  // a hook may unhook itself
    for (const hook& h : current)
        if (h.event == name) result = h.fn(wParam, lParam);
    return result;
}

size_t hostCore::hookCount(const std::string& event) const {
    return std::count_if(hooks_.begin(), hooks_.end(), [&](const hook& h) { return h.event == event; });
}

int hostCore::raiseSoundEvent(int kind, const char* contactId) {
    abi::sound_subject subject = {};
    subject.contactId = contactId;
    abi::sound_event event = {};
    event.size = sizeof event;
    event.kind = kind;
    event.subject = &subject;
    return raiseEvent(abi::evtSoundBefore, reinterpret_cast<WPARAM>(&event), 0);
}

int hostCore::raiseSoundEventWithoutSubject(int kind) {
    abi::sound_event event = {};
    event.size = sizeof event;
    event.kind = kind;
    return raiseEvent(abi::evtSoundBefore, reinterpret_cast<WPARAM>(&event), 0);
}

int hostCore::raiseProtocolEvent(const char* protocol, int kind, void* data) {
    abi::protocol_event event = {};
    event.size = sizeof event;
    event.protocol = protocol;
    event.kind = kind;
    std::vector<protocolHook> current = protocolHooks_;
    int result = 0;
    for (const protocolHook& h : current)
        if (protocol && h.protocol == protocol) result = h.callback(&event, data);
    return result;
}

size_t hostCore::protocolHookCount(const std::string& protocol) const {
    return std::count_if(protocolHooks_.begin(), protocolHooks_.end(),
                         [&](const protocolHook& h) { return h.protocol == protocol; });
}

menuItem* hostCore::findMenuItem(const std::string& itemName) {
    for (menuItem& item : menuItems_)
        if (item.itemName == itemName) return &item;
    return nullptr;
}

bool hostCore::routeDialogMessage(MSG& message) {
    std::vector<HWND> dialogs = dialogHandles_;
    for (HWND dialog : dialogs)
        if (IsWindow(dialog) && IsDialogMessageA(dialog, &message)) return true;
    return false;
}

std::vector<std::string> hostCore::logNames() const {
    std::vector<std::string> names;
    for (const callRecord& r : log) names.push_back(r.name.empty() ? r.what : r.what + " " + r.name);
    return names;
}

void hostCore::reset() {
    lockHeld held(lock_);
    services_.clear();
    hooks_.clear();
    nextHookHandle_.reset();
    protocolHooks_.clear();
    menuItems_.clear();
    menuCallbacks_.clear();
    optionsPages_.clear();
    dialogHandles_.clear();
    chatRequests_.clear();
    log.clear();
}

HWND hostCore::mainWindow() {
    if (mainWindow_ && IsWindow(mainWindow_)) return mainWindow_;
    if (!oleInitialised_) oleInitialised_ = SUCCEEDED(OleInitialize(nullptr));
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "kivhost_main";
    RegisterClassA(&windowClass);
    mainWindow_ = CreateWindowExA(0, "kivhost_main", "kivhost", WS_OVERLAPPEDWINDOW, 40, 40, 320, 480, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ShowWindow(mainWindow_, SW_SHOW);
    SetForegroundWindow(mainWindow_);
    return mainWindow_;
}

// ---- the slot functions --------------------------------------------------------------------

int __cdecl hostCore::createService(HINSTANCE, const char* name, abi::ServiceFn fn) {
    hostCore& core = get();
    core.record({"createService", text(name), 0, 0});
    if (!name || !fn) return 0;
    lockHeld held(core.lock_);
    core.services_.push_back({core.nextHandle_++, name, fn});
    return core.services_.back().handle;
}

int __cdecl hostCore::destroyService(HINSTANCE, int handle) {
    hostCore& core = get();
    lockHeld held(core.lock_);
    std::string name;
    for (const service& s : core.services_)
        if (s.handle == handle) name = s.name;
    core.log.push_back({"destroyService", name, static_cast<WPARAM>(handle), 0});
    core.services_.erase(std::remove_if(core.services_.begin(), core.services_.end(),
                                        [handle](const service& s) { return s.handle == handle; }),
                         core.services_.end());
    return 0;
}

int __cdecl hostCore::callService(HINSTANCE, const char* name, WPARAM wParam, LPARAM lParam) {
    hostCore& core = get();
    core.record({text(name), "", wParam, lParam});
    return name ? core.dispatch(name, wParam, lParam) : 0;
}

int __cdecl hostCore::hookEvent(HINSTANCE, const char* name, abi::ServiceFn fn) {
    hostCore& core = get();
    core.record({"hookEvent", text(name), 0, 0});
    if (!name || !fn) return 0;
    core.hooks_.push_back({core.nextHookHandle_ ? *core.nextHookHandle_ : core.nextHandle_++, name, fn});
    core.nextHookHandle_.reset();
    return core.hooks_.back().handle;
}

int __cdecl hostCore::unhookEvent(HINSTANCE, int handle) {
    hostCore& core = get();
    std::string name;
    for (const hook& h : core.hooks_)
        if (h.handle == handle) name = h.event;
    core.record({"unhookEvent", name, static_cast<WPARAM>(handle), 0});
    core.hooks_.erase(std::remove_if(core.hooks_.begin(), core.hooks_.end(),
                                     [handle](const hook& h) { return h.handle == handle; }),
                      core.hooks_.end());
    return 0;
}

int __cdecl hostCore::unusedSlot() {
    get().record({"unusedSlot", "", 0, 0});
    return 0;
}

void* __cdecl hostCore::profileFunction(int, int) {
    hostCore& core = get();
    return core.profileFolder_.empty() ? nullptr : &core.profile_;
}

int __cdecl hostCore::showMenuItem(void* visibleItems, const char* itemName) {
    auto* items = static_cast<abi::menu_visible_items*>(visibleItems);
    if (!items || !items->host || !itemName) return 0;
    static_cast<visibleList*>(items->host)->names.push_back(itemName);
    return 1;
}

void pumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (hostCore::get().routeDialogMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

bool pumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds) return false;
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    return true;
}

size_t pumpCountingTimers(DWORD milliseconds) {
    size_t timers = 0;
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (timerRecorder::get().fromModule(message)) ++timers;
            if (hostCore::get().routeDialogMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
    return timers;
}

bool pumpUntilWithoutTimers(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds) return false;
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_TIMER) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

}  // namespace kivhost
