// The filter dialog of a contact whose identifier, name and typed paths pass every field.
#include <doctest.h>

#include <string>

#include "badInput.h"
#include "dialogDriving.h"
#include "popupMenus.h"

using namespace kivtest;

TEST_SUITE("bad input") {

TEST_CASE("the filter dialog of a contact whose identifier, name and typed paths pass every field") {
    const std::string id = std::string(1000, 'i') + "@tlen.pl", section = "contact:" + id;
    const std::string typed(1100, 's');  // past the 1024 bytes the dialog reads
    const int soundEdits[] = {1009, 1010, 1011, 1024, 1022, 1012, 1013};
    std::string saved;
    for (int run = 0; run < 2; ++run) {
        CAPTURE(run);
        kivSession session("bad-filter-dialog", false);
        session.host.contacts.clear();
        session.host.contacts.addContact(id, std::string(3000, 'n'), session.host.contacts.addGroup("Praca"));
        writeFile(session.filtersFile, run == 0 ? "[global]\r\nwindow_inherit=0\r\n" : saved);
        session.start();
        std::string caption;
        {
            dialogGuard guard;
            kivhost::dialogWatcher watcher("Ustawienia powiadomień", [&](HWND dialog) {
                setCheck(dialog, 1027, false);  // own windows
                setCheck(dialog, 1026, false);  // own sounds
                if (run == 0)
                    for (int edit : soundEdits) typeText(dialog, edit, typed);
                click(dialog, IDOK);
            });
            CHECK(kivhost::choose("Tlen/CL/Element", {{id}}, "kiv/menu/contact/setup"));
            CHECK_FALSE(guard.fired());
            REQUIRE(watcher.seen().size() == 1);
            caption = watcher.seen()[0].caption;
        }
        CHECK(caption.size() == 255);
        CHECK(heapsIntact());
        session.unload();
        session.host.contacts.clear();
        CHECK(iniValue(session.filtersFile, section.c_str(), "window_inherit") == "0");
        for (const char* key : {"sound_fileonline", "sound_filevoice"})
            CHECK(iniValue(session.filtersFile, section.c_str(), key) == typed.substr(0, 127));
        if (run == 1) CHECK(readFile(session.filtersFile) == saved);
        saved = readFile(session.filtersFile);
    }
}

}  // TEST_SUITE
