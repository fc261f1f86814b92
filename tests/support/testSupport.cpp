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

kivhostProcess::kivhostProcess(const std::string& profile, const std::string& script, const std::string& arguments) {
    // Without its last backslash, which would escape the closing quote.
    const std::string folder = profile.substr(0, profile.size() - 1);
    std::string command = "\"" + kivhost::programFolder() + "kivhost.exe\" --profile \"" + folder + "\" --script \"" +
                          script + "\" --no-pictures " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
        process_ = {};
}

kivhostProcess::~kivhostProcess() {
    if (!started()) return;
    kill();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

DWORD kivhostProcess::finish(DWORD milliseconds) {
    if (!started()) return 1;
    kivhost::pumpUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, milliseconds);
    kill();  // a child still running at this point has failed
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void kivhostProcess::kill() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
}

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

std::map<std::string, std::string> profileValues(const std::string& file) {
    std::map<std::string, std::string> values;
    std::vector<char> keys(1 << 16);
    for (const std::string& section : sectionNames(file)) {
        DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", keys.data(),
                                                static_cast<DWORD>(keys.size()), file.c_str());
        for (const char* key = keys.data(); key < keys.data() + length && *key; key += strlen(key) + 1)
            values.emplace(section + "/" + key, iniValue(file, section.c_str(), key));
    }
    return values;
}

std::string valuesLost(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after) {
    std::string lost;
    for (const auto& [key, value] : before) {
        auto found = after.find(key);
        if (found == after.end() || found->second != value) lost += key + "=" + value + "; ";
    }
    return lost;
}

const markedEncoding markedEncodings[3] = {
    {"UTF-16 LE", "\xFF\xFE", true, false},
    {"UTF-16 BE", "\xFE\xFF", true, true},
    {"UTF-8", "\xEF\xBB\xBF", false, false},
};

std::string encoded(const std::wstring& text, const markedEncoding& encoding) {
    std::string bytes = encoding.mark;
    if (!encoding.utf16) {
        const int size = static_cast<int>(text.size());
        int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<size_t>(length), '\0');
        if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &utf8[0], length, nullptr, nullptr);
        return bytes + utf8;
    }
    for (wchar_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes += encoding.bigEndian ? high : low;
        bytes += encoding.bigEndian ? low : high;
    }
    return bytes;
}

std::wstring decoded(const std::string& bytes, const markedEncoding& encoding) {
    const std::string mark = encoding.mark;
    if (bytes.compare(0, mark.size(), mark) != 0) return L"";
    std::wstring text;
    if (encoding.utf16) {
        for (size_t at = mark.size(); at + 1 < bytes.size(); at += 2) {
            unsigned first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
            text += static_cast<wchar_t>(encoding.bigEndian ? (first << 8) | second : (second << 8) | first);
        }
        return text;
    }
    const std::string rest = bytes.substr(mark.size());
    text.resize(rest.size());
    if (!rest.empty())
        text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, rest.data(), static_cast<int>(rest.size()),
                                                            &text[0], static_cast<int>(text.size()))));
    return text;
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
