// What loading and saving the filter file costs at 10 to 5000 contact filters, against one
// ReadFile and one WriteFile of the same bytes in the same run, and what saving the settings
// file costs. The module's code is linked into the program; prints Markdown.
//
// usage: kiv_bench_files [CONTACT FILTERS...]   (default 10 100 1000 5000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchSupport.h"
#include "filters/filtersManager.h"
#include "settings/config.h"
#include "base/moduleState.h"

namespace {

using kivbench::milliseconds;

std::string section(const std::string& name, int seed) {
    static const char* const windowKeys[] = {
        "window_status_online", "window_status_chat",  "window_status_dnd", "window_status_away",
        "window_status_xa",     "window_status_offline", "window_onlineonly", "window_ignoreaway",
        "window_descchange",    "window_eventmessage", "window_eventmessagechat"};
    static const char* const soundKeys[] = {"sound_fileonline",      "sound_fileoffline", "sound_filemessage",
                                            "sound_filemessagechatstart", "sound_filemessagechat",
                                            "sound_filefile",        "sound_filevoice"};
    std::string text = "[" + name + "]\r\nwindow_inherit=0\r\n";
    for (int i = 0; i < 11; ++i) text += std::string(windowKeys[i]) + "=" + ((seed >> i) & 1 ? "1" : "0") + "\r\n";
    text += "sound_inherit=0\r\n";
    for (int i = 0; i < 7; ++i)
        text += std::string(soundKeys[i]) + "=" + (i % 2 ? "" : "C:\\Dzwieki\\kiv\\zdarzenie" + std::to_string(i) + ".wav") +
                "\r\n";
    return text;
}

std::string filterFile(int contacts) {
    std::string text = section("global", 0x5A5);
    for (int i = 0; i < contacts; ++i) text += section("contact:" + std::to_string(1000000 + i), i * 37);
    return text;
}

double rawRead(const std::string& path) {
    double start = milliseconds();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return milliseconds() - start;
}

// One write of the bytes, flushed to the disk as a save flushes them.
double rawWrite(const std::string& path, const std::string& bytes) {
    double start = milliseconds();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
    return milliseconds() - start;
}

template <class Work>
double best(int runs, Work work) {
    double fastest = 1e300;
    for (int i = 0; i < runs; ++i) fastest = std::min(fastest, work());
    return fastest;
}

std::string fileSize(size_t bytes) {
    char text[32];
    if (bytes >= 1024 * 1024) snprintf(text, sizeof text, "%.1f MB", bytes / 1048576.0);
    else snprintf(text, sizeof text, "%.1f kB", bytes / 1024.0);
    return text;
}

// Loads and saves take the best of three, as does the one read they are held against.
void measureFilters(const std::string& folder, int contacts) {
    const std::string path = folder + "kiv.filters.config";
    const std::string bytes = filterFile(contacts);
    const std::string copy = folder + "raw.copy";
    const int runs = 3;
    kivbench::writeFile(path, bytes);
    double read = best(3, [&] { return rawRead(path); });
    double write = best(3, [&] { return rawWrite(copy, bytes); });
    DeleteFileA(copy.c_str());

    double load = 1e300, save = 1e300;
    for (int i = 0; i < runs; ++i) {
        kivbench::writeFile(path, bytes);
        double start = milliseconds();
        auto* filters = new kiv::filtersManager(path.c_str());
        load = std::min(load, milliseconds() - start);
        for (int again = 0; again < 3; ++again) {
            start = milliseconds();
            filters->save();
            save = std::min(save, milliseconds() - start);
        }
        delete filters;  // saves once more
    }
    printf("| %d | %s | %.2f ms | %.1f ms | %.1f | %.2f ms | %.1f ms | %.1f |\n", contacts,
           fileSize(bytes.size()).c_str(), read, load, load / read, write, save, save / write);
    fflush(stdout);
}

const char* const settingsFile =
    "[general]\r\nsilent=0\r\nshowsilent=1\r\nfullscreenautooff=1\r\n"
    "[window]\r\nscheme=dark.kivs\r\neffect=1\r\neffectclose=1\r\nvisibletime=8\r\nrearrangewindows=1\r\n"
    "newatbegin=0\r\nshowdesc=1\r\nshowmessage=1\r\nclickclose=0\r\nclickopenchat=1\r\nmsgshowwhenbgonly=0\r\n"
    "bindpos=2\r\nbind=10,20\r\nspace=3\r\ncontactformat=2\r\nalpha=20\r\nautoheightchars=0\r\n"
    "autoheightrows=5\r\nloginignore=1\r\nmaxonscreen=6\r\n"
    "[sound]\r\nfilelogintlen=C:\\Dzwieki\\logowanie.wav\r\nfilelogingg=\r\nfileemail=C:\\Dzwieki\\poczta.wav\r\n"
    "offlogin=0\r\noffonline=0\r\noffmessage=1\r\noffmessagechatstart=0\r\noffmessagechat=0\r\noffFile=0\r\n"
    "offvoice=0\r\noffemail=0\r\n[hidden]\r\nloginignoretime=15\r\n[ztk]\r\nignoremub=0\r\nnoautoclose=0\r\n"
    "[inna]\r\nklucz=wartosc\r\n";

void measureSettings(const std::string& folder) {
    const std::string path = folder + "kiv.config";
    kivbench::writeFile(path, settingsFile);
    kiv::config settings(path.c_str());
    double save = best(5, [&] {
        settings.silent = !settings.silent;  // a save that changes nothing leaves the file alone
        double start = milliseconds();
        settings.save();
        return milliseconds() - start;
    });
    double write = best(5, [&] { return rawWrite(folder + "raw.copy", settingsFile); });
    DeleteFileA((folder + "raw.copy").c_str());
    printf("| %s | %.2f ms | %.2f ms | %.1f |\n", fileSize(strlen(settingsFile)).c_str(), write, save, save / write);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::max(1, atoi(argv[i])));
    if (sizes.empty()) sizes = {10, 100, 1000, 5000};
    kiv::plugin.instance = GetModuleHandleA(nullptr);
    kiv::plugin.hostServices = kivhost::hostCore::get().serviceTable();
    const std::string folder = kivhost::programFolder() + "bench-files\\";
    CreateDirectoryA(folder.c_str(), nullptr);

    printf("## Loading and saving the filter file\n\n");
    printf("A `[global]` section and N `[contact:ID]` sections, each with a window and a sound part of its own "
           "(20 keys). Load is the filtersManager's constructor, save its save(); the limit is one ReadFile of "
           "the whole file, and one WriteFile of the same bytes to a new file, flushed, in the same run. Best of "
           "three loads and three saves.\n\n");
    printf("| contact filters | file | ReadFile | load | load / read | WriteFile | save | save / write |\n");
    printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    fflush(stdout);
    for (int contacts : sizes) measureFilters(folder, contacts);

    printf("\n## Saving the settings file\n\n");
    printf("kiv.config with every key and one section of another program; best of five saves, each after a "
           "change of one setting, against one flushed WriteFile of the same bytes.\n\n");
    printf("| file | WriteFile | save | save / write |\n|---:|---:|---:|---:|\n");
    measureSettings(folder);
    printf("\n");
    return 0;
}
