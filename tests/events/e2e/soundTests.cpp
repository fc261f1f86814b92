// The host's sound engine asking the built plug-in before each of its sounds: which kinds the
// module takes over, which file it plays, and when it leaves the sound to the host.
#include <doctest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "testSupport.h"

using namespace kivtest;

namespace {

const char* const soundEvent = "Tlen/SoundEngine/BeforeEvent";
constexpr DWORD playFlags = 0x20003;  // SND_FILENAME | SND_NODEFAULT | SND_ASYNC

std::string le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A real, playable file: 10 ms of 8 kHz, 8-bit mono silence.
void writeWav(const std::string& path) {
    std::string samples(80, '\x80');
    writeFile(path, "RIFF" + le(36 + samples.size(), 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                        le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(samples.size(), 4) + samples);
}

// A profile with a group "Praca" whose filter has a file for every contact sound, the log-in and
// e-mail files in the settings, and the contact ala@tlen.pl in that group.
struct soundScene {
    kivSession session;
    kivhost::contactList& contacts;
    int praca = 0;

    explicit soundScene(const std::string& name, const std::string& settings = "", const std::string& filters = "")
        : session(name, false), contacts(session.host.contacts) {
        contacts.clear();
        praca = contacts.addGroup("Praca");
        contacts.addContact("ala@tlen.pl", "Ala", praca);
        for (const char* file : {"login", "email", "online", "offline", "message", "chatstart", "chat", "file", "voice"})
            writeWav(wav(file));
        writeFile(session.settingsFile, "[sound]\r\nfilelogintlen=" + wav("login") + "\r\nfileemail=" + wav("email") +
                                            "\r\n" + inProfile(settings, session.profile));
        writeFile(session.filtersFile, "[group:Praca]\r\nsound_inherit=0\r\nsound_fileonline=" + wav("online") +
                                           "\r\nsound_fileoffline=" + wav("offline") +
                                           "\r\nsound_filemessage=" + wav("message") +
                                           "\r\nsound_filemessagechatstart=" + wav("chatstart") +
                                           "\r\nsound_filemessagechat=" + wav("chat") +
                                           "\r\nsound_filefile=" + wav("file") + "\r\nsound_filevoice=" + wav("voice") +
                                           "\r\n" + inProfile(filters, session.profile));
        bringHostToFront();
        session.start();
        kivhost::soundRecorder::get().clear();
    }

    ~soundScene() { contacts.clear(); }

    std::string wav(const std::string& name) const { return session.profile + name + ".wav"; }

    // The messenger's window in front, as when its user is at work. Focus changes arrive from the
    // X server a moment later, so it is asked again until it holds (or the test says why not).
    void bringHostToFront() {
        HWND main = session.host.mainWindow();
        for (int attempt = 0; attempt < 20 && GetForegroundWindow() != main; ++attempt) {
            kivhost::pumpMessages(30);
            SetForegroundWindow(main);
            kivhost::pumpMessages(30);
        }
        REQUIRE(GetForegroundWindow() == main);
    }

    int raise(int kind, const char* contactId = "ala@tlen.pl") {
        kivhost::soundRecorder::get().clear();
        return session.host.raiseSoundEvent(kind, contactId);
    }
    int raiseWithoutSubject(int kind) {
        kivhost::soundRecorder::get().clear();
        return session.host.raiseSoundEventWithoutSubject(kind);
    }

    // The files the module asked the sound player for since the last event, each with its flags
    // checked.
    std::vector<std::string> played() const {
        std::vector<std::string> files;
        for (const auto& sound : kivhost::soundRecorder::get().played) {
            CHECK(sound.flags == playFlags);
            files.push_back(sound.file);
        }
        return files;
    }
};

using files = std::vector<std::string>;

const int contactKinds[] = {2, 3, 4, 5, 7, 9, 10};

}  // namespace

TEST_CASE("every sound kind the module knows plays its file and keeps the host quiet") {
    soundScene scene("sound-kinds");
    REQUIRE(scene.session.host.hookCount(soundEvent) == 1);
    const std::pair<int, const char*> rows[] = {{1, "login"}, {2, "message"}, {3, "chatstart"}, {4, "chat"},
                                                {5, "chat"},  {7, "online"},  {9, "file"},      {10, "voice"},
                                                {11, "email"}};
    for (const auto& [kind, file] : rows) {
        CAPTURE(kind);
        CHECK(scene.raise(kind) == -1);
        CHECK(scene.played() == files{scene.wav(file)});
    }
    for (int kind : {0, 6, 8, 12, 13, 255, -1}) {
        CAPTURE(kind);
        CHECK(scene.raise(kind) == 0);
        CHECK(scene.played().empty());
    }
}

TEST_CASE("each sound-off setting hands exactly its own kinds back to the host") {
    const std::pair<const char*, std::vector<int>> settings[] = {
        {"offlogin", {1}},          {"offmessage", {2}},        {"offmessagechatstart", {3}},
        {"offmessagechat", {4, 5}}, {"offonline", {7}},         {"offfile", {9}},
        {"offvoice", {10}},         {"offemail", {11}}};
    for (const auto& [key, handedBack] : settings) {
        CAPTURE(key);
        soundScene scene(std::string("sound-") + key, std::string(key) + "=1\r\n");
        for (int kind : {1, 2, 3, 4, 5, 7, 9, 10, 11}) {
            CAPTURE(kind);
            bool back = std::find(handedBack.begin(), handedBack.end(), kind) != handedBack.end();
            CHECK(scene.raise(kind) == (back ? 0 : -1));
            CHECK(scene.played().size() == (back ? 0u : 1u));
        }
    }
}

TEST_CASE("a contact without an effective filter gets no sound, even where the host's would be handed back") {
    soundScene scene("sound-unresolved",
                     "offmessage=1\r\noffmessagechatstart=1\r\noffmessagechat=1\r\noffonline=1\r\n"
                     "offfile=1\r\noffvoice=1\r\n");
    int nobody = scene.contacts.addContact("nikt@tlen.pl", "Nikt", 0);
    for (int kind : contactKinds) {
        CAPTURE(kind);
        // In no group, not on the list, no identifier at all.
        for (const char* id : {"nikt@tlen.pl", "obcy@tlen.pl", static_cast<const char*>(nullptr)}) {
            CHECK(scene.raise(kind, id) == -1);
            CHECK(scene.played().empty());
        }
        CHECK(scene.raise(kind) == 0);  // on the list: the setting hands it back
    }

    // Membership is asked afresh: once in a group the contact's sounds follow the settings.
    scene.contacts.moveContact(nobody, scene.praca);
    CHECK(scene.raise(2, "nikt@tlen.pl") == 0);
}

TEST_CASE("with the silent switch on nothing is heard, unless the event has no subject") {
    soundScene scene("sound-silent", "offemail=1\r\n");
    REQUIRE(scene.session.service("kiv/setsilent", 1) == 1);
    for (int kind = 0; kind <= 12; ++kind) {
        CAPTURE(kind);
        CHECK(scene.raise(kind) == -1);
        CHECK(scene.played().empty());
        CHECK(scene.raiseWithoutSubject(kind) == 0);
    }
    scene.session.service("kiv/setsilent", 0);
    CHECK(scene.raise(2) == -1);
    CHECK(scene.played() == files{scene.wav("message")});
    CHECK(scene.raiseWithoutSubject(2) == 0);
    CHECK(scene.played().empty());
}

TEST_CASE("a full-screen application in front silences both the host and the module") {
    auto coverScreen = [] {
        HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "pełny ekran", WS_POPUP | WS_VISIBLE, 0, 0,
                                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                     nullptr, nullptr);
        SetForegroundWindow(cover);
        kivhost::pumpMessages(30);
        return cover;
    };
    SUBCASE("fullscreenautooff on, the default") {
        soundScene scene("sound-fullscreen");
        HWND cover = coverScreen();
        REQUIRE(GetForegroundWindow() == cover);
        CHECK(scene.raise(2) == -1);
        CHECK(scene.raise(11) == -1);
        CHECK(scene.played().empty());
        DestroyWindow(cover);
        scene.bringHostToFront();
        CHECK(scene.raise(2) == -1);
        CHECK(scene.played() == files{scene.wav("message")});
    }
    SUBCASE("fullscreenautooff off") {
        soundScene scene("sound-fullscreen-off", "[general]\r\nfullscreenautooff=0\r\n");
        HWND cover = coverScreen();
        CHECK(scene.raise(2) == -1);
        CHECK(scene.played() == files{scene.wav("message")});
        DestroyWindow(cover);
        scene.bringHostToFront();
    }
}

TEST_CASE("the first chat message falls back to the chat file only when its own cannot be played") {
    // Bez has no start file, Brak names one that does not exist.
    soundScene scene("sound-chatstart", "",
                     "[group:Bez]\r\nsound_inherit=0\r\nsound_filemessagechat={profile}chat.wav\r\n"
                     "[group:Brak]\r\nsound_inherit=0\r\nsound_filemessagechatstart={profile}brak.wav\r\n"
                     "sound_filemessagechat={profile}chat.wav\r\n");
    scene.contacts.addContact("pusty", "Pusty", scene.contacts.addGroup("Bez"));
    scene.contacts.addContact("zly", "Zły", scene.contacts.addGroup("Brak"));
    std::string missing = scene.session.profile + "brak.wav";
    std::string chat = scene.wav("chat");

    CHECK(scene.raise(3) == -1);
    CHECK(scene.played() == files{scene.wav("chatstart")});
    CHECK(scene.raise(3, "pusty") == -1);
    CHECK(scene.played() == files{chat});
    CHECK(scene.raise(3, "zly") == -1);
    CHECK(scene.played() == files{missing, chat});

    // No other kind falls back: an empty file path means silence, and the host stays quiet too.
    CHECK(scene.raise(9, "pusty") == -1);
    CHECK(scene.played().empty());
    CHECK(scene.raise(2, "zly") == -1);
    CHECK(scene.played().empty());
}

TEST_CASE("the sound comes from the nearest level with a sound part of its own") {
    soundScene scene("sound-levels", "",
                     "[global]\r\nsound_filemessage=C:\\global.wav\r\n"
                     "[contact:ala@tlen.pl]\r\nsound_inherit=0\r\nsound_filemessage=C:\\ala.wav\r\n"
                     "[contact:ela@tlen.pl]\r\nwindow_inherit=0\r\nsound_filemessage=C:\\unused.wav\r\n");
    int dom = scene.contacts.addGroup("Dom");
    scene.contacts.addContact("ela@tlen.pl", "Ela", scene.praca);
    scene.contacts.addContact("ola@tlen.pl", "Ola", dom);

    CHECK(scene.raise(2) == -1);
    CHECK(scene.played() == files{"C:\\ala.wav"});
    CHECK(scene.raise(2, "ela@tlen.pl") == -1);
    CHECK(scene.played() == files{scene.wav("message")});
    CHECK(scene.raise(2, "ola@tlen.pl") == -1);
    CHECK(scene.played() == files{"C:\\global.wav"});
    CHECK(scene.raise(7) == -1);  // ala's own sound part has no online file
    CHECK(scene.played().empty());
}

TEST_CASE("the hook lives from load to unload, and the filters are written at unload") {
    soundScene scene("sound-lifecycle", "", "[Contact:ola]\r\nwindow_inherit=0\r\n[hand]\r\nkey=1\r\n");
    auto names = scene.session.host.logNames();
    auto at = [&](const std::string& name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
    CHECK(at("Tlen/AddOptionsPage") < at("hookEvent Tlen/SoundEngine/BeforeEvent"));
    REQUIRE(at("hookEvent Tlen/SoundEngine/BeforeEvent") < static_cast<long>(names.size()));

    scene.session.host.log.clear();
    scene.session.unload();
    names = scene.session.host.logNames();
    CHECK(at("unhookEvent Tlen/SoundEngine/BeforeEvent") < at("destroyService kiv/getsilent"));
    CHECK(scene.session.host.hookCount(soundEvent) == 0);
    CHECK(scene.raise(2) == 0);
    CHECK(scene.played().empty());

    CHECK(iniValue(scene.session.filtersFile, "global", "window_inherit") == "0");
    CHECK(iniValue(scene.session.filtersFile, "group:Praca", "sound_filemessage") == scene.wav("message"));
    CHECK(iniValue(scene.session.filtersFile, "contact:ola", "window_status_online") == "1");
    CHECK(iniValue(scene.session.filtersFile, "hand", "key") == "<missing>");
}

TEST_CASE("a host without a profile gets no filter file, and contact sounds stay silent") {
    kivSession session("sound-noprofile", false);
    session.host.contacts.clear();
    session.host.contacts.addContact("ala", "Ala", session.host.contacts.addGroup("Praca"));
    session.host.setProfile("tester", "");
    session.start();
    kivhost::soundRecorder::get().clear();
    CHECK(session.host.raiseSoundEvent(2, "ala") == -1);
    CHECK(kivhost::soundRecorder::get().played.empty());
    session.unload();
    CHECK_FALSE(fileExists(session.filtersFile));
}

TEST_CASE("the hook is removed at unload even when the host gave it the handle 0") {
    kivSession session("sound-hook-zero", false);
    session.host.nextHookHandle(0);
    session.start();
    REQUIRE(session.host.hookCount(soundEvent) == 1);
    session.unload();
    CHECK(session.host.hookCount(soundEvent) == 0);
}
