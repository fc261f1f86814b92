// Settings and filter files saved by another editor in UTF-16 or in UTF-8 with a byte-order mark:
// the platform's profile functions read them, so the plug-in must too, act on them, and write them
// back in the same encoding, every section and value as before, characters beyond Windows-1250 too.
#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "notifySupport.h"

using namespace kivtest;

namespace {

// The lines of a file in the encoding, or none when it lacks the encoding's mark.
std::vector<std::wstring> linesOf(const std::string& bytes, const markedEncoding& e) {
    const std::wstring text = decoded(bytes, e);
    std::vector<std::wstring> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::vector<std::wstring> linesLost(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after) {
    std::vector<std::wstring> lost;
    for (const std::wstring& line : before)
        if (std::find(after.begin(), after.end(), line) == after.end()) lost.push_back(line);
    return lost;
}

// Keys and a section of another program, a sound path beyond Windows-1250 in a key of the plug-in.
const std::wstring markedSettings =
    L"[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=none.kivs\r\nvisibletime=30\r\n"
    L"[sound]\r\nfileemail=C:\\\x97F3\\poczta.wav\r\n[inna wtyczka]\r\nklucz=\x65E5\x672C i za\x017C\x00F3\x0142\x0107\r\n"
    L"[\x65E5\x672C]\r\nx=1\r\n";

// The global filter lets messages through, Praca holds them back, Zażółć lets a contact coming
// online through; Ala has a sound of her own; a contact named beyond Windows-1250 has a filter.
const std::wstring markedFilters =
    L"[global]\r\nwindow_inherit=0\r\nwindow_eventmessage=1\r\nsound_inherit=0\r\n"
    L"sound_filevoice=C:\\\x97F3\\rozmowa.wav\r\n"
    L"[group:Praca]\r\nwindow_inherit=0\r\nwindow_eventmessage=0\r\nsound_inherit=1\r\n"
    L"[group:Za\x017C\x00F3\x0142\x0107]\r\nwindow_inherit=0\r\nsound_inherit=1\r\n"
    L"[contact:ala@tlen.pl]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_filemessage={profile}d\x017Awi\x0119k.wav\r\n"
    L"[contact:\x65E5\x672C]\r\nwindow_inherit=0\r\nsound_inherit=1\r\n";

std::wstring withProfile(std::wstring text, const std::string& profile) {
    const std::wstring mark = L"{profile}";
    return text.replace(text.find(mark), mark.size(), std::wstring(profile.begin(), profile.end()));
}

}  // namespace

TEST_CASE("settings and filter files with a byte-order mark are read, used and written back in their encoding") {
    for (const markedEncoding& e : markedEncodings) {
        const std::string encodingName = e.name;
        CAPTURE(encodingName);
        kivSession session("marked-files", false);
        kivhost::contactList& contacts = session.host.contacts;
        contacts.clear();
        int work = contacts.addGroup("Praca");
        contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
        contacts.addContact("12345", "Olek", contacts.addGroup("Znajomi"), "GG");
        contacts.addContact("ewa@tlen.pl", "Ewa", contacts.addGroup("Zażółć"), "TLEN");
        writeFile(session.profile + "dźwięk.wav", "RIFF");
        const std::string settings = encoded(markedSettings, e);
        const std::string filters = encoded(withProfile(markedFilters, session.profile), e);
        writeFile(session.settingsFile, settings);
        writeFile(session.filtersFile, filters);
        writeFile(session.profile + "before.config", settings);
        writeFile(session.profile + "before.filters.config", filters);
        session.start();
        kivhost::moduleClock::get().advance(60000);

        kivhost::raiseMessage("GG", "12345", 2, "przepuszczona");
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "zatrzymana");
        CHECK(settle(1).size() == 1);
        kivhost::raiseStatusChange(change("TLEN", "ewa@tlen.pl", 1, 2));
        CHECK(settle(2).size() == 2);
        kivhost::soundRecorder::get().clear();
        session.host.raiseSoundEvent(2, "ala@tlen.pl");
        REQUIRE(kivhost::soundRecorder::get().played.size() == 1);
        CHECK(kivhost::soundRecorder::get().played[0].file == session.profile + "dźwięk.wav");
        session.unload();
        contacts.clear();

        for (const std::string& file : {std::string("kiv.config"), std::string("kiv.filters.config")}) {
            CAPTURE(file);
            const std::string before = readFile(session.profile + "before." + file.substr(4));
            const std::string after = readFile(session.profile + file);
            CHECK(after != before);  // written: new keys, the canonical form of each filter
            CHECK(linesLost(linesOf(before, e), linesOf(after, e)).empty());
            CHECK(valuesLost(profileValues(session.profile + "before." + file.substr(4)),
                             profileValues(session.profile + file)) == "");
        }
    }
}
