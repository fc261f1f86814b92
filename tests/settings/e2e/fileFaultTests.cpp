// Saves that go wrong around the module: a read-only file, a file held by another program, a full
// disk, a process stopped in the middle. Each file is afterwards either byte for byte what it was
// or complete in its new form, never a mix and never gone, and the module keeps working.
#include <doctest.h>

#include <string>

#include "fileFaults.h"
#include "hostCore.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

// Files that unloading rewrites: the settings gain every key, the filter sections their full form.
const std::string oldSettings = "[general]\r\nsilent=1\r\n[inna wtyczka]\r\nklucz=wartość\r\n";
const std::string oldFilters =
    "[global]\r\nwindow_inherit=0\r\nwindow_eventmessage=1\r\nsound_inherit=0\r\n"
    "[Contact:ala]\r\nwindow_inherit=0\r\nsound_inherit=1\r\n";

struct savedFiles {
    std::string settings, filters;
};

// One session from the old files, with the fault set up by arrange, ended by unloading.
template <class Arrange>
savedFiles unloadWith(const std::string& name, Arrange arrange) {
    kivSession session(name, false);
    writeFile(session.settingsFile, oldSettings);
    writeFile(session.filtersFile, oldFilters);
    arrange(session);
    REQUIRE(session.plugin->running());
    session.unload();
    kivhost::fileFaults::get().clear();
    CHECK_FALSE(fileExists(session.settingsFile + ".tmp"));
    CHECK_FALSE(fileExists(session.filtersFile + ".tmp"));
    return {readFile(session.settingsFile), readFile(session.filtersFile)};
}

savedFiles healthySave() {
    return unloadWith("faults-healthy", [](kivSession& s) { s.start(); });
}

// What the files hold is what a later session starts from and saves again, completely.
void keepsWorking(const std::string& name, const savedFiles& left, const savedFiles& healthy) {
    kivSession session(name, false);
    writeFile(session.settingsFile, left.settings);
    writeFile(session.filtersFile, left.filters);
    session.start();
    REQUIRE(session.plugin->running());
    session.unload();
    CHECK(readFile(session.settingsFile) == healthy.settings);
    CHECK(readFile(session.filtersFile) == healthy.filters);
}

bool oldOrNew(const std::string& bytes, const std::string& old, const std::string& complete) {
    return bytes == old || bytes == complete;
}

// A handle on the file as another program would hold it.
class heldFile {
public:
    heldFile(const std::string& path, DWORD sharing)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~heldFile() { release(); }
    heldFile(const heldFile&) = delete;
    heldFile& operator=(const heldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void release() {
        if (held()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

}  // namespace

TEST_CASE("a healthy save rewrites both files, which load and save again the same") {
    savedFiles healthy = healthySave();
    CHECK(healthy.settings != oldSettings);
    CHECK(healthy.settings.find("[inna wtyczka]\r\nklucz=wartość\r\n") != std::string::npos);
    CHECK(healthy.filters != oldFilters);
    keepsWorking("faults-again", healthy, healthy);
}

TEST_CASE("read-only files are left exactly as they were") {
    const savedFiles healthy = healthySave();
    savedFiles left = unloadWith("faults-read-only", [](kivSession& s) {
        SetFileAttributesA(s.settingsFile.c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA(s.filtersFile.c_str(), FILE_ATTRIBUTE_READONLY);
        s.start();
    });
    CHECK(left.settings == oldSettings);
    CHECK(left.filters == oldFilters);
    keepsWorking("faults-read-only-after", left, healthy);
}

TEST_CASE("files held open by another program keep their old or complete new contents") {
    const savedFiles healthy = healthySave();
    for (DWORD sharing : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        CAPTURE(sharing);
        std::unique_ptr<heldFile> settings, filters;
        savedFiles left = unloadWith("faults-held", [&](kivSession& s) {
            s.start();
            settings = std::make_unique<heldFile>(s.settingsFile, sharing);
            filters = std::make_unique<heldFile>(s.filtersFile, sharing);
            REQUIRE(settings->held());
            REQUIRE(filters->held());
        });
        settings.reset();
        filters.reset();
        CHECK(oldOrNew(left.settings, oldSettings, healthy.settings));
        CHECK(oldOrNew(left.filters, oldFilters, healthy.filters));
        keepsWorking("faults-held-after", left, healthy);
    }
}

TEST_CASE("files that could not be read at start-up are never written over") {
    const savedFiles healthy = healthySave();
    savedFiles left = unloadWith("faults-held-at-start", [](kivSession& s) {
        heldFile settings(s.settingsFile, 0);
        heldFile filters(s.filtersFile, 0);
        REQUIRE(settings.held());
        s.start();
    });
    CHECK(left.settings == oldSettings);
    CHECK(left.filters == oldFilters);
    keepsWorking("faults-held-at-start-after", left, healthy);
}

TEST_CASE("a disk that fills up part-way leaves each file old or complete") {
    const savedFiles healthy = healthySave();
    const DWORD first = static_cast<DWORD>(healthy.filters.size());  // the filters are saved first
    for (DWORD space : {DWORD{0}, DWORD{1}, first / 2, first - 1, first, first + 10,
                        first + static_cast<DWORD>(healthy.settings.size()) - 1}) {
        CAPTURE(space);
        savedFiles left = unloadWith("faults-disk-full", [space](kivSession& s) {
            s.start();
            kivhost::fileFaults::get().fillDiskAfter(space);
        });
        CHECK(left.filters == (space >= first ? healthy.filters : oldFilters));
        CHECK(left.settings == oldSettings);
        keepsWorking("faults-disk-full-after", left, healthy);
    }
}

TEST_CASE("a process stopped at any write leaves each file old or complete") {
    const savedFiles healthy = healthySave();
    const std::string script = scratchFolder("faults-stopped-script") + "unload.kivscript";
    writeFile(script, "load\r\nunload\r\n");
    // The writes of an unload: the filters' temporary file and its move, then the settings'.
    for (int step = 1; step <= 5; ++step) {
        CAPTURE(step);
        const std::string profile = scratchFolder("faults-stopped");
        writeFile(profile + "kiv.config", oldSettings);
        writeFile(profile + "kiv.filters.config", oldFilters);
        kivhostProcess child(profile, script, "--stop-at-write " + std::to_string(step));
        REQUIRE(child.started());
        const DWORD code = child.finish(60000);
        CHECK(code == (step <= 4 ? kivhost::fileFaults::stoppedExitCode : 0));
        savedFiles left = {readFile(profile + "kiv.config"), readFile(profile + "kiv.filters.config")};
        CHECK(left.filters == (step >= 3 ? healthy.filters : oldFilters));
        CHECK(left.settings == (step >= 5 ? healthy.settings : oldSettings));
        keepsWorking("faults-stopped-after", left, healthy);
    }
}
