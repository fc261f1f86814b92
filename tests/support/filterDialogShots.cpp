// Pictures of the filter dialog for a contact, a group and the global filter, taken from the
// screen while each dialog is open, written as BMP files into the current folder. The module's
// code runs in this program, with kivhost's contact list as the host's.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialogWatcher.h"
#include "pluginLoader.h"
#include "windowProbe.h"
#include "filters/filtersManager.h"
#include "hostCore.h"
#include "base/moduleState.h"
#include "base/text.h"
#include "ui/filterSetup.h"

namespace {

const char* const sampleFilters =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nwindow_status_chat=1\r\n"
    "window_status_dnd=0\r\nwindow_status_away=1\r\nwindow_status_xa=0\r\nwindow_status_offline=0\r\n"
    "window_onlineonly=1\r\nwindow_ignoreaway=1\r\nwindow_descchange=0\r\nwindow_eventmessage=1\r\n"
    "window_eventmessagechat=0\r\nsound_inherit=0\r\n"
    "sound_fileonline=C:\\Dźwięki\\dostępny.wav\r\nsound_fileoffline=C:\\Dźwięki\\niedostępny.wav\r\n"
    "sound_filemessage=C:\\Dźwięki\\wiadomość.wav\r\nsound_filemessagechatstart=\r\n"
    "sound_filemessagechat=C:\\Dźwięki\\czat.wav\r\nsound_filefile=\r\nsound_filevoice=\r\n"
    "[group:Przyjaciele]\r\nwindow_inherit=1\r\nsound_inherit=0\r\n"
    "sound_fileonline=D:\\Muzyka\\gong.wav\r\nsound_fileoffline=\r\nsound_filemessage=D:\\Muzyka\\dzwonek.wav\r\n"
    "sound_filemessagechatstart=\r\nsound_filemessagechat=\r\nsound_filefile=D:\\Muzyka\\plik.wav\r\n"
    "sound_filevoice=\r\n"
    "[contact:zosia.wojcik]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nwindow_status_chat=1\r\n"
    "window_status_dnd=1\r\nwindow_status_away=0\r\nwindow_status_xa=0\r\nwindow_status_offline=1\r\n"
    "window_onlineonly=0\r\nwindow_ignoreaway=0\r\nwindow_descchange=1\r\nwindow_eventmessage=1\r\n"
    "window_eventmessagechat=1\r\nsound_inherit=1\r\npriority=1\r\n";

std::string currentFolder() {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    return kivhost::asFolder(folder);
}

// Opens the dialog, waits for it to be drawn, takes its picture and closes it.
bool shoot(int level, std::vector<std::string> names, const std::string& file) {
    bool saved = false;
    kivhost::dialogWatcher watcher("Ustawienia powiadomień", [&](HWND dialog) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(1500);
        saved = kivhost::saveBmp(kivhost::captureScreen(kivhost::windowRect(dialog)), file);
        kivhost::dialogWatcher::press(dialog, IDCANCEL);
    });
    kiv::filterSetup::show(level, std::move(names));
    printf("%s %s\n", saved ? "wrote" : "could not write", file.c_str());
    return saved;
}

}  // namespace

int main() {
    std::string folder = currentFolder();
    kivhost::hostCore& host = kivhost::hostCore::get();
    kiv::plugin.instance = GetModuleHandleA(nullptr);
    kiv::plugin.hostServices = host.serviceTable();
    host.mainWindow();
    int friends = host.contacts.addGroup("Przyjaciele");
    host.contacts.addContact("zosia.wojcik", "Zosia Wójcik", friends);

    std::string filtersFile = folder + "kiv.filters.config";
    DeleteFileA(filtersFile.c_str());
    FILE* sample = fopen(filtersFile.c_str(), "wb");
    if (!sample) return 1;
    fputs(sampleFilters, sample);
    fclose(sample);
    kiv::copyText(kiv::plugin.filtersPath, filtersFile.c_str());
    kiv::plugin.filters = new kiv::filtersManager(kiv::plugin.filtersPath);

    bool ok = shoot(2, {"zosia.wojcik"}, folder + "filter-dialog-contact.bmp");
    ok = shoot(1, {"Przyjaciele"}, folder + "filter-dialog-group.bmp") && ok;
    ok = shoot(0, {"globalne"}, folder + "filter-dialog-global.bmp") && ok;

    delete kiv::plugin.filters;
    kiv::plugin.filters = nullptr;
    DeleteFileA(filtersFile.c_str());
    return ok ? 0 : 1;
}
