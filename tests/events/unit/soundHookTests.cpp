// The sound hook inside the test program, where the ignore list can be reached directly; the
// module's PlaySoundA calls go through this program's import table to kivhost's recorder.
#include <doctest.h>

#include <algorithm>

#include "events/soundHook.h"
#include "filters/filtersManager.h"
#include "importPatch.h"
#include "moduleFixture.h"
#include "recorders.h"
#include "settings/config.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

struct soundHookFixture : moduleFixture {
    std::string folder = scratchFolder("soundhook");
    std::string settingsFile = folder + "kiv.config";
    std::string filtersFile = folder + "kiv.filters.config";
    void* realPlaySound = nullptr;
    kivhost::hostCore& host = kivhost::hostCore::get();

    soundHookFixture() {
        writeFile(settingsFile, "[general]\r\nfullscreenautooff=0\r\n[sound]\r\noffmessage=1\r\n");
        writeFile(filtersFile, "[global]\r\nsound_filemessage=C:\\m.wav\r\nsound_filemessagechat=C:\\c.wav\r\n");
        kiv::plugin.settings = new kiv::config(settingsFile.c_str());
        kiv::plugin.filters = new kiv::filtersManager(filtersFile.c_str());
        realPlaySound = kivhost::patchImport(GetModuleHandleA(nullptr), "WINMM.dll", "PlaySoundA",
                                             reinterpret_cast<void*>(&kivhost::soundRecorder::playSound));
        kivhost::soundRecorder::get().clear();
        host.contacts.addContact("ala", "Ala", host.contacts.addGroup("Praca"));
        kiv::hookSoundEvent();
    }
    ~soundHookFixture() {
        kiv::unhookSoundEvent();
        kivhost::patchImport(GetModuleHandleA(nullptr), "WINMM.dll", "PlaySoundA", realPlaySound);
        delete kiv::plugin.filters;
        delete kiv::plugin.settings;
    }
    std::vector<kivhost::playedSound>& played() { return kivhost::soundRecorder::get().played; }
};

}  // namespace

TEST_CASE_FIXTURE(soundHookFixture, "an ignored contact gets no sound, not even the host's") {
    REQUIRE(realPlaySound);
    REQUIRE(host.hookCount(kiv::abi::evtSoundBefore) == 1);
    kiv::plugin.filters->addIgnored("ala");
    CHECK(host.raiseSoundEvent(2, "ala") == -1);  // although offmessage hands messages back
    CHECK(host.raiseSoundEvent(4, "ala") == -1);
    CHECK(played().empty());

    kiv::plugin.filters->removeIgnored("ala");
    CHECK(host.raiseSoundEvent(2, "ala") == 0);
    CHECK(played().empty());
    CHECK(host.raiseSoundEvent(4, "ala") == -1);
    REQUIRE(played().size() == 1);
    CHECK(played()[0].file == "C:\\c.wav");
}

TEST_CASE_FIXTURE(soundHookFixture, "settings changed while loaded apply to the next sound") {
    CHECK(host.raiseSoundEvent(2, "ala") == 0);
    kiv::plugin.settings->offmessage = false;
    CHECK(host.raiseSoundEvent(2, "ala") == -1);
    REQUIRE(played().size() == 1);
    CHECK(played()[0].file == "C:\\m.wav");
}

TEST_CASE_FIXTURE(soundHookFixture, "a missing event record is left to the host") {
    CHECK(kiv::onSoundEvent(0, 0) == 0);
    kiv::unhookSoundEvent();
    kiv::unhookSoundEvent();  // a second unhook does not reach the host again
    CHECK(host.hookCount(kiv::abi::evtSoundBefore) == 0);
    auto names = host.logNames();
    CHECK(std::count(names.begin(), names.end(), "unhookEvent Tlen/SoundEngine/BeforeEvent") == 1);
    CHECK(host.raiseSoundEvent(2, "ala") == 0);
}
