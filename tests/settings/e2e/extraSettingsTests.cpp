// The settings of [extra]: with each at its default a user sees, hears and keeps exactly what they
// had before the section existed.
#include <doctest.h>

#include <sstream>

#include "chatWindow.h"
#include "hotKeyRecorder.h"
#include "notifySupport.h"
#include "popupMenus.h"

using namespace kivtest;

namespace {

const char* const scenarioFilters =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_offline=1\r\nwindow_eventmessage=1\r\n"
    "window_eventmessagechat=1\r\nsound_inherit=0\r\nsound_filemessage={profile}message.wav\r\n";

std::string callNames(const kivhost::hostCore& host) {
    std::string names;
    for (const std::string& name : host.logNames()) names += name + "\n";
    return names;
}

// Keys the module asked the system for, and its window for them; nothing at all while none is set.
std::string hotKeys() {
    std::string seen;
    for (const auto& call : kivhost::hotKeyRecorder::get().calls()) seen += kivhost::describe(call) + "\n";
    kivhost::hotKeyRecorder::get().clear();
    if (FindWindowExA(HWND_MESSAGE, nullptr, "kiv_hotkeys", nullptr)) seen += "window kiv_hotkeys\n";
    return seen;
}

std::string shownWindows() {
    std::string shown;
    for (HWND window : notifications()) {
        kivhost::paintedWindow paint = paintOf(window);
        shown += "window";
        for (const std::string& text : paint.texts) shown += " [" + text + "]";
        shown += "\n";
    }
    return shown;
}

std::string playedSounds(const std::string& profile) {
    std::string played;
    for (const auto& sound : kivhost::soundRecorder::get().played) {
        std::string file = sound.file;
        if (file.compare(0, profile.size(), profile) == 0) file = "{profile}" + file.substr(profile.size());
        played += "sound " + file + "\n";
    }
    kivhost::soundRecorder::get().clear();
    return played;
}

std::string menuItems(kivhost::hostCore& host) {
    std::string items;
    for (const auto& item : host.menuItems())
        items += "item " + item.itemName + " " + item.menu + " '" + item.caption + "' " + std::to_string(item.flags) + "\n";
    return items;
}

// Start-up, a mix of events, requests, sounds and menus, and unloading; everything the host and
// the user see of it, step by step, with the profile folder named "{profile}".
std::string recordScenario(const std::string& name, const std::string& settings) {
    kivSession session(name, false);
    kivhost::contactList& contacts = session.host.contacts;
    contacts.clear();
    int work = contacts.addGroup("Praca");
    contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
    contacts.addContact("12345", "Olek", work, "GG");
    writeFile(session.profile + "message.wav", "RIFF");
    writeFile(session.settingsFile, settings);
    writeFile(session.filtersFile, inProfile(scenarioFilters, session.profile));
    freezeClock();
    kivhost::soundRecorder::get().clear();
    kivhost::hotKeyRecorder::get().clear();
    session.start();
    std::ostringstream record;
    record << "start-up\n" << callNames(session.host) << menuItems(session.host) << hotKeys();
    session.host.log.clear();

    moveClock(60000);
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2, nullptr, "w pracy"));
    kivhost::raiseMessage("GG", "12345", 0, "cześć");
    popupRequest request;
    popup(session, request);
    settle(3);
    session.host.raiseSoundEvent(2, "ala@tlen.pl");
    kivhost::visibleItems("Tlen/Status", {});
    kivhost::visibleItems("Tlen/CL/Element", {{"ala@tlen.pl"}});
    record << "events\n" << callNames(session.host) << shownWindows() << playedSounds(session.profile);
    session.host.log.clear();

    kivhost::choose("Tlen/Status", {}, "kiv/menu/silent");
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 0, "jesteś?");
    kivhost::choose("Tlen/Status", {}, "kiv/menu/silent");
    moveClock(4000);
    kivhost::pumpMessages(300);
    SendMessageA(session.host.mainWindow(), WM_NULL, 0, 0);
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 0, "już?");
    settle(1);
    record << "silent and back\n" << callNames(session.host) << shownWindows() << playedSounds(session.profile);
    session.host.log.clear();

    moveClock(4000);
    waitForCount(0);
    session.unload();
    record << "unload\n" << callNames(session.host) << hotKeys() << "windows " << notifications().size() << "\n";
    kivhost::moduleClock::get().reset();
    contacts.clear();
    record << "settings\n" << readFile(session.settingsFile) << "filters\n" << readFile(session.filtersFile);
    std::string text = record.str();
    for (size_t at; (at = text.find(session.profile)) != std::string::npos;)
        text.replace(at, session.profile.size(), "{profile}");
    return text;
}

// What the host and the user saw of the scenario before [extra] existed, recorded then.
const char* const scenarioBefore =
    "start-up\n"
    "createService kiv/getsilent\n"
    "createService kiv/setsilent\n"
    "createService kiv/popup\n"
    "Tlen/GetProcAddress\n"
    "Tlen/AddOptionsPage\n"
    "Tlen/ProtocolHookEvent\n"
    "Tlen/ProtocolHookEvent\n"
    "hookEvent Tlen/SoundEngine/BeforeEvent\n"
    "Tlen/GetProcAddress\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuItem\n"
    "Tlen/AddMenuCallBack\n"
    "Tlen/AddMenuCallBack\n"
    "item kiv/menu/silent Tlen/Status 'kiv / wyłącz' 8\n"
    "item kiv/menu/contact/root Tlen/CL/Element 'kiv' 0\n"
    "item kiv/menu/contact/setup Tlen/CL/Element 'ustawienia...' 0\n"
    "item kiv/menu/contact/remove Tlen/CL/Element 'przywróć domyślne' 0\n"
    "item kiv/menu/contact/ignore Tlen/CL/Element 'ignoruj' 0\n"
    "item kiv/menu/group/root Tlen/CL/Group 'kiv' 0\n"
    "item kiv/menu/group/setup Tlen/CL/Group 'ustawienia...' 0\n"
    "item kiv/menu/group/remove Tlen/CL/Group 'przywróć domyślne' 0\n"
    "events\n"
    "Tlen/ContactList/EnumerateItems\n"
    "Tlen/ContactList/GetItem\n"
    "Tlen/ContactList/EnumerateItems\n"
    "Tlen/ContactList/GetItem\n"
    "Tlen/ContactList/GetItem\n"
    "Tlen/ContactList/GetItem\n"
    "Tlen/ContactList/GetItem\n"
    "Tlen/ContactList/EnumerateItems\n"
    "Tlen/ContactList/GetItem\n"
    "Tlen/ChangeMenuItem\n"
    "window [Ala (ala)] [Ala ma kota]\n"
    "window [Olek (12345)] [cześć]\n"
    "window [Ala (ala@tlen.pl)] [w pracy]\n"
    "sound {profile}message.wav\n"
    "silent and back\n"
    "Tlen/ContactList/EnumerateItems\n"
    "Tlen/ContactList/GetItem\n"
    "Tlen/ContactList/GetItem\n"
    "window [Ala (ala@tlen.pl)] [już?]\n"
    "unload\n"
    "Tlen/RemoveMenuCallBack\n"
    "Tlen/RemoveMenuCallBack\n"
    "unhookEvent Tlen/SoundEngine/BeforeEvent\n"
    "Tlen/ProtocolUnhookEvent\n"
    "Tlen/ProtocolUnhookEvent\n"
    "destroyService kiv/getsilent\n"
    "destroyService kiv/setsilent\n"
    "destroyService kiv/popup\n"
    "windows 0\n"
    "settings\n";
// The settings file written at unloading then.
const char* const settingsBefore =
    "[general]\r\n"
    "fullscreenautooff=0\r\n"
    "silent=0\r\n"
    "showsilent=1\r\n"
    "[window]\r\n"
    "scheme=none.kivs\r\n"
    "visibletime=3\r\n"
    "effect=0\r\n"
    "effectclose=0\r\n"
    "rearrangewindows=1\r\n"
    "newatbegin=0\r\n"
    "showdesc=1\r\n"
    "showmessage=1\r\n"
    "clickclose=0\r\n"
    "clickopenchat=0\r\n"
    "msgshowwhenbgonly=0\r\n"
    "bindpos=0\r\n"
    "bind=2,2\r\n"
    "space=2\r\n"
    "contactformat=2\r\n"
    "alpha=0\r\n"
    "autoheightchars=0\r\n"
    "autoheightrows=5\r\n"
    "loginignore=1\r\n"
    "maxonscreen=0\r\n"
    "[sound]\r\n"
    "filelogintlen=\r\n"
    "filelogingg=\r\n"
    "fileemail=\r\n"
    "offlogin=0\r\n"
    "offonline=0\r\n"
    "offmessage=0\r\n"
    "offmessagechatstart=0\r\n"
    "offmessagechat=0\r\n"
    "offfile=0\r\n"
    "offvoice=0\r\n"
    "offemail=0\r\n"
    "[ztk]\r\n"
    "ignoremub=0\r\n"
    "noautoclose=0\r\n";
const char* const filtersAfter =
    "filters\n"
    "[global]\r\n"
    "window_inherit=0\r\n"
    "window_status_online=1\r\n"
    "window_status_chat=1\r\n"
    "window_status_dnd=1\r\n"
    "window_status_away=1\r\n"
    "window_status_xa=1\r\n"
    "window_status_offline=1\r\n"
    "window_onlineonly=1\r\n"
    "window_ignoreaway=0\r\n"
    "window_descchange=0\r\n"
    "window_eventmessage=1\r\n"
    "window_eventmessagechat=1\r\n"
    "sound_inherit=0\r\n"
    "sound_fileonline=\r\n"
    "sound_fileoffline=\r\n"
    "sound_filemessage={profile}message.wav\r\n"
    "sound_filemessagechatstart=\r\n"
    "sound_filemessagechat=\r\n"
    "sound_filefile=\r\n"
    "sound_filevoice=\r\n";

// The services kiv offers other plug-ins beside kiv/popup, created after it and destroyed after it:
// the one difference the host may see.
std::string withPopupServices(std::string record) {
    for (const char* verb : {"createService ", "destroyService "}) {
        const std::string line = std::string(verb) + "kiv/popup\n";
        std::string added;
        for (const char* name :
             {kiv::popupShowService, kiv::popupUpdateService, kiv::popupCloseService, kiv::popupProgressService})
            added += verb + std::string(name) + "\n";
        record.insert(record.find(line) + line.size(), added);
    }
    return record;
}

}  // namespace

TEST_CASE("with the extra settings at their defaults the host and the user see what they saw without them") {
    const std::string defaults = "[extra]\r\nhoverhold=0\r\nidlehold=0\r\nhistory=0\r\nmissedsummary=0\r\neventlog=0\r\n"
                                 "monitor=0\r\ngroupmessages=0\r\nquietfrom=-1\r\nquietto=-1\r\nactionmenu=0\r\n"
                                 "hotkeyclose=0\r\nhotkeyhistory=0\r\ndarkscheme=\r\n";
    const std::string expected = withPopupServices(scenarioBefore) + (settingsBefore + defaults) + filtersAfter;
    CHECK(recordScenario("extra-none", settingsWith("none.kivs", "visibletime=3\r\n")) == expected);
    // The same from a file that already holds every key, [extra] among them, as the user's would.
    CHECK(recordScenario("extra-defaults", settingsBefore + defaults) == expected);
    const std::string outOfRange =
        "[extra]\r\nhoverhold=0\r\nidlehold=-7\r\nhistory=-1\r\nmissedsummary=0\r\neventlog=0\r\nmonitor=-3\r\n"
        "groupmessages=0\r\nquietfrom=22:00\r\nquietto=-90\r\nactionmenu=0\r\nhotkeyclose=-5\r\nhotkeyhistory=x\r\n"
        "darkscheme=\r\n";
    CHECK(recordScenario("extra-out-of-range", settingsBefore + outOfRange) == expected);
}
