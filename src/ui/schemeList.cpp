#include "ui/schemeList.h"

#include <algorithm>
#include <cstring>

#include "base/moduleState.h"
#include "base/scopedHandle.h"
#include "base/text.h"

namespace kiv {

namespace {

constexpr size_t schemeNameLimit = 127;  // what the scheme setting can hold
constexpr int titleSize = 1024;

bool sameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

}  // namespace

void schemeList::scan(const char* folder, HWND comboBox) {
    schemes_.clear();
    char pattern[pathSize];
    copyText(pattern, folder);
    if (!appendText(pattern, "*.kivs")) return;
    WIN32_FIND_DATAA found;
    findHandle search(FindFirstFileA(pattern, &found));
    if (!search.valid()) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) add(folder, found.cFileName);
    } while (FindNextFileA(search.get(), &found));

    for (const scheme& listed : schemes_) {
        const auto sameTitle = [&](const scheme& other) { return sameName(other.title, listed.title); };
        const bool repeated = std::count_if(schemes_.begin(), schemes_.end(), sameTitle) > 1;
        const std::string shown = repeated ? listed.title + " (" + listed.file + ")" : listed.title;
        SendMessageA(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    }
}

// A file name the setting could not hold would be cut on choosing it and then name another file
// (or none): such schemes are not offered.
void schemeList::add(const char* folder, const char* file) {
    if (strlen(file) > schemeNameLimit) return;
    char path[pathSize];
    copyText(path, folder);
    if (!appendText(path, file)) return;
    if (static_cast<int>(GetPrivateProfileIntA("skin", "ver", 1, path)) <= 1) return;
    char title[titleSize] = "";
    GetPrivateProfileStringA("info", "title", "", title, sizeof title, path);
    schemes_.push_back({file, title[0] ? title : file});
}

int schemeList::itemOf(const std::string& file) const {
    for (size_t i = 0; i < schemes_.size(); ++i)
        if (sameName(schemes_[i].file, file)) return static_cast<int>(i);
    return -1;
}

std::string schemeList::fileAt(int item) const {
    return item >= 0 && static_cast<size_t>(item) < schemes_.size() ? schemes_[static_cast<size_t>(item)].file
                                                                     : std::string();
}

}  // namespace kiv
