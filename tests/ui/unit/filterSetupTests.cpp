// The filter dialog in-process: the global level (opened from the options page, not a menu), the
// caption, the folder rewrite at its limit, and the requests made to the system's choosers, which
// are answered here through the test program's import table instead of on the screen.
#include <doctest.h>

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "dialogDriving.h"
#include "filters/filtersManager.h"
#include "importPatch.h"
#include "moduleFixture.h"
#include "base/text.h"
#include "testSupport.h"
#include "ui/fileChoosers.h"
#include "ui/filterSetup.h"

using namespace kivtest;

namespace {

struct filterFixture : moduleFixture {
    explicit filterFixture(const std::string& name, const std::string& content = "") {
        file = scratchFolder(name) + "kiv.filters.config";
        if (!content.empty()) writeFile(file, content);
        kiv::copyText(kiv::plugin.filtersPath, file.c_str());
        kiv::plugin.filters = new kiv::filtersManager(kiv::plugin.filtersPath);
    }
    ~filterFixture() {
        delete kiv::plugin.filters;
        kiv::plugin.filters = nullptr;
    }

    // Opens the dialog; the driver runs on it and closes it. The caption seen, or "" for none.
    std::string run(int level, std::vector<std::string> names, kivhost::dialogWatcher::action driver) {
        dialogGuard guard;
        kivhost::dialogWatcher watcher("Ustawienia powiadomień", std::move(driver));
        kiv::filterSetup::show(level, std::move(names));
        CHECK_FALSE(guard.fired());
        auto seen = watcher.seen();
        return seen.empty() ? "" : seen.front().caption;
    }

    std::string file;
};

// Points one import of this test program elsewhere while it lives.
class importSwap {
public:
    importSwap(const char* dll, const char* function, void* replacement) : dll_(dll), function_(function) {
        previous_ = kivhost::patchImport(GetModuleHandleA(nullptr), dll, function, replacement);
    }
    ~importSwap() {
        if (previous_) kivhost::patchImport(GetModuleHandleA(nullptr), dll_, function_, previous_);
    }
    importSwap(const importSwap&) = delete;
    importSwap& operator=(const importSwap&) = delete;
    bool active() const { return previous_ != nullptr; }

private:
    const char* dll_;
    const char* function_;
    void* previous_ = nullptr;
};

// ---- the open-file dialog, answered without a screen ----

struct openFileCall {
    DWORD size = 0;
    HWND owner = nullptr;
    std::string types;  // the filter list, zeros shown as '|'
    DWORD bufferSize = 0;
    DWORD flags = 0;
    std::string startedFrom;
};
openFileCall lastOpenFile;
const char* openFileAnswer = nullptr;  // null: the user cancels

BOOL WINAPI fakeGetOpenFileName(OPENFILENAMEA* request) {
    lastOpenFile.size = request->lStructSize;
    lastOpenFile.owner = request->hwndOwner;
    lastOpenFile.types.clear();
    for (const char* p = request->lpstrFilter; p && *p; p += strlen(p) + 1) lastOpenFile.types += std::string(p) + "|";
    lastOpenFile.bufferSize = request->nMaxFile;
    lastOpenFile.flags = request->Flags;
    lastOpenFile.startedFrom = request->lpstrFile;
    if (!openFileAnswer) return FALSE;
    kiv::copyText(request->lpstrFile, request->nMaxFile, openFileAnswer);
    return TRUE;
}

// ---- the folder browser, answered without a screen ----

struct folderCall {
    HWND owner = nullptr;
    bool fromDesktop = false;
    std::string title;
    UINT flags = 0;
    void* returned = nullptr;
    void* freed = nullptr;
};
folderCall lastFolder;
bool folderPicked = true;
const char* folderPath = "D:\\snd";  // null: a folder without a file-system path

PIDLIST_ABSOLUTE WINAPI fakeBrowseForFolder(BROWSEINFOA* request) {
    lastFolder.owner = request->hwndOwner;
    lastFolder.fromDesktop = request->pidlRoot == nullptr;
    lastFolder.title = request->lpszTitle ? request->lpszTitle : "";
    lastFolder.flags = request->ulFlags;
    lastFolder.returned = folderPicked ? CoTaskMemAlloc(16) : nullptr;
    return static_cast<PIDLIST_ABSOLUTE>(lastFolder.returned);
}

BOOL WINAPI fakePathFromIdList(PCIDLIST_ABSOLUTE, LPSTR path) {
    if (!folderPath) return FALSE;
    kiv::copyText(path, MAX_PATH, folderPath);
    return TRUE;
}

// The real function, not through the import table this test has pointed here.
void WINAPI fakeTaskMemFree(void* memory) {
    lastFolder.freed = memory;
    using freeFn = void(WINAPI*)(void*);
    auto realFree = reinterpret_cast<freeFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ole32.dll"), "CoTaskMemFree")));
    realFree(memory);
}

struct folderBrowser {
    importSwap browse{"shell32.dll", "SHBrowseForFolderA", reinterpret_cast<void*>(&fakeBrowseForFolder)};
    importSwap path{"shell32.dll", "SHGetPathFromIDListA", reinterpret_cast<void*>(&fakePathFromIdList)};
    importSwap free{"ole32.dll", "CoTaskMemFree", reinterpret_cast<void*>(&fakeTaskMemFree)};
    folderBrowser() {
        lastFolder = folderCall();
        folderPicked = true;
        folderPath = "D:\\snd";
    }
};

// A window with one edit, as the choosers see a dialog.
struct editHost {
    editHost() {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, parent, reinterpret_cast<HMENU>(editId), nullptr,
                        nullptr);
    }
    ~editHost() { DestroyWindow(parent); }
    editHost(const editHost&) = delete;
    editHost& operator=(const editHost&) = delete;
    std::string text() const {
        char value[512] = "";
        GetDlgItemTextA(parent, editId, value, sizeof value);
        return value;
    }
    static constexpr int editId = 1009;
    HWND parent;
};

}  // namespace

TEST_CASE("the global dialog edits the global filter: no inherit boxes, no inherited-value buttons") {
    filterFixture fixture("setup-global",
                          "[global]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nsound_inherit=0\r\n"
                          "sound_fileonline=C:\\on.wav\r\n");
    struct {
        bool inheritShown = true, anyInheritedEnabled = false, editsEnabled = false, windowEnabled = false;
        std::string online;
    } seen;
    std::string caption = fixture.run(0, {"globalne"}, [&](HWND dialog) {
        seen.inheritShown = isShown(dialog, 1027) || isShown(dialog, 1026);
        for (int id = 1035; id <= 1047; id += 2) seen.anyInheritedEnabled |= isEnabled(dialog, id);
        seen.editsEnabled = isEnabled(dialog, 1009) && isEnabled(dialog, 1013) && isEnabled(dialog, 1048);
        seen.windowEnabled = isEnabled(dialog, 1000) && isEnabled(dialog, 1028);
        seen.online = controlText(dialog, 1009);
        setCheck(dialog, 1005, true);
        typeText(dialog, 1013, "C:\\rozmowa.wav");
        click(dialog, IDOK);
    });
    CHECK(caption == "Ustawienia powiadomień: globalne");
    CHECK_FALSE(seen.inheritShown);
    CHECK_FALSE(seen.anyInheritedEnabled);
    CHECK(seen.editsEnabled);
    CHECK(seen.windowEnabled);
    CHECK(seen.online == "C:\\on.wav");
    CHECK(iniValue(fixture.file, "global", "window_inherit") == "0");
    CHECK(iniValue(fixture.file, "global", "sound_inherit") == "0");
    CHECK(iniValue(fixture.file, "global", "window_status_online") == "1");
    CHECK(iniValue(fixture.file, "global", "window_status_offline") == "1");
    CHECK(iniValue(fixture.file, "global", "sound_fileonline") == "C:\\on.wav");
    CHECK(iniValue(fixture.file, "global", "sound_filevoice") == "C:\\rozmowa.wav");
}

TEST_CASE("the caption names the contact, an unknown one by its identifier, and stops at 255 characters") {
    filterFixture fixture("setup-caption");
    auto& contacts = kivhost::hostCore::get().contacts;
    int group = contacts.addGroup("Praca");
    contacts.addContact("ala", "Ala", group);
    contacts.addContact("long", std::string(300, 'n'), group);
    auto cancel = [](HWND dialog) { click(dialog, IDCANCEL); };

    CHECK(fixture.run(2, {"ala"}, cancel) == "Ustawienia powiadomień: Ala (ala)");
    CHECK(fixture.run(2, {"kto@tlen.pl"}, cancel) == "Ustawienia powiadomień: kto@tlen.pl");
    std::string longCaption = fixture.run(2, {"long"}, cancel);
    CHECK(longCaption.size() == 255);
    CHECK(longCaption.rfind("Ustawienia powiadomień: nnn", 0) == 0);
    CHECK(fixture.run(1, {std::string(400, 'g')}, cancel).size() == 255);
    // Nothing to edit, no dialog.
    CHECK(fixture.run(2, {}, cancel) == "");
}

TEST_CASE("changing the folder leaves a row whose new path would pass 1023 characters as it was") {
    filterFixture fixture("setup-folder-limit");
    folderBrowser browser;
    // "D:\snd\" is 7 characters: a name of 1016 makes 1023, one of 1017 makes 1024.
    std::string fits = "E:\\" + std::string(1016, 'f');
    std::string tooLong = "E:\\" + std::string(1017, 't');
    std::string rows[3];
    fixture.run(0, {"globalne"}, [&](HWND dialog) {
        typeText(dialog, 1009, fits);
        typeText(dialog, 1010, tooLong);
        typeText(dialog, 1011, "C:/dźwięki/ding.wav");
        click(dialog, 1048);
        rows[0] = controlText(dialog, 1009);
        rows[1] = controlText(dialog, 1010);
        rows[2] = controlText(dialog, 1011);
        click(dialog, IDCANCEL);
    });
    CHECK(rows[0] == "D:\\snd\\" + std::string(1016, 'f'));
    CHECK(rows[1] == tooLong);
    CHECK(rows[2] == "D:\\snd\\ding.wav");
    CHECK(lastFolder.title == "Wybierz folder");
    CHECK(lastFolder.owner != nullptr);
}

TEST_CASE("the open-file request: the record size by system version, the file types and the flags") {
    moduleFixture fixture;
    importSwap swap("comdlg32.dll", "GetOpenFileNameA", reinterpret_cast<void*>(&fakeGetOpenFileName));
    REQUIRE(swap.active());
    editHost dialog;
    SetDlgItemTextA(dialog.parent, editHost::editId, "C:\\stary.wav");

    kiv::plugin.systemMajorVersion = 4;
    openFileAnswer = "C:\\nowy.wav";
    CHECK(kiv::chooseSoundFile(dialog.parent, editHost::editId));
    CHECK(lastOpenFile.size == 76);
    CHECK(lastOpenFile.owner == dialog.parent);
    CHECK(lastOpenFile.types == "pliki WAV|*.wav|wszystkie pliki|*.*|");
    CHECK(lastOpenFile.bufferSize == 260);
    CHECK(lastOpenFile.flags == (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_DONTADDTORECENT));
    CHECK(lastOpenFile.startedFrom == "C:\\stary.wav");
    CHECK(dialog.text() == "C:\\nowy.wav");

    kiv::plugin.systemMajorVersion = 5;
    openFileAnswer = nullptr;
    CHECK_FALSE(kiv::chooseSoundFile(dialog.parent, editHost::editId));
    CHECK(lastOpenFile.size == 88);
    CHECK(lastOpenFile.startedFrom == "C:\\nowy.wav");
    CHECK(dialog.text() == "C:\\nowy.wav");
}

TEST_CASE("the folder browser: titled, from the desktop, and its answer always freed") {
    moduleFixture fixture;
    folderBrowser browser;
    REQUIRE(browser.browse.active());
    REQUIRE(browser.free.active());
    HWND owner = kivhost::hostCore::get().mainWindow();
    char folder[MAX_PATH] = "unchanged";

    CHECK(kiv::chooseFolder(owner, folder));
    CHECK(std::string(folder) == "D:\\snd");
    CHECK(lastFolder.owner == owner);
    CHECK(lastFolder.fromDesktop);
    CHECK(lastFolder.title == "Wybierz folder");
    CHECK(lastFolder.flags == 0);
    CHECK(lastFolder.freed == lastFolder.returned);

    // A pick without a file-system path (a printer, the network) is no folder.
    folderPath = nullptr;
    lastFolder.freed = nullptr;
    kiv::copyText(folder, "unchanged");
    CHECK_FALSE(kiv::chooseFolder(owner, folder));
    CHECK(std::string(folder) == "unchanged");
    CHECK(lastFolder.freed == lastFolder.returned);

    folderPicked = false;
    CHECK_FALSE(kiv::chooseFolder(owner, folder));
    CHECK(std::string(folder) == "unchanged");
}
