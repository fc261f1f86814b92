// The plug-in's entries in the contact, group and status menus, opened and chosen through
// kivhost's menus as a person would.
#include <doctest.h>

#include <algorithm>

#include "dialogWatcher.h"
#include "popupMenus.h"
#include "testSupport.h"

using namespace kivtest;
using kivhost::menuSelection;
using kivhost::visibleItems;
using strings = std::vector<std::string>;
namespace abi = kiv::abi;

namespace {

const char* const contactMenu = "Tlen/CL/Element";
const char* const groupMenu = "Tlen/CL/Group";
const char* const statusMenu = "Tlen/Status";

// Praca holds ala and ola; sms is an SMS contact.
void addContacts(kivhost::hostCore& host) {
    host.contacts.clear();
    int praca = host.contacts.addGroup("Praca");
    host.contacts.addContact("ala", "Ala Kowalska", praca);
    host.contacts.addContact("ola", "Ola", praca);
    host.contacts.addContact("+48600100200", "Bramka", praca, "SMS");
}

const char* const ownFilters =
    "[contact:ola]\r\nwindow_inherit=0\r\nsound_inherit=1\r\n"
    "[group:Praca]\r\nwindow_inherit=1\r\nsound_inherit=0\r\n"
    "[group:Dom]\r\nwindow_inherit=0\r\nsound_inherit=1\r\n"
    "[group:Szkoła]\r\nwindow_inherit=0\r\nsound_inherit=1\r\n";

int itemFlags(kivhost::hostCore& host, const char* itemName) {
    const kivhost::menuItem* item = host.findMenuItem(itemName);
    return item ? item->flags : -1;
}

}  // namespace

TEST_CASE("the items are registered once at start-up and the menu callbacks leave at unload") {
    kivSession session("menus-items");
    auto& host = session.host;
    strings names;
    for (const auto& item : host.menuItems()) names.push_back(item.itemName);
    CHECK(names == strings{"kiv/menu/silent", "kiv/menu/contact/root", "kiv/menu/contact/setup",
                           "kiv/menu/contact/remove", "kiv/menu/contact/ignore", "kiv/menu/group/root",
                           "kiv/menu/group/setup", "kiv/menu/group/remove"});
    // The level each item hands back to its callback: the dialog and the removal depend on it.
    for (const auto& item : host.menuItems()) {
        CAPTURE(item.itemName);
        CHECK(item.module == session.plugin->module());
        CHECK(item.itemData == (item.menu == contactMenu ? 2 : item.menu == groupMenu ? 1 : 0));
    }
    const auto* silent = host.findMenuItem("kiv/menu/silent");
    CHECK(silent->menu == statusMenu);
    CHECK(silent->caption == "kiv / wyłącz");
    CHECK(silent->flags == 8);
    CHECK(host.findMenuItem("kiv/menu/group/remove")->caption == "przywróć domyślne");

    REQUIRE(host.menuCallbacks().size() == 2);
    CHECK(host.menuCallbacks()[0].first == contactMenu);
    CHECK(host.menuCallbacks()[1].first == groupMenu);
    session.unload();
    CHECK(host.menuCallbacks().empty());
}

TEST_CASE("the contact menu offers the kiv submenu by the selection") {
    kivSession session("menus-contact", false);
    addContacts(session.host);
    writeFile(session.filtersFile, ownFilters);
    session.start();
    const strings withoutFilter{"kiv/menu/contact/root", "kiv/menu/contact/setup", "kiv/menu/contact/ignore"};
    const strings withFilter{"kiv/menu/contact/root", "kiv/menu/contact/setup", "kiv/menu/contact/remove",
                             "kiv/menu/contact/ignore"};

    CHECK(visibleItems(contactMenu, {{"ala"}}) == withoutFilter);
    CHECK(visibleItems(contactMenu, {{"ola"}}) == withFilter);
    // Several contacts: no ignoring, and removal as soon as one of them has a filter.
    CHECK(visibleItems(contactMenu, {{"ala"}, {"ala@tlen.pl"}}) ==
          strings{"kiv/menu/contact/root", "kiv/menu/contact/setup"});
    CHECK(visibleItems(contactMenu, {{"ala"}, {"ola"}}) ==
          strings{"kiv/menu/contact/root", "kiv/menu/contact/setup", "kiv/menu/contact/remove"});
    // SMS contacts get nothing, also inside a larger selection; so does an empty selection.
    CHECK(visibleItems(contactMenu, {{"+48600100200", "SMS"}}).empty());
    CHECK(visibleItems(contactMenu, {{"ola"}, {"+48600100200", "SMS"}}).empty());
    CHECK(visibleItems(contactMenu, {}).empty());
    // A group's name is no contact filter, and contact names are no group filters.
    CHECK(visibleItems(contactMenu, {{"Praca"}}) == withoutFilter);
    CHECK(visibleItems(groupMenu, {{"ola"}}) == strings{"kiv/menu/group/root", "kiv/menu/group/setup"});
}

TEST_CASE("the group menu offers removal only for groups with a filter, also for an empty selection") {
    kivSession session("menus-group", false);
    writeFile(session.filtersFile, ownFilters);
    session.start();
    const strings setupOnly{"kiv/menu/group/root", "kiv/menu/group/setup"};
    const strings withRemove{"kiv/menu/group/root", "kiv/menu/group/setup", "kiv/menu/group/remove"};
    CHECK(visibleItems(groupMenu, {{"Znajomi"}}) == setupOnly);
    CHECK(visibleItems(groupMenu, {{"Praca"}}) == withRemove);
    CHECK(visibleItems(groupMenu, {{"Znajomi"}, {"Szkoła"}}) == withRemove);
    CHECK(visibleItems(groupMenu, {{"praca"}}) == setupOnly);  // names are case-sensitive
    CHECK(visibleItems(groupMenu, {}) == setupOnly);
    // Nothing of the plug-in's appears in the status menu's neighbours.
    CHECK(visibleItems(statusMenu, {}) == strings{"kiv/menu/silent"});

    // An empty group selection has nothing to set up: the choice returns at once, no dialog.
    kivhost::dialogWatcher anyDialog("", [](HWND dialog) { kivhost::dialogWatcher::press(dialog, IDCANCEL); });
    CHECK(kivhost::choose(groupMenu, {}, "kiv/menu/group/setup"));
    kivhost::pumpMessages(200);
    CHECK(anyDialog.seen().empty());
}

TEST_CASE("menu events other than the opening return 0 and ask nothing of the host") {
    kivSession session("menus-events", false);
    addContacts(session.host);
    writeFile(session.filtersFile, ownFilters);
    session.start();
    session.host.log.clear();
    for (int event : {0, 2, 3, -1}) {
        kivhost::menuOpening opening(contactMenu, {{"ola"}});
        CHECK(opening.notify(event) == std::vector<int>{0});
        CHECK(opening.offeredItems().empty());
    }
    CHECK(session.host.log.empty());
    kivhost::menuOpening opening(contactMenu, {{"ola"}});
    CHECK(opening.notify(1) == std::vector<int>{1});
}

TEST_CASE("ignoring a contact turns over with each choice, shows as a check mark and ends with the plug-in") {
    kivSession session("menus-ignore");
    auto& host = session.host;
    addContacts(host);
    const char* ignore = "kiv/menu/contact/ignore";

    visibleItems(contactMenu, {{"ala"}});
    CHECK(itemFlags(host, ignore) == 0);
    CHECK(kivhost::choose(contactMenu, {{"ala"}}, ignore));
    visibleItems(contactMenu, {{"ala"}});
    CHECK(itemFlags(host, ignore) == 2);
    visibleItems(contactMenu, {{"ola"}});  // the mark follows whoever is selected
    CHECK(itemFlags(host, ignore) == 0);
    CHECK(kivhost::choose(contactMenu, {{"ala"}}, ignore));
    visibleItems(contactMenu, {{"ala"}});
    CHECK(itemFlags(host, ignore) == 0);

    // The choice is only offered for one contact at a time.
    CHECK_FALSE(kivhost::choose(contactMenu, {{"ala"}, {"ola"}}, ignore));

    CHECK(kivhost::choose(contactMenu, {{"ola"}}, ignore));
    session.unload();
    CHECK(readFile(session.filtersFile).find("ola") == std::string::npos);
    session.start();
    visibleItems(contactMenu, {{"ola"}});
    CHECK(itemFlags(host, ignore) == 0);
}

TEST_CASE("restoring the defaults of two groups drops both filters from the file at once") {
    kivSession session("menus-remove", false);
    writeFile(session.filtersFile, ownFilters);
    session.start();
    CHECK(kivhost::choose(groupMenu, {{"Praca"}, {"Dom"}}, "kiv/menu/group/remove"));
    const std::string& f = session.filtersFile;
    CHECK(iniValue(f, "group:Praca", "sound_inherit") == "<missing>");
    CHECK(iniValue(f, "group:Dom", "window_inherit") == "<missing>");
    CHECK(iniValue(f, "group:Szkoła", "window_inherit") == "0");
    CHECK(iniValue(f, "contact:ola", "window_inherit") == "0");
    CHECK(visibleItems(groupMenu, {{"Praca"}, {"Dom"}}) ==
          strings{"kiv/menu/group/root", "kiv/menu/group/setup"});

    addContacts(session.host);
    CHECK(kivhost::choose(contactMenu, {{"ola"}}, "kiv/menu/contact/remove"));
    CHECK(iniValue(f, "contact:ola", "window_inherit") == "<missing>");
}

TEST_CASE("the status menu's switch silences the plug-in and saves the setting at once") {
    kivSession session("menus-silent");
    auto& host = session.host;
    const char* silent = "kiv/menu/silent";
    CHECK(kivhost::choose(statusMenu, {}, silent));
    CHECK(itemFlags(host, silent) == 10);
    CHECK(session.service("kiv/getsilent") == 1);
    CHECK(iniValue(session.settingsFile, "general", "silent") == "1");

    // The service moves the check mark with the setting, and the switch keeps working after it.
    CHECK(session.service("kiv/setsilent", 0) == 0);
    CHECK(itemFlags(host, silent) == 8);
    CHECK(session.service("kiv/setsilent", 3) == 1);
    CHECK(itemFlags(host, silent) == 10);
    CHECK(kivhost::choose(statusMenu, {}, silent));
    CHECK(itemFlags(host, silent) == 8);
    CHECK(session.service("kiv/getsilent") == 0);
    CHECK(iniValue(session.settingsFile, "general", "silent") == "0");
}

TEST_CASE("the switch starts checked when the plug-in starts silent, and is absent without showsilent") {
    {
        kivSession session("menus-silent-on", false);
        writeFile(session.settingsFile, "[general]\r\nsilent=1\r\n");
        session.start();
        CHECK(itemFlags(session.host, "kiv/menu/silent") == 10);
    }
    kivSession session("menus-silent-hidden", false);
    writeFile(session.settingsFile, "[general]\r\nshowsilent=0\r\n");
    session.start();
    CHECK(session.host.findMenuItem("kiv/menu/silent") == nullptr);
    CHECK(visibleItems(statusMenu, {}).empty());
    session.host.log.clear();
    CHECK(session.service("kiv/setsilent", 1) == 1);
    CHECK(session.service("kiv/getsilent") == 1);
    for (const auto& call : session.host.log) CHECK(call.what != "Tlen/ChangeMenuItem");
}

TEST_CASE("kivhost's popup shows the offered items under a kiv submenu, with the check marks") {
    kivSession session("menus-popup");
    addContacts(session.host);
    kivhost::choose(contactMenu, {{"ala"}}, "kiv/menu/contact/ignore");

    kivhost::menuOpening opening(contactMenu, {{"ala"}});
    opening.notify(1);
    HMENU menu = opening.build();
    REQUIRE(menu);
    REQUIRE(GetMenuItemCount(menu) == 1);
    char caption[64] = "";
    GetMenuStringA(menu, 0, caption, sizeof caption, MF_BYPOSITION);
    CHECK(std::string(caption) == "kiv");
    HMENU submenu = GetSubMenu(menu, 0);
    REQUIRE(submenu);
    REQUIRE(GetMenuItemCount(submenu) == 2);
    GetMenuStringA(submenu, 0, caption, sizeof caption, MF_BYPOSITION);
    CHECK(std::string(caption) == "ustawienia...");
    GetMenuStringA(submenu, 1, caption, sizeof caption, MF_BYPOSITION);
    CHECK(std::string(caption) == "ignoruj");
    CHECK((GetMenuState(submenu, 1, MF_BYPOSITION) & MF_CHECKED) != 0);
    CHECK((GetMenuState(submenu, 0, MF_BYPOSITION) & MF_CHECKED) == 0);
    DestroyMenu(menu);
}
