// kivhost as a person and a script use it: events raised on the sample contacts reach the built
// plug-in the way the messenger raises them, and the script runner reports what it did not find.
#include <doctest.h>

#include "dialogWatcher.h"
#include "notifySupport.h"
#include "paintRecorder.h"
#include "sandbox.h"
#include "sandboxWindow.h"
#include "screenGrab.h"
#include "scriptRunner.h"

using namespace kivtest;
using kivhost::scriptCommand;

namespace {

// The sandbox with the sample contacts, settings that show every window at once, and filters that
// give each sound a file of its own in the profile.
struct sandboxScene {
    std::string profile;
    std::unique_ptr<kivhost::sandbox> box;
    kivhost::screenGrab grab{""};

    explicit sandboxScene(const std::string& name, const std::string& windowKeys = "", const std::string& more = "")
        : profile(scratchFolder(name)) {
        writeFile(profile + "kiv.config", settingsWith("none.kivs", "visibletime=30\r\n" + windowKeys,
                                                      "[sound]\r\nfileemail=" + profile + "email.wav\r\n"
                                                      "filelogintlen=" + profile + "login.wav\r\n" + more));
        writeFile(profile + "kiv.filters.config",
                  "[global]\r\nwindow_onlineonly=0\r\nwindow_eventmessage=1\r\nwindow_eventmessagechat=1\r\n"
                  "window_status_offline=1\r\nsound_fileonline=" + profile + "online.wav\r\n"
                  "sound_fileoffline=" + profile + "offline.wav\r\nsound_filemessage=" + profile + "message.wav\r\n"
                  "sound_filemessagechatstart=" + profile + "chatstart.wav\r\nsound_filemessagechat=" + profile +
                  "chat.wav\r\nsound_filefile=" + profile + "file.wav\r\nsound_filevoice=" + profile + "voice.wav\r\n");
        writeFile(profile + "chatstart.wav", "RIFF");  // played, so the chat sound is not its stand-in
        box = std::make_unique<kivhost::sandbox>(kivhost::pluginLoader::defaultPath(), profile);
        std::string error;
        REQUIRE(box->loadPlugin(error));
        kivhost::moduleClock::get().advance(60000);  // past the log-in quiet period of a fresh system
        kivhost::soundRecorder::get().clear();
    }
    ~sandboxScene() {
        box.reset();
        kivhost::moduleClock::get().reset();
        kivhost::hostCore::get().contacts.clear();
    }

    std::vector<std::string> sounds() const {
        std::vector<std::string> names;
        for (const auto& played : kivhost::soundRecorder::get().played)
            names.push_back(played.file.substr(played.file.find_last_of('\\') + 1));
        return names;
    }

    // The texts and bitmaps the only notification window painted.
    kivhost::paintedWindow shown() const {
        REQUIRE(waitForCount(1));
        kivhost::pumpMessages(150);
        return kivhost::paintRecorder::get().latest(notifications()[0]);
    }

    // One command through the runner, as a script line would give it.
    bool run(kivhost::scriptRunner& runner, const std::string& line, std::string& message) {
        std::vector<scriptCommand> commands;
        std::string error;
        REQUIRE(kivhost::script::parse(line, "t", commands, error));
        return runner.execute(commands[0], message);
    }
};

bool has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

TEST_CASE("a status change shows on the list item and reaches the plug-in with the online sound") {
    sandboxScene scene("sandbox-status");
    std::string report;
    REQUIRE(scene.box->events().changeStatus("kuba@tlen.pl", 5, "zaraz będę", report));
    const auto* kuba = scene.box->book().find("kuba@tlen.pl");
    const auto* item = kivhost::hostCore::get().contacts.find(scene.box->book().itemHandle("kuba@tlen.pl"));
    CHECK(kuba->status == 5);
    CHECK(item->icons.index == 3);  // the TLEN icon of "Zaraz wracam"
    CHECK(std::string(item->item.description) == "zaraz będę");
    CHECK(report == "Kuba (kuba@tlen.pl): Niedostępny -> Zaraz wracam \"zaraz będę\"; dźwięk wtyczki: " +
                        scene.profile + "online.wav");
    auto painted = scene.shown();
    CHECK(has(painted.texts, "zaraz będę"));
    CHECK(scene.sounds() == std::vector<std::string>{"online.wav"});

    // Back offline: no online sound from the host, the plug-in's own offline sound.
    kivhost::soundRecorder::get().clear();
    REQUIRE(scene.box->events().changeStatus("kuba@tlen.pl", 1, "", report));
    CHECK(scene.sounds() == std::vector<std::string>{"offline.wav"});
    CHECK(item->icons.index == 7);
    CHECK(item->item.description == nullptr);
}

TEST_CASE("messages: a window with the text, the message sound, and chat sounds that start then go on") {
    sandboxScene scene("sandbox-messages");
    std::string report;
    REQUIRE(scene.box->events().message("ala@tlen.pl", "Idziesz na kawę?", report));
    auto painted = scene.shown();
    CHECK(has(painted.texts, "Idziesz na kawę?"));
    CHECK(has(painted.bitmaps, "message"));
    CHECK(scene.sounds() == std::vector<std::string>{"message.wav"});

    REQUIRE(scene.box->loadPlugin(report));  // a fresh start without the window
    kivhost::moduleClock::get().advance(60000);
    kivhost::soundRecorder::get().clear();
    REQUIRE(scene.box->events().chatMessage("5123456", "gramy?", report));
    CHECK(report.rfind("nowa rozmowa z Ola (5123456)", 0) == 0);
    CHECK(has(scene.shown().bitmaps, "chatmessage"));
    REQUIRE(scene.box->events().chatMessage("5123456", "o 20?", report));
    CHECK(report.rfind("rozmowa z Ola", 0) == 0);
    CHECK(scene.sounds() == std::vector<std::string>{"chatstart.wav", "chat.wav"});
}

TEST_CASE("a file, a voice call and an e-mail make sounds without windows; a log-in quiets its protocol") {
    sandboxScene scene("sandbox-sounds");
    std::string report;
    REQUIRE(scene.box->events().fileOffer("ala@tlen.pl", report));
    REQUIRE(scene.box->events().voiceCall("5123456", report));
    REQUIRE(scene.box->events().emailNotice("poczta@tlen.pl", report));
    CHECK(scene.sounds() == std::vector<std::string>{"file.wav", "voice.wav", "email.wav"});
    kivhost::pumpMessages(250);
    CHECK(notifications().empty());

    kivhost::soundRecorder::get().clear();
    REQUIRE(scene.box->events().login("TLEN", report));
    CHECK(scene.sounds() == std::vector<std::string>{"login.wav"});
    REQUIRE(scene.box->events().changeStatus("anna.nowak@tlen.pl", 5, "", report));
    REQUIRE(scene.box->events().changeStatus("3332211", 5, "", report));  // GG did not log in
    REQUIRE(waitForCount(1));
    kivhost::pumpMessages(250);
    CHECK(notifications().size() == 1);
    CHECK_FALSE(scene.box->events().login("ICQ", report));
    CHECK_FALSE(scene.box->events().message("nobody", "x", report));
    CHECK(report == "nie ma kontaktu nobody na liście");
}

TEST_CASE("the runner says what it expected and did not find") {
    sandboxScene scene("sandbox-runner");
    kivhost::scriptRunner runner(*scene.box, scene.grab, {}, "t");
    std::string message;
    CHECK_FALSE(scene.run(runner, "status nobody 2", message));
    CHECK(message == "expected a contact on the list, not 'nobody'");
    REQUIRE(scene.run(runner, "message ala@tlen.pl Cześć", message));
    CHECK(scene.run(runner, "expect windows 1", message));
    CHECK(scene.run(runner, "expect text Cześć", message));
    CHECK_FALSE(scene.run(runner, "expect text Dzień dobry", message));
    CHECK(message == "expected a notification showing 'Dzień dobry'; the notifications show 'Ala (ala@tlen.pl)', 'Cześć'");
    CHECK(scene.run(runner, "expect sound message.wav", message));
    CHECK_FALSE(scene.run(runner, "expect sound message.wav", message));  // each sound is expected once
    CHECK(message == "expected the sound message.wav since the last 'expect sound'; the plug-in played nothing");
    CHECK_FALSE(scene.run(runner, "click 3", message));
    CHECK(message == "expected at least 3 notification windows, found 1");
    CHECK_FALSE(scene.run(runner, "menu contact \"przywróć domyślne\" ala@tlen.pl", message));
    CHECK(message == "expected 'przywróć domyślne' to be offered for this selection; the menu offers 'kiv', "
                     "'ustawienia...', 'ignoruj'");
    CHECK_FALSE(scene.run(runner, "menu group ustawienia... Sąsiedzi", message));
    CHECK(message == "expected a group on the list, not 'Sąsiedzi'");
    CHECK_FALSE(scene.run(runner, "options apply", message));
    CHECK(message == "expected the options window to be open ('options open')");
    CHECK_FALSE(scene.run(runner, "screenshot a.png", message));
    CHECK(message.rfind("expected a .bmp file", 0) == 0);

    // Another plug-in beside kiv, and its services called as the messenger calls them.
    struct step {
        const char* line;
        bool done;
        const char* said;  // how the message starts when it is not done
    };
    const step steps[] = {
        {"plugin nosuch.tpl", false, "cannot load "},
        {"service popupExample/show", false,
         "expected a service named 'popupExample/show'; the plug-ins offer 'kiv/getsilent', "},
        {"plugin kiv.tpl", false, "expected a plug-in not loaded yet, not 'kiv.tpl'"},
        {"plugin popupExample.tpl", true, ""},
        {"plugin popupExample.tpl", false, "expected a plug-in not loaded yet"},
        {"service popupExample/show", true, ""},
        {"expect windows 2", true, ""},
        {"service kiv/setsilent 1", true, ""},
        {"service popupExample/show", false,
         "expected popupExample/show to do what it was asked; it answered -1 (refused)"},
        {"service kiv/setsilent 0", true, ""},
        {"service popupExample/download/start", true, ""},
        {"expect text 4,2 MB z przyklad.pl", true, ""},
    };
    for (const step& s : steps) {
        INFO(std::string(s.line));
        CHECK(scene.run(runner, s.line, message) == s.done);
        if (!s.done) CHECK(message.rfind(s.said, 0) == 0);
    }

    CHECK(scene.run(runner, "unload", message));
    CHECK_FALSE(scene.run(runner, "file ala@tlen.pl", message));
    CHECK(message == "expected the plug-in to be loaded: 'load' comes before 'file'");
    REQUIRE(scene.run(runner, "load", message));
    CHECK_FALSE(kivhost::hostCore::get().hasService("popupExample/show"));  // it went with kiv
}

TEST_CASE("a picture's missing folder, and no windows for want of a global filter, are said as such") {
    sandboxScene scene("sandbox-runner-help");
    kivhost::scriptRunner runner(*scene.box, scene.grab, {}, "t");
    std::string message;
    CHECK_FALSE(scene.run(runner, "screenshot nosuch/a.bmp", message));
    CHECK(message == "expected an existing folder for 'nosuch/a.bmp': 'nosuch' does not exist (kivhost makes no "
                     "folders; make it first)");

    REQUIRE(scene.run(runner, "message ala@tlen.pl Cześć", message));
    CHECK_FALSE(scene.run(runner, "expect windows 2", message));
    CHECK(message == "expected 2 notification windows, found 1");

    // The plug-in writes its filters back when it unloads; a file without [global] replaces them.
    REQUIRE(scene.run(runner, "unload", message));
    writeFile(scene.profile + "kiv.filters.config", "[contact:ala@tlen.pl]\r\nwindow_inherit=1\r\n");
    REQUIRE(scene.run(runner, "load", message));
    kivhost::moduleClock::get().advance(60000);
    REQUIRE(scene.run(runner, "message ala@tlen.pl Cześć", message));
    CHECK_FALSE(scene.run(runner, "expect windows 1", message));
    CHECK(message == "expected 1 notification windows, found 0 (the profile's kiv.filters.config has no [global] "
                     "section, and the plug-in shows nothing until the global filter is set: 'set filters global ...' "
                     "before 'load', or the options page's \"Filtry globalne\")");
}

TEST_CASE("script settings are written between the unload and the load, and menus act on the selection") {
    sandboxScene scene("sandbox-settings", "clickopenchat=1\r\n");
    kivhost::scriptRunner runner(*scene.box, scene.grab, {}, "t");
    std::string message;
    REQUIRE(scene.run(runner, "set config window bindpos 2", message));
    REQUIRE(scene.run(runner, "load", message));
    kivhost::moduleClock::get().advance(60000);
    CHECK(iniValue(scene.profile + "kiv.config", "window", "bindpos") == "2");
    REQUIRE(scene.run(runner, "menu contact ignoruj mama@tlen.pl", message));
    REQUIRE(scene.run(runner, "chat mama@tlen.pl obiad", message));
    REQUIRE(scene.run(runner, "message tata@tlen.pl zadzwoń", message));
    REQUIRE(scene.run(runner, "expect windows 1", message));
    RECT placed = kivhost::windowRect(notifications()[0]);
    CHECK(placed.left < 100);  // top left
    CHECK(placed.top < 100);
    REQUIRE(scene.run(runner, "click 1 left", message));
    CHECK(scene.run(runner, "expect chat tata@tlen.pl", message));
    CHECK(kivhost::findWindows("TChat").size() == 1);
    char title[256] = "";
    GetWindowTextA(kivhost::findWindows("TChat")[0], title, sizeof title);
    CHECK(std::string(title) == "Tata (tata@tlen.pl) - Niedostępny");
    REQUIRE(scene.run(runner, "close-chat tata@tlen.pl", message));
    CHECK(kivhost::findWindows("TChat").empty());
}

TEST_CASE("a script plays from the message loop, also inside a dialog a menu item opened") {
    sandboxScene scene("sandbox-script");
    std::vector<scriptCommand> commands;
    std::string error;
    REQUIRE(kivhost::script::parse("menu contact ustawienia... ala@tlen.pl\nwait 300\nexpect windows 0\n"
                                   "button Anuluj\nwait 100\nstatus ala@tlen.pl zw\nexpect windows 1\n",
                                   "ok.kivscript", commands, error));
    {
        kivhost::scriptRunner runner(*scene.box, scene.grab, commands, "ok.kivscript");
        runner.start(false);
        CHECK(scene.box->run() == 0);
        CHECK(runner.finished());
        CHECK(runner.error().empty());
    }
    // A failure inside the dialog ends the script and the dialog with it.
    REQUIRE(kivhost::script::parse("menu contact ustawienia... ala@tlen.pl\nwait 300\nexpect windows 5\n",
                                   "bad.kivscript", commands, error));
    kivhost::scriptRunner runner(*scene.box, scene.grab, commands, "bad.kivscript");
    runner.start(false);
    CHECK(scene.box->run() == 1);
    CHECK(runner.error() == "bad.kivscript:3: expected 5 notification windows, found 1");
    kivhost::pumpMessages(200);
    CHECK(kivhost::findWindows("#32770").empty());
}

// What the log says, entry by entry.
std::vector<std::string> logEntries(HWND log) {
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(log, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[1024] = "";
        SendMessageA(log, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

TEST_CASE("the log shows every line whole, broken at spaces, and names no folder of this machine") {
    sandboxScene scene("sandbox-log");
    HWND log = FindWindowExA(scene.box->window().handle(), nullptr, "ListBox", nullptr);
    REQUIRE(log);
    std::vector<std::string> entries = logEntries(log);
    REQUIRE_FALSE(entries.empty());
    CHECK(entries.back().find("wczytano plugins\\kiv.tpl") == 0);
    const std::string folder = kivhost::programFolder();
    for (const std::string& entry : entries) CHECK(entry.find(folder) == std::string::npos);

    const std::string line = "Zażółć gęślą jaźń: " + std::string(40, 'x') + " i dalej słowa, " +
                             "które razem są dużo szersze niż dziennik piaskownicy, więc idą w kilka wierszy.";
    scene.box->window().addLog(line);
    std::vector<std::string> added = logEntries(log);
    added.erase(added.begin(), added.begin() + static_cast<std::ptrdiff_t>(entries.size()));
    REQUIRE(added.size() >= 2);
    RECT client;
    GetClientRect(log, &client);
    HDC dc = GetDC(log);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(log, WM_GETFONT, 0, 0)));
    std::string joined;
    for (const std::string& entry : added) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, entry.c_str(), static_cast<int>(entry.size()), &size);
        CHECK(size.cx <= client.right);
        joined += joined.empty() ? entry : " " + entry.substr(2);  // continued entries are indented
    }
    SelectObject(dc, previous);
    ReleaseDC(log, dc);
    CHECK(joined == line);
}

// The X side of a recording, played by a thread: each picture takes 300 ms, and the animation it
// is asked for comes back as the list of frames it was given.
struct slowGrabber {
    std::string folder;
    HANDLE thread = nullptr;
    volatile bool done = false;
    explicit slowGrabber(const std::string& watched) : folder(watched) {
        thread = CreateThread(nullptr, 0, &slowGrabber::serve, this, 0, nullptr);
    }
    ~slowGrabber() {
        done = true;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    static DWORD WINAPI serve(void* self) {
        auto* grabber = static_cast<slowGrabber*>(self);
        while (!grabber->done) {
            for (int n = 1; n < 200; ++n) {
                std::string shot = grabber->folder + "shot-" + std::to_string(n);
                if (fileExists(shot + ".area") && !fileExists(shot + ".png")) {
                    Sleep(300);
                    writeFile(shot + ".png", "picture");
                }
                std::string rec = grabber->folder + "rec-" + std::to_string(n);
                if (fileExists(rec + ".frames") && !fileExists(rec + ".gif")) writeFile(rec + ".gif", readFile(rec + ".frames"));
            }
            Sleep(5);
        }
        return 0;
    }
};

TEST_CASE("a recording takes its frames step by step: the module's time stands still while a picture is taken") {
    sandboxScene scene("sandbox-record", "effect=1\r\n");
    const std::string folder = scratchFolder("sandbox-record-grab");
    kivhost::screenGrab grab(folder);
    slowGrabber outside(folder);
    const std::string gif = folder + "slide.gif";
    std::vector<scriptCommand> commands;
    std::string error;
    REQUIRE(kivhost::script::parse("record " + gif + " 0 0 300 200\nstatus ala@tlen.pl zw\nwait 1000\nrecord stop\n",
                                   "rec.kivscript", commands, error));
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    const DWORD moduleStart = clock.now(), realStart = GetTickCount();
    kivhost::scriptRunner runner(*scene.box, grab, commands, "rec.kivscript");
    runner.start(false);
    CHECK(scene.box->run() == 0);
    CHECK(runner.error().empty());
    const DWORD moduleTime = clock.now() - moduleStart, realTime = GetTickCount() - realStart;

    // "DELAY NAME" a frame: 40 ms each, a frame that shows nothing new only lengthens the one before.
    std::string frames = readFile(gif);
    int hundredths = 0, pictures = 0;
    for (size_t at = 0; at < frames.size(); at = frames.find('\n', at) + 1) {
        hundredths += atoi(frames.c_str() + at);
        ++pictures;
    }
    CHECK(hundredths == 100);
    CHECK(pictures >= 2);        // the window slid in
    CHECK(pictures < 25);        // and then stood still
    CHECK(realTime >= moduleTime + 300 * (pictures - 1));  // the pictures' time was not the module's
    CHECK(moduleTime < 1000 + 500);
    CHECK(fileExists(folder + "shot-1.png") == false);  // frames are cleared away
}
