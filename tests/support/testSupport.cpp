#include "testSupport.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace kivtest {

namespace {

void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(folder + name + "\\");
                RemoveDirectoryA((folder + name).c_str());
            } else {
                DeleteFileA((folder + name).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
}

}  // namespace

std::string scratchFolder(const std::string& name) {
    std::string root = kivhost::programFolder() + "scratch\\";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string folder = root + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    removeTree(folder);
    return folder;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string iniValue(const std::string& file, const char* section, const char* key) {
    char value[2048];
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file.c_str());
    return value;
}

std::vector<std::string> sectionNames(const std::string& file) {
    std::vector<char> buffer(1 << 20);
    DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    std::vector<std::string> names;
    for (const char* at = buffer.data(); at < buffer.data() + length && *at; at += strlen(at) + 1) names.push_back(at);
    return names;
}

std::string inProfile(std::string text, const std::string& profile) {
    const std::string mark = "{profile}";
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + profile.size()))
        text.replace(at, mark.size(), profile);
    return text;
}

kivSession::kivSession(const std::string& profileName, bool load) : host(kivhost::hostCore::get()) {
    host.reset();
    kivhost::soundRecorder::get().clear();
    kivhost::moduleClock::get().reset();
    profile = scratchFolder(profileName);
    settingsFile = profile + "kiv.config";
    filtersFile = profile + "kiv.filters.config";
    host.setProfile("tester", profile);
    host.mainWindow();
    plugin = std::make_unique<kivhost::pluginLoader>(kivhost::pluginLoader::defaultPath());
    if (load) start();
}

void kivSession::start() {
    if (plugin->loaded() && plugin->info(kiv::abi::minimumHostVersion)) plugin->load();
}

kivSession::~kivSession() {
    unload();
    plugin.reset();
    host.reset();
}

void kivSession::unload() {
    if (plugin && plugin->running()) plugin->unload();
}

int kivSession::service(const char* name, WPARAM wParam, LPARAM lParam) {
    return host.callPluginService(name, wParam, lParam);
}

}  // namespace kivtest
