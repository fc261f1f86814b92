// A long run of mixed traffic through the built plug-in: protocol events, host sounds and kiv/popup
// requests in rounds whose windows really open and close, with scheme switches on the options
// page in between. Afterwards nothing may be left behind: objects, windows, settings, filters.
#include <doctest.h>

#include <map>
#include <set>

#include "badInput.h"
#include "optionsWindow.h"
#include "protocolEvents.h"

using namespace kivtest;

namespace {

constexpr int rounds = 48;
constexpr int schemeCombo = 1008, effectCombo = 1056;  // on the options page
constexpr DWORD pastVisibleTime = 5000;                 // visibletime 4 s; log-in quiet period 3 s

// Values the options page writes back as they are, so the file must still hold them after its
// OKs; "{profile}" stands for the profile folder, which holds every sound file named here.
const char* const settingsText =
    "[general]\r\nsilent=0\r\nshowsilent=1\r\nfullscreenautooff=0\r\n"
    "[window]\r\nscheme=standard.kivs\r\neffect=0\r\neffectclose=1\r\nvisibletime=4\r\nrearrangewindows=1\r\n"
    "newatbegin=0\r\nshowdesc=1\r\nshowmessage=1\r\nclickclose=1\r\nclickopenchat=0\r\nmsgshowwhenbgonly=0\r\n"
    "bindpos=3\r\nbind=4,6\r\nspace=3\r\ncontactformat=2\r\nalpha=10\r\nautoheightchars=300\r\nautoheightrows=4\r\n"
    "loginignore=0\r\nmaxonscreen=0\r\n"
    "[sound]\r\nfilelogintlen={profile}login.wav\r\nfilelogingg={profile}gg.wav\r\nfileemail={profile}email.wav\r\n"
    "offlogin=0\r\noffonline=0\r\noffmessage=0\r\noffmessagechatstart=0\r\noffmessagechat=0\r\nofffile=0\r\n"
    "offvoice=1\r\noffemail=0\r\n"
    "[hidden]\r\nloginignoretime=3\r\n"
    "[ztk]\r\nignoremub=0\r\nnoautoclose=0\r\n";

// As the module writes it, so that its save at unloading must give the same bytes: every status
// and both message kinds shown; Praca has sounds of its own; 12345 shows description changes but
// no chat messages.
const char* const filtersText =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nwindow_status_chat=1\r\nwindow_status_dnd=1\r\n"
    "window_status_away=1\r\nwindow_status_xa=1\r\nwindow_status_offline=1\r\nwindow_onlineonly=0\r\n"
    "window_ignoreaway=0\r\nwindow_descchange=0\r\nwindow_eventmessage=1\r\nwindow_eventmessagechat=1\r\n"
    "sound_inherit=0\r\nsound_fileonline={profile}online.wav\r\nsound_fileoffline={profile}offline.wav\r\n"
    "sound_filemessage={profile}message.wav\r\nsound_filemessagechatstart=\r\n"
    "sound_filemessagechat={profile}chat.wav\r\nsound_filefile={profile}file.wav\r\nsound_filevoice=\r\n"
    "[group:Praca]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_fileonline={profile}praca.wav\r\n"
    "sound_fileoffline=\r\nsound_filemessage={profile}praca.wav\r\nsound_filemessagechatstart={profile}praca.wav\r\n"
    "sound_filemessagechat=\r\nsound_filefile=\r\nsound_filevoice={profile}praca.wav\r\n"
    "[contact:12345]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nwindow_status_chat=1\r\n"
    "window_status_dnd=1\r\nwindow_status_away=1\r\nwindow_status_xa=1\r\nwindow_status_offline=1\r\n"
    "window_onlineonly=0\r\nwindow_ignoreaway=0\r\nwindow_descchange=1\r\nwindow_eventmessage=1\r\n"
    "window_eventmessagechat=0\r\nsound_inherit=1\r\n";

// Only a contact on the list and in a group has filters; 67890 is on the list in no group.
struct person {
    const char* id;
    const char* protocol;
    bool onList, inGroup;
};
const person people[] = {{"ala@tlen.pl", "TLEN", true, true}, {"ewa@tlen.pl", "TLEN", true, true},
                         {"12345", "GG", true, true},         {"67890", "GG", true, false},
                         {"obcy@tlen.pl", "TLEN", false, false}, {"99999", "GG", false, false}};

const std::string texts[] = {"", "krótko", "Zaraz wracam",
                             "Ala ma kota, a kot ma Alę & psa; opis na dwie linie albo i trzy, gdy okno jest wąskie.",
                             std::string(600, 'w') + " koniec"};

// Options-page visits by round: the scheme chosen by its title, the effect, and the button.
enum class press { ok, cancel, applyThenCancel };
struct visit {
    const char* title;
    const char* file;
    int effect;
    press button;
};
const std::map<int, visit> visits = {
    {5, {"Ciemny", "dark.kivs", 0, press::ok}},
    {11, {"Zaokrąglony", "rounded.kivs", 0, press::cancel}},
    {17, {"Zaokrąglony", "rounded.kivs", 1, press::applyThenCancel}},  // round 18 slides
    {19, {"Standardowy", "standard.kivs", 0, press::ok}},
    {24, {"Ciemny", "dark.kivs", 0, press::applyThenCancel}},
    {30, {"Standardowy", "standard.kivs", 0, press::ok}},
    {35, {"Zaokrąglony", "rounded.kivs", 2, press::ok}},  // round 36 fades
    {37, {"Standardowy", "standard.kivs", 0, press::ok}},
    {42, {"Ciemny", "dark.kivs", 0, press::cancel}},
};

// Every key of an INI text against what the file holds now; the first difference, or "".
std::string firstDifference(const std::string& text, const std::string& file) {
    std::string section;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = text.substr(start, end - start);
        if (line[0] == '[') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        std::string key = line.substr(0, line.find('=')), value = line.substr(line.find('=') + 1);
        std::string stored = iniValue(file, section.c_str(), key.c_str());
        if (stored != value) return section + "/" + key + "=" + stored;
    }
    return "";
}

struct tally {
    int protocolEvents = 0, logins = 0, soundEvents = 0, wrongSoundAnswers = 0, popups = 0, visits = 0;
    int windowsDue = 0, windowsSeen = 0;
};

struct soakScene {
    kivSession session;
    kivhost::contactList& contacts;
    garbage random{20261208};
    std::string scheme = "standard.kivs";
    tally seen;
    HBITMAP ownIcon = CreateBitmap(16, 16, 1, 32, nullptr);  // a caller's icon, the caller's to free

    soakScene() : session("soak", false), contacts(session.host.contacts) {
        contacts.clear();
        const int work = contacts.addGroup("Praca"), friends = contacts.addGroup("Znajomi");
        contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
        contacts.addContact("ewa@tlen.pl", "Ewa", friends, "TLEN");
        contacts.addContact("12345", "Olek", friends, "GG");
        contacts.addContact("67890", "Bez grupy", 0, "GG");
        for (const char* wav : {"login", "gg", "email", "online", "offline", "message", "chat", "file", "praca"})
            writeFile(session.profile + wav + ".wav", "RIFF");
        writeFile(session.settingsFile, inProfile(settingsText, session.profile));
        writeFile(session.filtersFile, inProfile(filtersText, session.profile));
        session.start();
        kivhost::moduleClock::get().advance(60000);  // past the quiet period after the system's start
        freezeClock();
    }
    ~soakScene() {
        contacts.clear();
        DeleteObject(ownIcon);
    }

    const person& anyone() { return people[random.below(6)]; }
    const char* anyText() { return texts[random.below(5)].c_str(); }

    // Status changes between any two of the six statuses, with and without descriptions, messages
    // and chat messages; true when the filters let it raise a window.
    bool protocolEvent(const std::string& quietProtocol) {
        ++seen.protocolEvents;
        const person& who = anyone();
        const bool due = who.inGroup && who.protocol != quietProtocol;
        const bool olek = std::string(who.id) == "12345";
        const int kind = random.below(4);
        if (kind < 2) {
            kivhost::raiseMessage(who.protocol, who.id, kind == 0 ? 2 : 4, anyText());
            return due && !(kind == 1 && olek);
        }
        kivhost::statusChange change;
        change.protocol = who.protocol;
        change.contactId = who.id;
        change.previousStatus = 1 + random.below(6);
        change.newStatus = random.below(3) ? 1 + random.below(6) : change.previousStatus;
        change.previousDescription = random.below(4) ? anyText() : nullptr;
        change.newDescription = random.below(4) ? anyText() : nullptr;
        kivhost::raiseStatusChange(change);
        if (change.newStatus != change.previousStatus) return due;
        const std::string from = change.previousDescription ? change.previousDescription : "";
        const std::string to = change.newDescription ? change.newDescription : "";
        return due && olek && from != to;
    }

    // A host sound of any kind: the module takes over those it knows, but hands the voice call of a
    // contact with filters back (offvoice) and leaves the kinds it does not know to the host.
    void soundEvent() {
        ++seen.soundEvents;
        const int kind = random.below(13);
        const person& who = anyone();
        const bool hostPlays = kind == 0 || kind == 6 || kind == 8 || kind == 12 || (kind == 10 && who.inGroup);
        seen.wrongSoundAnswers += session.host.raiseSoundEvent(kind, who.id) != (hostPlays ? 0 : -1);
    }

    // A kiv/popup request of any shape; true when its window waits for a click.
    bool popupOfAnyShape(int serial) {
        ++seen.popups;
        const person& who = anyone();
        static const char* const icons[] = {"message", "chatmessage", "ico_small", ""};
        popupRequest request;
        request.protocol = who.protocol;
        request.contactId = who.id;
        request.nick = random.below(2) ? "Nick" : "";
        request.text = anyText();
        request.iconName = icons[random.below(4)];
        if (who.onList) request.itemHandle = contacts.findContact(who.id)->item.handle;
        request.data = serial;
        const int shape = random.below(5);
        request.withOptions = shape > 0;
        request.options = overrideOptions(shape == 1 || shape == 3, shape == 2 || shape == 3);
        if (shape == 4) request.options.iconBitmap = ownIcon;
        CHECK(popup(session, request) == 0);
        return shape == 2;
    }

    // Chooses the visit's scheme and effect on kiv's page and presses its buttons; true when that
    // closed the windows for another scheme.
    bool visitOptions(const visit& v) {
        ++seen.visits;
        kivhost::optionsWindow options(session.host);
        HWND page = options.pageWindow();
        REQUIRE(page);
        HWND schemes = GetDlgItem(page, schemeCombo);
        LRESULT found = SendMessageA(schemes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(v.title));
        REQUIRE(found != CB_ERR);
        SendMessageA(schemes, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        SendMessageA(GetDlgItem(page, effectCombo), CB_SETCURSEL, static_cast<WPARAM>(v.effect), 0);
        if (v.button == press::ok) options.ok();
        if (v.button == press::applyThenCancel) options.apply();
        if (v.button != press::ok) options.cancel();
        CHECK_FALSE(IsWindow(page));
        if (v.button == press::cancel || scheme == v.file) return false;
        scheme = v.file;
        return true;
    }

    // Past everyone's visible time, then a click on each window that stays until clicked.
    void retire(size_t keptOpen) {
        moveClock(pastVisibleTime);
        CHECK(waitForCount(keptOpen, 10000));
        for (HWND window : notifications()) SendMessageA(window, WM_LBUTTONUP, 0, 0);
        REQUIRE(waitForCount(0, 10000));
    }

    // The round's windows come a screenful at a time: each screen's are counted and repainted,
    // then let go by the clock; those that stay until clicked stay, and are counted once.
    std::set<HWND> showRound(size_t due) {
        std::set<HWND> counted;
        for (int screen = 0; screen < 20; ++screen) {
            const std::vector<HWND> shown = steady();
            for (HWND window : shown)
                if (counted.insert(window).second) repaint(window);
            if (counted.size() >= due) break;
            moveClock(pastVisibleTime);
            kivhost::pumpUntil([&] { return notifications() != shown; }, 1500);
        }
        return counted;
    }

    // Every few rounds a log-in quiets one protocol for the round; a visit to the options page,
    // when there is one, comes while the round's windows are open.
    void playRound(int round) {
        std::string quiet;
        if (round % 4 == 2) {
            quiet = round % 8 == 2 ? "TLEN" : "GG";
            kivhost::raiseLogin(quiet);
            ++seen.logins;
        }
        size_t due = 0, keptOpen = 0;
        for (int i = 0; i < 50; ++i) due += protocolEvent(quiet);
        for (int i = 0; i < 15; ++i) soundEvent();
        for (int i = 0; i < 7; ++i, ++due) keptOpen += popupOfAnyShape(round * 100 + i);
        seen.windowsDue += static_cast<int>(due);
        seen.windowsSeen += static_cast<int>(showRound(due).size());
        if (visits.count(round) && visitOptions(visits.at(round))) {
            CHECK(notifications().empty());  // every window goes before the new scheme applies
            keptOpen = 0;
        }
        retire(keptOpen);
    }
};

}  // namespace

TEST_SUITE("soak") {

TEST_CASE("soak: thousands of events, requests and scheme switches leave nothing behind") {
    soakScene scene;
    REQUIRE(scene.session.plugin->running());
    const objectCounts atStart = liveObjects();
    std::map<std::string, objectCounts> idle = {{scene.scheme, atStart}};  // per scheme, no window open
    for (int round = 0; round < rounds; ++round) {
        CAPTURE(round);
        scene.playRound(round);
        if (!idle.count(scene.scheme)) idle[scene.scheme] = liveObjects();
        CHECK_MESSAGE(liveObjects() == idle[scene.scheme], scene.scheme, ": ", kivhost::objectTracker::get().summary());
    }
    const tally& t = scene.seen;
    INFO("protocol events ", t.protocolEvents, ", log-ins ", t.logins, ", sound events ", t.soundEvents, ", popups ",
         t.popups, ", options visits ", t.visits, ", windows seen ", t.windowsSeen, " of ", t.windowsDue);
    REQUIRE(scene.scheme == "standard.kivs");
    CHECK_MESSAGE(liveObjects() == atStart, kivhost::objectTracker::get().summary());
    CHECK(t.windowsSeen == t.windowsDue);  // every popup and every event the filters let through
    CHECK(t.wrongSoundAnswers == 0);
    CHECK(stillShowsNotifications(scene.session));
    CHECK(heapsIntact());

    scene.session.unload();
    CHECK_MESSAGE(liveObjects() == objectCounts{}, kivhost::objectTracker::get().summary());
    CHECK(readFile(scene.session.filtersFile) == inProfile(filtersText, scene.session.profile));
    CHECK(firstDifference(inProfile(settingsText, scene.session.profile), scene.session.settingsFile) == "");
}

}  // TEST_SUITE
