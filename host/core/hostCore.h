// kivhost's implementation of the messenger's plug-in interface: the function table, named
// services and events, the profile, protocol hooks, menus, options pages and chat windows, with a
// log of every call a plug-in makes. One host per process, as in the messenger.
//
// Host-side choices (the interface leaves them to the host):
// - service, hook, menu-item and protocol-hook handles are small positive integers, never reused;
// - a service name that no plug-in created and the host does not offer answers 0 and is logged;
// - hookEvent on an event nobody raises is accepted; events call their hooks in hook order and
//   the last hook's result is the event's result (0 when none);
// - Tlen/ChangeMenuItem with flag 0x20000000 sets or clears the item's check mark (2) as the request
//   says; the item's other flags stay, so a check item (8) stays one;
// - the profile record holds the login at offset 4 and the folder at offset 12, nothing else;
// - the function table may be called from any thread: services are looked up under a lock and
//   called outside it, on the caller's thread;
// - the user-interface thread, the one that makes the main window, has OLE initialised for the
//   process's life, as the messenger's has: a screen reader's WM_GETOBJECT to a plug-in's window
//   is answered through COM marshalling, which fails on a thread without COM (Wine's IME support
//   happens to initialise COM on every thread that makes a window; Windows' does not promise it).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contactList.h"
#include "criticalSection.h"
#include "kiv/host_abi.h"

namespace kivhost {

namespace abi = kiv::abi;

struct callRecord {
    std::string what;  // slot name ("createService", ...) or the service name for callService
    std::string name;  // the name argument of slot calls, else empty
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD thread = GetCurrentThreadId();  // who called
};

struct menuItem {
    int handle = 0;
    std::string itemName, parentName, menu, caption;
    int flags = 0;
    int position = 0;
    abi::MenuItemCallbackFn callback = nullptr;
    HINSTANCE module = nullptr;
    int itemData = 0;
    abi::menu_item_info record() const;  // with pointers into this item
};

struct chatRequest {
    std::string contactId, protocol, title;
    abi::status_entry status = {};
    int network = 0;
};

struct optionsPage {
    std::string pageName, group;
    int kind = 0;
    HBITMAP iconSmall = nullptr;
    abi::OptionsPageCallbackFn callback = nullptr;
    HINSTANCE module = nullptr;
};

class hostCore {
public:
    static hostCore& get();

    void* const* serviceTable() const { return table_; }

    // Profile handed out through host function 0x20001.
    void setProfile(const std::string& login, const std::string& folder);

    // Services and events.
    using builtinFn = std::function<int(WPARAM, LPARAM)>;
    // Answers the service with fn from now on; returns what answered it before (empty: nothing).
    builtinFn offer(const std::string& name, builtinFn fn);
    int callPluginService(const std::string& name, WPARAM wParam, LPARAM lParam);
    bool hasService(const std::string& name) const;
    std::vector<std::string> serviceNames() const;
    int raiseEvent(const std::string& name, WPARAM wParam, LPARAM lParam);
    size_t hookCount(const std::string& event) const;
    // The handle the next hookEvent hands out (a host may give any number, 0 too).
    void nextHookHandle(int handle) { nextHookHandle_ = handle; }

    // Tlen/SoundEngine/BeforeEvent as the messenger raises it before one of its sounds: the
    // subject names the contact (its identifier at offset 4). The result is the hooks' answer,
    // 0 to play the host's own sound, -1 to stay silent.
    int raiseSoundEvent(int kind, const char* contactId);
    int raiseSoundEventWithoutSubject(int kind);

    // Protocol events, delivered to the hooks of that protocol.
    int raiseProtocolEvent(const char* protocol, int kind, void* data);
    size_t protocolHookCount(const std::string& protocol) const;

    // What plug-ins registered.
    std::vector<menuItem>& menuItems() { return menuItems_; }
    menuItem* findMenuItem(const std::string& itemName);
    std::vector<std::pair<std::string, abi::MenuCallbackFn>>& menuCallbacks() { return menuCallbacks_; }
    std::vector<optionsPage>& optionsPages() { return optionsPages_; }
    std::vector<HWND>& dialogHandles() { return dialogHandles_; }
    // Keyboard navigation of the dialogs plug-ins handed over (Tab, arrows, mnemonics).
    bool routeDialogMessage(MSG& message);
    std::vector<chatRequest>& chatRequests() { return chatRequests_; }

    // Every call a plug-in made, in order. Plug-ins may call from any thread; read it once they
    // are done.
    std::vector<callRecord> log;
    // The plug-in function behind a service name, null when none: for calls that race an unload.
    abi::ServiceFn serviceFunction(const std::string& name);
    std::vector<std::string> logNames() const;  // "what" or "what name"

    contactList contacts;

    // Forget everything plug-ins registered (between tests; plug-ins must be unloaded).
    void reset();

    // The host's own window, kept in front as the messenger's contact list would be.
    HWND mainWindow();

    // Host function 0x1002: the list a menu callback fills for one opening.
    struct visibleList {
        std::vector<std::string> names;
    };

private:
    hostCore();
    int dispatch(const std::string& name, WPARAM wParam, LPARAM lParam);
    void record(callRecord call);
    void offerBuiltins();

    static int __cdecl createService(HINSTANCE module, const char* name, abi::ServiceFn fn);
    static int __cdecl destroyService(HINSTANCE module, int handle);
    static int __cdecl callService(HINSTANCE module, const char* name, WPARAM wParam, LPARAM lParam);
    static int __cdecl hookEvent(HINSTANCE module, const char* name, abi::ServiceFn hook);
    static int __cdecl unhookEvent(HINSTANCE module, int handle);
    static int __cdecl unusedSlot();
    static void* __cdecl profileFunction(int, int);
    static int __cdecl showMenuItem(void* visibleItems, const char* itemName);

    struct service {
        int handle;
        std::string name;
        abi::ServiceFn fn;
    };
    struct hook {
        int handle;
        std::string event;
        abi::ServiceFn fn;
    };
    struct protocolHook {
        int handle;
        std::string protocol;
        abi::ProtocolCallbackFn callback;
    };

    void* table_[abi::hostSlotCount] = {};
    mutable criticalSection lock_;  // the log and the services
    int nextHandle_ = 1;
    std::optional<int> nextHookHandle_;
    std::vector<service> services_;
    std::vector<hook> hooks_;
    std::vector<protocolHook> protocolHooks_;
    std::map<std::string, builtinFn> builtins_;
    std::vector<menuItem> menuItems_;
    std::vector<std::pair<std::string, abi::MenuCallbackFn>> menuCallbacks_;
    std::vector<optionsPage> optionsPages_;
    std::vector<HWND> dialogHandles_;
    std::vector<chatRequest> chatRequests_;
    std::string login_, profileFolder_;
    abi::profile_info profile_ = {};
    HWND mainWindow_ = nullptr;
    bool oleInitialised_ = false;
};

// Runs this thread's message loop for the given time, so timers and posted messages are handled.
void pumpMessages(DWORD milliseconds);

// Runs it one message at a time until the condition holds (checked before and after each
// message) or the time is up; says whether the condition held. Lets a test stop right after the
// message that made something happen, before later timer messages change it again.
bool pumpUntil(const std::function<bool()>& condition, DWORD milliseconds);

// pumpMessages that says how many of the timer messages it dispatched were the plug-in's.
size_t pumpCountingTimers(DWORD milliseconds);

// pumpUntil on a thread that never gets to its timers: every WM_TIMER is taken off the queue and
// dropped, every other message is dispatched.
bool pumpUntilWithoutTimers(const std::function<bool()>& condition, DWORD milliseconds);

}  // namespace kivhost
