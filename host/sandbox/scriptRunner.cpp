#include "scriptRunner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "contactStatus.h"
#include "highContrast.h"
#include "hotKeyRecorder.h"
#include "paintRecorder.h"
#include "popupMenus.h"
#include "programsTheme.h"
#include "recorders.h"
#include "sandboxWindow.h"
#include "textCodec.h"
#include "windowProbe.h"

namespace kivhost {

namespace {

constexpr DWORD gap = 20;             // between two commands, so posted messages are handled
constexpr DWORD patience = 3000;      // how long an expectation waits for what it expects
constexpr const char* notifyClass = "kiv_notify_window";
constexpr DWORD framePeriod = 40;     // a frame of a recording: two animation steps, 25 a second

// What a frame shows of the notifications: where each is and how opaque.
std::vector<LONG> notificationsSeen() {
    std::vector<LONG> seen;
    for (HWND window : findWindows(notifyClass)) {
        RECT r = windowRect(window);
        BYTE alpha = 255;
        layeredAlpha(window, alpha);
        seen.insert(seen.end(), {r.left, r.top, r.right, r.bottom, alpha});
    }
    return seen;
}

// Every window painted before its picture: a window that slid into view shows its skin, not the
// black of a part not yet drawn.
void paintEverything() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
        DispatchMessageA(&message);
    for (HWND window : findWindows(notifyClass)) UpdateWindow(window);
    GdiFlush();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_PAINT);  // hands what was drawn to the screen
}

// Notification windows from the top of the screen down, left to right within a row.
std::vector<HWND> notificationsInOrder() {
    std::vector<HWND> windows = findWindows(notifyClass);
    std::sort(windows.begin(), windows.end(), [](HWND a, HWND b) {
        RECT ra = windowRect(a), rb = windowRect(b);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return windows;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "'" : ", '") + item + "'";
    return text.empty() ? "nothing" : text;
}

struct keyName {
    const char* name;
    WORD key;
};
const keyName keys[] = {{"esc", VK_ESCAPE}, {"enter", VK_RETURN}, {"tab", VK_TAB},   {"space", VK_SPACE},
                        {"up", VK_UP},      {"down", VK_DOWN},    {"left", VK_LEFT}, {"right", VK_RIGHT},
                        {"home", VK_HOME},  {"end", VK_END}};

struct buttonSearch {
    std::string caption;
    HWND found = nullptr;
    std::vector<std::string> seen;
};

BOOL CALLBACK findButton(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<buttonSearch*>(data);
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0 || !IsWindowVisible(child)) return TRUE;
    char text[256] = "";
    GetWindowTextA(child, text, sizeof text);
    std::string caption = text;
    caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
    search->seen.push_back(caption);
    if (caption == search->caption) search->found = child;
    return search->found ? FALSE : TRUE;
}

HWND activeWindow() {
    HWND active = GetActiveWindow();
    return active ? active : hostCore::get().mainWindow();
}

}  // namespace

scriptRunner* scriptRunner::active_ = nullptr;

scriptRunner::scriptRunner(sandbox& box, screenGrab& grab, std::vector<scriptCommand> commands, std::string fileName)
    : box_(box), grab_(grab), commands_(std::move(commands)), fileName_(std::move(fileName)),
      soundsSeen_(soundRecorder::get().played.size()) {}

// The system's modes as the script found them.
scriptRunner::~scriptRunner() {
    highContrast::get().clear();
    if (timer_) KillTimer(nullptr, timer_);
    if (active_ == this) active_ = nullptr;
}

void scriptRunner::start(bool stay, bool pictures) {
    stay_ = stay;
    pictures_ = pictures;
    active_ = this;
    schedule(gap);
}

void scriptRunner::schedule(DWORD milliseconds) {
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = SetTimer(nullptr, 0, milliseconds, &scriptRunner::onTimer);
}

void CALLBACK scriptRunner::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (active_) active_->step();
}

// One command per tick. For a menu choice the next tick is set before it runs, so that a dialog it
// opens runs the following commands from its own loop.
void scriptRunner::step() {
    if (finished_) return;
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (next_ >= commands_.size()) {
        if (modalDepth_ > 0)
            finish(fileName_ + ":" + std::to_string(modalLine_) +
                   ": expected the dialog this command opened to be closed (button or key) before the script ends");
        else
            finish("");
        return;
    }
    const scriptCommand command = commands_[next_++];
    if (command.name == "wait") {
        const DWORD milliseconds = static_cast<DWORD>(atoi(command.args[0].c_str()));
        std::string message;
        if (grab_.recording() && !recordedWait(milliseconds, message)) {
            finish(fileName_ + ":" + std::to_string(command.line) + ": " + message);
            return;
        }
        schedule(grab_.recording() ? gap : milliseconds);
        return;
    }
    // Only a menu choice and a right click (the notification's own menu) may sit in a dialog's or
    // menu's loop; other commands that wait for something pump messages themselves, and the next
    // command must not start inside them.
    bool mayOpenDialog = command.name == "menu" || (command.name == "click" && command.args.size() == 2 &&
                                                    command.args[1] == "right");
    if (mayOpenDialog) schedule(gap);
    std::string message;
    if (!execute(command, message)) {
        if (!finished_) finish(fileName_ + ":" + std::to_string(command.line) + ": " + message);
        return;
    }
    if (!mayOpenDialog && !finished_) schedule(gap);
}

// While a recording runs, time passes in frames: the windows animate for one frame's time, are
// painted, and are photographed while the module's clock stands still, so the animation is seen
// at its own speed however long a picture takes.
bool scriptRunner::recordedWait(DWORD milliseconds, std::string& message) {
    moduleClock& clock = moduleClock::get();
    DWORD now = clock.now();
    std::vector<LONG> previous = notificationsSeen();
    for (DWORD elapsed = 0; elapsed < milliseconds; elapsed += framePeriod) {
        clock.freeze(now += framePeriod);
        pumpMessages(framePeriod);
        paintEverything();
        std::vector<LONG> seen = notificationsSeen();
        if (!grab_.frame(framePeriod / 10, seen != previous, message)) return false;
        previous = seen;
    }
    return true;
}

void scriptRunner::finish(const std::string& error) {
    if (finished_) return;
    finished_ = true;
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    error_ = error;
    if (!error.empty()) {
        std::string line = toUtf8(error) + "\n";
        fputs(line.c_str(), stderr);
        fflush(stderr);
        PostQuitMessage(1);
        return;
    }
    box_.note("scenariusz " + fileName_ + " zakończony (" + std::to_string(commands_.size()) + " poleceń)");
    if (!stay_) PostQuitMessage(0);
}

std::string scriptRunner::path(const std::string& name) const {
    std::string windowsPath = name;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    return windowsPath;
}

bool scriptRunner::area(const std::vector<std::string>& args, size_t first, RECT& result,
                        std::string& message) const {
    std::string kind = args.size() > first ? args[first] : "screen";
    if (args.size() == first + 4) {
        int x = atoi(args[first].c_str()), y = atoi(args[first + 1].c_str());
        result = {x, y, x + atoi(args[first + 2].c_str()), y + atoi(args[first + 3].c_str())};
    } else if (kind == "screen") {
        result = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else if (kind == "window") {
        result = windowRect(activeWindow());
    } else {
        result = areaOfWindows(notifyClass);
        if (IsRectEmpty(&result)) {
            message = "expected notification windows on the screen for the picture";
            return false;
        }
        InflateRect(&result, 8, 8);
    }
    return true;
}

bool scriptRunner::menu(const std::vector<std::string>& args, std::string& message) {
    const std::string& which = args[0];
    const char* menuName = which == "contact" ? abi::menuContact : which == "group" ? abi::menuGroup : abi::menuStatus;
    menuSelection selection;
    for (size_t i = 2; i < args.size(); ++i) {
        if (which == "contact") {
            const contactRecord* contact = box_.book().find(args[i]);
            if (!contact) {
                message = "expected a contact on the list, not '" + args[i] + "'";
                return false;
            }
            selection.push_back({contact->id, contact->protocol});
        } else {
            if (!box_.book().groupHandle(args[i])) {
                message = "expected a group on the list, not '" + args[i] + "'";
                return false;
            }
            selection.push_back({args[i], ""});
        }
    }
    std::string itemName;
    std::vector<std::string> registered;
    for (const menuItem& item : hostCore::get().menuItems()) {
        if (item.menu != menuName) continue;
        registered.push_back(item.caption);
        if (item.itemName == args[1] || item.caption == args[1]) itemName = item.itemName;
    }
    if (itemName.empty()) {
        message = "expected a menu item named or captioned '" + args[1] + "' in " + menuName + "; it has " +
                  joined(registered);
        return false;
    }
    ++modalDepth_;
    bool chosen = choose(menuName, selection, itemName);
    --modalDepth_;
    if (!chosen) {
        std::vector<std::string> offered;
        for (const std::string& name : visibleItems(menuName, selection))
            if (const menuItem* item = hostCore::get().findMenuItem(name)) offered.push_back(item->caption);
        message = "expected '" + args[1] + "' to be offered for this selection; the menu offers " + joined(offered);
    }
    return chosen;
}

bool scriptRunner::callService(const std::string& name, int wParam, std::string& message) {
    hostCore& host = hostCore::get();
    if (!host.hasService(name)) {
        message = "expected a service named '" + name + "'; the plug-ins offer " + joined(host.serviceNames());
        return false;
    }
    const int answer = host.callPluginService(name, static_cast<WPARAM>(wParam), 0);
    if (answer == -1) {
        message = "expected " + name + " to do what it was asked; it answered -1 (refused)";
        return false;
    }
    box_.note("usługa " + name + ": " + std::to_string(answer));
    return true;
}

bool scriptRunner::expectation(const std::vector<std::string>& args, std::string& message) {
    const std::string& what = args[0];
    const std::string& value = args[1];
    if (what == "windows") {
        size_t wanted = static_cast<size_t>(atoi(value.c_str()));
        if (pumpUntil([&] { return findWindows(notifyClass).size() == wanted; }, patience)) return true;
        message = "expected " + value + " notification windows, found " + std::to_string(findWindows(notifyClass).size());
        char section[8] = "";
        if (!GetPrivateProfileSectionA("global", section, sizeof section, (box_.profile() + "kiv.filters.config").c_str()))
            message += " (the profile's kiv.filters.config has no [global] section, and the plug-in shows nothing until "
                       "the global filter is set: 'set filters global ...' before 'load', or the options page's "
                       "\"Filtry globalne\")";
        return false;
    }
    if (what == "text") {
        std::vector<std::string> shown;
        auto showing = [&] {
            shown.clear();
            for (HWND window : notificationsInOrder())
                for (const std::string& text : paintRecorder::get().latest(window).texts) shown.push_back(text);
            return std::any_of(shown.begin(), shown.end(),
                               [&](const std::string& text) { return text.find(value) != std::string::npos; });
        };
        if (pumpUntil(showing, patience)) return true;
        message = "expected a notification showing '" + value + "'; the notifications show " + joined(shown);
        return false;
    }
    if (what == "sound") {
        const auto& played = soundRecorder::get().played;
        auto newFiles = [&] {
            std::vector<std::string> files;
            for (size_t i = soundsSeen_; i < played.size(); ++i) files.push_back(played[i].file);
            return files;
        };
        bool ok;
        if (value == "none") {
            pumpMessages(200);
            ok = played.size() == soundsSeen_;
        } else {
            ok = pumpUntil(
                [&] {
                    auto files = newFiles();
                    return std::any_of(files.begin(), files.end(),
                                       [&](const std::string& file) { return endsWithNoCase(file, value); });
                },
                patience);
        }
        if (!ok)
            message = "expected " + (value == "none" ? std::string("no sound") : "the sound " + value) +
                      " since the last 'expect sound'; the plug-in played " + joined(newFiles());
        soundsSeen_ = played.size();
        return ok;
    }
    if (what == "chat") {
        if (pumpUntil([&] { return box_.chats().isOpen(value); }, patience)) return true;
        message = "expected a chat window with " + value;
        return false;
    }
    const contactRecord* contact = box_.book().find(value);
    int wanted = parseStatus(args[2]);
    if (contact && contact->status == wanted) return true;
    message = contact ? "expected " + value + " to be " + statusName(wanted) + ", not " + statusName(contact->status)
                      : "expected a contact on the list, not '" + value + "'";
    return false;
}

bool scriptRunner::execute(const scriptCommand& command, std::string& message) {
    const std::string& name = command.name;
    const auto& args = command.args;
    auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::string(); };
    contactEvents& events = box_.events();
    std::string report;
    auto reported = [&](bool done) {
        if (done) box_.note(report);
        else message = report;
        return done;
    };
    bool needsPlugin = name == "status" || name == "message" || name == "chat" || name == "file" || name == "voice" ||
                       name == "email" || name == "login" || name == "click" || name == "menu" || name == "options" ||
                       name == "plugin" || name == "service";
    if (needsPlugin && !box_.pluginRunning()) {
        message = "expected the plug-in to be loaded: 'load' comes before '" + name + "'";
        return false;
    }
    bool aboutContact = name == "status" || name == "message" || name == "chat" || name == "file" || name == "voice";
    if (aboutContact && !box_.book().find(arg(0))) {
        message = "expected a contact on the list, not '" + arg(0) + "'";
        return false;
    }
    if ((name == "load" || name == "unload" || name == "contacts") && modalDepth_ > 0) {
        message = "expected the dialog to be closed before '" + name + "'";
        return false;
    }
    if (name == "contacts") return box_.loadContacts(path(arg(0)), message);
    // The plug-in writes both files back when it unloads, so the keys go in between.
    if (name == "set") {
        pendingSettings_.push_back({box_.profile() + (arg(0) == "config" ? "kiv.config" : "kiv.filters.config"),
                                    arg(1), arg(2), arg(3)});
        return true;
    }
    if (name == "load") {
        box_.unloadPlugin();
        for (const settingWrite& write : pendingSettings_)
            WritePrivateProfileStringA(write.section.c_str(), write.key.c_str(), write.value.c_str(),
                                       write.file.c_str());
        pendingSettings_.clear();
        return box_.loadPlugin(message);
    }
    if (name == "unload") {
        box_.unloadPlugin();
        return true;
    }
    if (name == "plugin") return box_.loadOther(arg(0), message);
    if (name == "service") return callService(arg(0), atoi(arg(1).c_str()), message);
    if (name == "status") {
        bool done = events.changeStatus(arg(0), parseStatus(arg(1)), arg(2), report);
        box_.window().refreshContact(arg(0));
        return reported(done);
    }
    if (name == "message") return reported(events.message(arg(0), arg(1), report));
    if (name == "chat") return reported(events.chatMessage(arg(0), arg(1), report));
    if (name == "file") return reported(events.fileOffer(arg(0), report));
    if (name == "voice") return reported(events.voiceCall(arg(0), report));
    if (name == "email") return reported(events.emailNotice(args.empty() ? "poczta@tlen.pl" : arg(0), report));
    if (name == "login") return reported(events.login(arg(0), report));
    if (name == "wait") {
        pumpMessages(static_cast<DWORD>(atoi(arg(0).c_str())));
        return true;
    }
    if (name == "click") {
        std::vector<HWND> shown = notificationsInOrder();
        size_t index = static_cast<size_t>(atoi(arg(0).c_str()));
        if (index > shown.size()) {
            message = "expected at least " + arg(0) + " notification windows, found " + std::to_string(shown.size());
            return false;
        }
        RECT placed = windowRect(shown[index - 1]);
        LPARAM centre = MAKELPARAM((placed.right - placed.left) / 2, (placed.bottom - placed.top) / 2);
        bool right = arg(1) == "right";
        SetCursorPos((placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2);  // as a person's click
        PostMessageA(shown[index - 1], right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 0, centre);
        PostMessageA(shown[index - 1], right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, centre);
        modalLine_ = command.line;
        if (right) ++modalDepth_;  // a menu it opens runs the next commands from its loop
        pumpMessages(100);
        if (right) --modalDepth_;
        return true;
    }
    if (name == "menu") {
        modalLine_ = command.line;
        return menu(args, message);
    }
    if (name == "key") {
        HWND target = GetFocus() ? GetFocus() : activeWindow();
        WORD key = 0;
        for (const keyName& known : keys)
            if (arg(0) == known.name) key = known.key;
        if (!key && arg(0).size() == 1) key = static_cast<WORD>(VkKeyScanA(arg(0)[0]) & 0xFF);
        if (!key) {
            message = "expected a key name (esc, enter, tab, space, arrows, home, end) or one character";
            return false;
        }
        PostMessageA(target, WM_KEYDOWN, key, 1);
        if (arg(0).size() == 1) PostMessageA(target, WM_CHAR, static_cast<unsigned char>(arg(0)[0]), 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        return true;
    }
    if (name == "hotkey") {
        unsigned modifiers = 0, key = 0;
        parseHotKey(arg(0), modifiers, key);
        if (hotKeyRecorder::get().press(modifiers, key)) return true;
        std::vector<std::string> held;
        for (const hotKeyRecorder::heldKey& k : hotKeyRecorder::get().held())
            held.push_back(describe({true, k.window, k.id, k.modifiers, k.key, true, 0}).substr(strlen("RegisterHotKey ")));
        message = "expected a key the plug-in holds ([extra] hotkeyclose or hotkeyhistory, read at load), not '" +
                  arg(0) + "'; it holds " + joined(held);
        return false;
    }
    if (name == "highcontrast") {
        if (arg(0) == "on")
            highContrast::get().set(highContrast::blackScheme());
        else
            highContrast::get().clear();
        return true;
    }
    if (name == "theme") {
        if (!theme_) theme_ = std::make_unique<programsTheme>();
        if (arg(0) == "none")
            theme_->remove();
        else
            theme_->set(arg(0) == "dark");
        return true;
    }
    if (name == "button") {
        buttonSearch search;
        search.caption = arg(0);
        HWND window = activeWindow();
        EnumChildWindows(window, findButton, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            char caption[256] = "";
            GetWindowTextA(window, caption, sizeof caption);
            message = "expected a button '" + arg(0) + "' in the window '" + caption + "'; it has " + joined(search.seen);
            return false;
        }
        SendMessageA(search.found, BM_CLICK, 0, 0);
        return true;
    }
    if (name == "options") {
        if (arg(0) == "open") {
            box_.openOptions();
            return true;
        }
        optionsWindow* open = box_.options();
        if (!open) {
            message = "expected the options window to be open ('options open')";
            return false;
        }
        if (arg(0) == "apply")
            open->apply();
        else
            box_.closeOptions(arg(0) == "ok");
        return true;
    }
    if (name == "open-chat") {
        if (box_.chats().open(arg(0))) return true;
        message = "expected a contact on the list, not '" + arg(0) + "'";
        return false;
    }
    if (name == "close-chat") {
        box_.chats().close(arg(0));
        SetForegroundWindow(box_.window().handle());
        return true;
    }
    if ((name == "screenshot" || name == "record") && !pictures_) return true;
    if (name == "screenshot" || (name == "record" && !(arg(0) == "stop" && args.size() == 1))) {
        RECT picture;
        if (!area(args, 1, picture, message)) return false;
        std::string target = path(arg(0));
        std::string folder = target.substr(0, target.find_last_of('\\') == std::string::npos ? 0 : target.find_last_of('\\'));
        if (!folder.empty() && !fileExists(folder)) {
            message = "expected an existing folder for '" + arg(0) + "': '" + folder +
                      "' does not exist (kivhost makes no folders; make it first)";
            return false;
        }
        // The notifications alone: the sandbox steps aside for their picture.
        const bool alone = name == "screenshot" && arg(1) == "notifications";
        HWND sandboxWindow = box_.window().handle();
        if (alone) {
            ShowWindow(sandboxWindow, SW_HIDE);
            pumpMessages(200);
        }
        bool done = name == "screenshot" ? grab_.picture(picture, path(arg(0)), message)
                                         : grab_.startRecording(picture, path(arg(0)), message);
        if (alone) {
            ShowWindow(sandboxWindow, SW_SHOW);
            SetForegroundWindow(sandboxWindow);
        }
        // A recording's time is its frames': the module's clock moves only in its waits, not
        // while the commands between them run, however slow the machine is.
        if (done && name == "record") moduleClock::get().freeze(moduleClock::get().now());
        if (done) box_.note((name == "screenshot" ? "zdjęcie: " : "nagrywanie: ") + arg(0));
        return done;
    }
    if (name == "record") {
        moduleClock::get().carryOn();  // the recording held the clock; it goes on from where it left it
        return grab_.stopRecording(message);
    }
    if (name == "expect") return expectation(args, message);
    if (name == "echo") {
        box_.note(arg(0));
        return true;
    }
    message = "expected a command the runner knows, not '" + name + "'";
    return false;
}

}  // namespace kivhost
