// The filter dialog, opened from the contact and group menus and driven through its controls
// while it runs modally; what it stored is read back from the filter file.
#include <doctest.h>

#include "dialogDriving.h"
#include "popupMenus.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

const char* const contactMenu = "Tlen/CL/Element";
const char* const groupMenu = "Tlen/CL/Group";
const char* const caption = "Ustawienia powiadomień: ";

// The dialog's controls.
constexpr int online = 1000, offline = 1005, onlineOnly = 1006, messageNormal = 1019, messageChat = 1028;
constexpr int windowInherit = 1027, soundInherit = 1026, changeFolder = 1048, priority = 1049;
constexpr int onlineEdit = 1009, onlineBrowse = 1014, onlinePlay = 1034, onlineClear = 1020, onlineInherited = 1035;
constexpr int offlineEdit = 1010, offlineClear = 1021, offlineInherited = 1037;
constexpr int messageEdit = 1011, chatStartEdit = 1024, voiceEdit = 1013;

// Praca (ala, ola) takes its windows from the global filter and has its own sounds; Dom has no
// filter. ola has her own window part.
const char* const standardFilters =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nwindow_status_offline=0\r\n"
    "sound_inherit=0\r\nsound_fileonline=C:\\global\\on.wav\r\nsound_fileoffline=C:\\global\\off.wav\r\n"
    "[group:Praca]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_fileonline=\r\n"
    "sound_fileoffline=C:\\praca\\off.wav\r\n"
    "[contact:ola]\r\nwindow_inherit=0\r\nwindow_status_online=0\r\nwindow_status_offline=1\r\n"
    "sound_inherit=1\r\n";

struct dialogSession : kivSession {
    explicit dialogSession(const std::string& name, const char* filters = standardFilters) : kivSession(name, false) {
        host.contacts.clear();
        int praca = host.contacts.addGroup("Praca");
        int dom = host.contacts.addGroup("Dom");
        host.contacts.addContact("ala", "Ala Kowalska", praca);
        host.contacts.addContact("ola", "Ola", praca);
        host.contacts.addContact("ewa", "Ewa", dom);
        writeFile(filtersFile, filters);
        start();
    }

    // Chooses "ustawienia..." for the selection; the driver runs on the dialog and must close it.
    // The captions of the filter dialogs seen, in order.
    std::vector<std::string> setup(const char* menu, const kivhost::menuSelection& selection,
                                   kivhost::dialogWatcher::action driver) {
        dialogGuard guard;
        kivhost::dialogWatcher watcher("Ustawienia powiadomień", std::move(driver));
        const char* item = menu == std::string(contactMenu) ? "kiv/menu/contact/setup" : "kiv/menu/group/setup";
        CHECK(kivhost::choose(menu, selection, item));
        CHECK_FALSE(guard.fired());
        std::vector<std::string> captions;
        for (const auto& seen : watcher.seen()) captions.push_back(seen.caption);
        return captions;
    }

    std::string value(const char* section, const char* key) const { return iniValue(filtersFile, section, key); }
};

}  // namespace

TEST_CASE("a contact without a filter shows what it inherits, greyed, and OK leaves it without one") {
    dialogSession session("dialog-inherits");
    struct {
        bool windowInherits, soundInherits, onlineChecked, offlineChecked;
        bool anyWindowEnabled, anySoundEnabled, okEnabled;
        std::string onlinePath, offlinePath;
    } seen = {};
    auto captions = session.setup(contactMenu, {{"ala"}}, [&](HWND dialog) {
        seen.windowInherits = isChecked(dialog, windowInherit);
        seen.soundInherits = isChecked(dialog, soundInherit);
        seen.onlineChecked = isChecked(dialog, online);
        seen.offlineChecked = isChecked(dialog, offline);
        for (int id : {online, offline, onlineOnly, messageNormal, messageChat})
            seen.anyWindowEnabled |= isEnabled(dialog, id);
        for (int id : {onlineEdit, onlineBrowse, onlinePlay, onlineClear, onlineInherited, changeFolder, voiceEdit})
            seen.anySoundEnabled |= isEnabled(dialog, id);
        seen.okEnabled = isEnabled(dialog, IDOK) && isEnabled(dialog, IDCANCEL) && isEnabled(dialog, windowInherit);
        seen.onlinePath = controlText(dialog, onlineEdit);
        seen.offlinePath = controlText(dialog, offlineEdit);
        click(dialog, IDOK);
    });
    CHECK(captions == std::vector<std::string>{std::string(caption) + "Ala Kowalska (ala)"});
    CHECK(seen.windowInherits);
    CHECK(seen.soundInherits);
    CHECK(seen.onlineChecked);  // the global window part
    CHECK_FALSE(seen.offlineChecked);
    CHECK_FALSE(seen.anyWindowEnabled);
    CHECK_FALSE(seen.anySoundEnabled);
    CHECK(seen.okEnabled);
    CHECK(seen.onlinePath == "");  // the group's own sounds, not the global ones
    CHECK(seen.offlinePath == "C:\\praca\\off.wav");

    CHECK(session.value("contact:ala", "window_inherit") == "<missing>");
    CHECK(session.value("group:Praca", "sound_fileoffline") == "C:\\praca\\off.wav");
    CHECK(session.value("global", "sound_fileonline") == "C:\\global\\on.wav");
    CHECK(session.value("contact:ola", "window_status_offline") == "1");
}

TEST_CASE("a group given its own sounds keeps inheriting its windows") {
    dialogSession session("dialog-group");
    struct {
        bool editEnabled, inheritedEnabled, folderEnabled, windowEnabled;
        std::string startedFrom;
    } seen = {};
    auto captions = session.setup(groupMenu, {{"Dom"}}, [&](HWND dialog) {
        setCheck(dialog, soundInherit, false);
        seen.editEnabled = isEnabled(dialog, onlineEdit) && isEnabled(dialog, onlineBrowse) &&
                           isEnabled(dialog, onlinePlay) && isEnabled(dialog, onlineClear);
        seen.inheritedEnabled = isEnabled(dialog, onlineInherited);
        seen.folderEnabled = isEnabled(dialog, changeFolder);
        seen.windowEnabled = isEnabled(dialog, online);
        seen.startedFrom = controlText(dialog, offlineEdit);
        typeText(dialog, onlineEdit, "C:\\dom\\on.wav");
        click(dialog, IDOK);
    });
    CHECK(captions == std::vector<std::string>{std::string(caption) + "Dom"});
    CHECK(seen.editEnabled);
    CHECK(seen.inheritedEnabled);
    CHECK(seen.folderEnabled);
    CHECK_FALSE(seen.windowEnabled);
    CHECK(seen.startedFrom == "C:\\global\\off.wav");

    CHECK(session.value("group:Dom", "window_inherit") == "1");
    CHECK(session.value("group:Dom", "window_status_online") == "<missing>");
    CHECK(session.value("group:Dom", "sound_inherit") == "0");
    CHECK(session.value("group:Dom", "sound_fileonline") == "C:\\dom\\on.wav");
    CHECK(session.value("group:Dom", "sound_fileoffline") == "C:\\global\\off.wav");
    for (const char* key : {"sound_filemessage", "sound_filemessagechatstart", "sound_filemessagechat",
                            "sound_filefile", "sound_filevoice"})
        CHECK(session.value("group:Dom", key) == "");
    CHECK(kivhost::visibleItems(groupMenu, {{"Dom"}}).size() == 3);  // "przywróć domyślne" now too
}

TEST_CASE("checking both inherit boxes of a contact with a filter removes the filter") {
    dialogSession session("dialog-remove");
    struct {
        bool windowInherits, offlineChecked, onlineChecked, enabledBefore, enabledAfter;
    } seen = {};
    session.setup(contactMenu, {{"ola"}}, [&](HWND dialog) {
        seen.windowInherits = isChecked(dialog, windowInherit);
        seen.offlineChecked = isChecked(dialog, offline);
        seen.onlineChecked = isChecked(dialog, online);
        seen.enabledBefore = isEnabled(dialog, online);
        setCheck(dialog, windowInherit, true);
        seen.enabledAfter = isEnabled(dialog, online);
        click(dialog, IDOK);
    });
    CHECK_FALSE(seen.windowInherits);
    CHECK(seen.offlineChecked);
    CHECK_FALSE(seen.onlineChecked);
    CHECK(seen.enabledBefore);
    CHECK_FALSE(seen.enabledAfter);
    CHECK(session.value("contact:ola", "window_inherit") == "<missing>");
    CHECK(kivhost::visibleItems(contactMenu, {{"ola"}}) ==
          std::vector<std::string>{"kiv/menu/contact/root", "kiv/menu/contact/setup", "kiv/menu/contact/ignore"});
}

TEST_CASE("several contacts share the first one's values and one stored record; groups are named as such") {
    dialogSession session("dialog-several");
    bool offlineChecked = false;
    auto captions = session.setup(contactMenu, {{"ola"}, {"ala"}, {"ewa"}}, [&](HWND dialog) {
        offlineChecked = isChecked(dialog, offline);
        setCheck(dialog, onlineOnly, true);
        click(dialog, IDOK);
    });
    CHECK(captions == std::vector<std::string>{std::string(caption) + "[kontakty]"});
    CHECK(offlineChecked);
    for (const char* section : {"contact:ola", "contact:ala", "contact:ewa"}) {
        CAPTURE(section);
        CHECK(session.value(section, "window_inherit") == "0");
        CHECK(session.value(section, "window_status_offline") == "1");
        CHECK(session.value(section, "window_status_online") == "0");
        CHECK(session.value(section, "window_onlineonly") == "1");
        CHECK(session.value(section, "sound_inherit") == "1");
    }

    std::string before = readFile(session.filtersFile);
    captions = session.setup(groupMenu, {{"Dom"}, {"Praca"}}, [](HWND dialog) {
        setCheck(dialog, windowInherit, false);
        click(dialog, IDCANCEL);
    });
    CHECK(captions == std::vector<std::string>{std::string(caption) + "[grupy]"});
    CHECK(readFile(session.filtersFile) == before);
}

TEST_CASE("the inherited-value button fills only its row, from the group's effective filter") {
    const char* filters =
        "[global]\r\nwindow_inherit=0\r\nsound_inherit=0\r\nsound_fileonline=C:\\global\\on.wav\r\n"
        "sound_fileoffline=C:\\global\\off.wav\r\n"
        "[contact:ola]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_fileonline=C:\\ola\\on.wav\r\n"
        "sound_fileoffline=C:\\ola\\off.wav\r\nsound_filevoice=C:\\ola\\voice.wav\r\n";
    dialogSession session("dialog-inherited", filters);
    std::string rows[3];
    session.setup(contactMenu, {{"ola"}}, [&](HWND dialog) {
        click(dialog, offlineInherited);
        rows[0] = controlText(dialog, onlineEdit);
        rows[1] = controlText(dialog, offlineEdit);
        rows[2] = controlText(dialog, voiceEdit);
        click(dialog, IDCANCEL);
    });
    CHECK(rows[0] == "C:\\ola\\on.wav");
    CHECK(rows[1] == "C:\\global\\off.wav");
    CHECK(rows[2] == "C:\\ola\\voice.wav");
    CHECK(session.value("contact:ola", "sound_fileoffline") == "C:\\ola\\off.wav");
}

TEST_CASE("changing the folder rewrites every row in the dialog, and cancelling stores nothing") {
    const char* filters =
        "[contact:ola]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_fileonline=E:\\a\\b.wav\r\n"
        "sound_fileoffline=\r\nsound_filemessage=c.wav\r\nsound_filemessagechatstart=E:/x/y.wav\r\n";
    dialogSession session("dialog-folder", filters);
    std::string folder = scratchFolder("dialog-folder-sounds");
    folder.pop_back();
    auto browser = answerFolder(folder);
    std::string rows[4];
    session.setup(contactMenu, {{"ola"}}, [&](HWND dialog) {
        clickLater(dialog, changeFolder);
        waitFor([&] { return controlText(dialog, onlineEdit) != "E:\\a\\b.wav"; });
        rows[0] = controlText(dialog, onlineEdit);
        rows[1] = controlText(dialog, offlineEdit);
        rows[2] = controlText(dialog, messageEdit);
        rows[3] = controlText(dialog, chatStartEdit);
        click(dialog, IDCANCEL);
    });
    INFO(rows[0], " ", folder);
    CHECK(sameText(rows[0], folder + "\\b.wav"));
    CHECK(rows[1] == "");
    CHECK(sameText(rows[2], folder + "\\c.wav"));
    CHECK(sameText(rows[3], folder + "\\y.wav"));
    CHECK(session.value("contact:ola", "sound_fileonline") == "E:\\a\\b.wav");
    CHECK(session.value("contact:ola", "sound_filemessagechatstart") == "E:/x/y.wav");
}

TEST_CASE("a sound row browses for a file, plays it and clears; a long path is stored cut to 127") {
    dialogSession session("dialog-rows");
    std::string sounds = scratchFolder("dialog-rows-sounds");
    std::string wav = sounds + "dzwonek.wav";
    writeFile(wav, "RIFF");
    std::string longPath = "C:\\" + std::string(197, 'x');
    auto opener = answerOpenFile(wav);
    std::string chosen, cleared;
    session.setup(groupMenu, {{"Dom"}}, [&](HWND dialog) {
        setCheck(dialog, soundInherit, false);
        clickLater(dialog, onlineBrowse);
        waitFor([&] { return !controlText(dialog, onlineEdit).empty() &&
                             controlText(dialog, onlineEdit) != "C:\\global\\on.wav"; });
        chosen = controlText(dialog, onlineEdit);
        click(dialog, onlinePlay);
        click(dialog, offlineClear);
        cleared = controlText(dialog, offlineEdit);
        typeText(dialog, voiceEdit, longPath);
        click(dialog, IDOK);
    });
    CHECK(sameText(chosen, wav));
    CHECK(cleared == "");
    const auto& played = kivhost::soundRecorder::get().played;
    REQUIRE(played.size() == 1);
    CHECK(sameText(played[0].file, wav));
    CHECK(played[0].flags == 0x20003);
    CHECK(sameText(session.value("group:Dom", "sound_fileonline"), wav));
    CHECK(session.value("group:Dom", "sound_fileoffline") == "");
    CHECK(session.value("group:Dom", "sound_filevoice") == longPath.substr(0, 127));
}

TEST_CASE("the priority box is a contact's alone: stored from the dialog with nothing else, shown again, cleared") {
    dialogSession session("dialog-priority");
    struct {
        bool visible, checked, enabled;
    } seen[3] = {};
    session.setup(contactMenu, {{"ala"}}, [&](HWND dialog) {
        seen[0] = {IsWindowVisible(GetDlgItem(dialog, priority)) != FALSE, isChecked(dialog, priority),
                   isEnabled(dialog, priority)};
        setCheck(dialog, priority, true);
        click(dialog, IDOK);
    });
    CHECK(seen[0].visible);
    CHECK_FALSE(seen[0].checked);
    CHECK(seen[0].enabled);  // whatever the parts inherit
    CHECK(session.value("contact:ala", "window_inherit") == "1");
    CHECK(session.value("contact:ala", "sound_inherit") == "1");
    CHECK(session.value("contact:ala", "priority") == "1");
    CHECK(kivhost::visibleItems(contactMenu, {{"ala"}}).size() == 4);  // "przywróć domyślne" too

    session.setup(contactMenu, {{"ala"}}, [&](HWND dialog) {
        seen[1].checked = isChecked(dialog, priority);
        setCheck(dialog, priority, false);
        click(dialog, IDOK);
    });
    CHECK(seen[1].checked);
    CHECK(session.value("contact:ala", "window_inherit") == "<missing>");

    session.setup(groupMenu, {{"Praca"}}, [&](HWND dialog) {
        seen[2].visible = IsWindowVisible(GetDlgItem(dialog, priority)) != FALSE;
        setCheck(dialog, priority, true);  // even if it were reached
        click(dialog, IDOK);
    });
    CHECK_FALSE(seen[2].visible);
    CHECK(session.value("group:Praca", "priority") == "<missing>");
}
