#include "ui/schemeList.h"

#include <cstring>

#include "base/moduleState.h"
#include "base/scopedHandle.h"
#include "base/text.h"

namespace kiv {

namespace {

constexpr size_t schemeNameLimit = 127;  // what the scheme setting can hold
constexpr int titleSize = 1024;

std::string lookUp(const std::map<std::string, std::string>& table, const std::string& key) {
    auto found = table.find(key);
    return found == table.end() ? std::string() : found->second;
}

}  // namespace

void schemeList::scan(const char* folder, HWND comboBox) {
    schemeTitles_.clear();
    schemeFiles_.clear();
    char pattern[pathSize];
    copyText(pattern, folder);
    if (!appendText(pattern, "*.kivs")) return;
    WIN32_FIND_DATAA found;
    findHandle search(FindFirstFileA(pattern, &found));
    if (!search.valid()) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) add(folder, found.cFileName, comboBox);
    } while (FindNextFileA(search.get(), &found));
}

// A file name the setting could not hold would be cut on choosing it and then name another file
// (or none): such schemes are not offered.
void schemeList::add(const char* folder, const char* file, HWND comboBox) {
    if (strlen(file) > schemeNameLimit) return;
    char path[pathSize];
    copyText(path, folder);
    if (!appendText(path, file)) return;
    if (static_cast<int>(GetPrivateProfileIntA("skin", "ver", 1, path)) <= 1) return;
    char title[titleSize] = "";
    GetPrivateProfileStringA("info", "title", "", title, sizeof title, path);
    const char* shown = title[0] ? title : file;
    SendMessageA(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown));
    schemeTitles_[file] = shown;
    schemeFiles_[shown] = file;
}

std::string schemeList::titleOf(const std::string& file) const {
    return lookUp(schemeTitles_, file);
}

std::string schemeList::fileOf(const std::string& title) const {
    return lookUp(schemeFiles_, title);
}

}  // namespace kiv
