// The installed schemes as the options page lists them: every scheme file of the scheme folder
// with a format version above 1, shown by its title (or its file name when it has none).
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace kiv {

class schemeList {
public:
    // Forgets the previous scan, then appends one item to the combo box for each scheme found,
    // in the order the file system returns them.
    void scan(const char* folder, HWND comboBox);

    // The shown text of a scheme file, and the file behind a shown text; "" when not listed.
    std::string titleOf(const std::string& file) const;
    std::string fileOf(const std::string& title) const;

private:
    void add(const char* folder, const char* file, HWND comboBox);

    std::map<std::string, std::string> schemeTitles_;  // file name -> shown text
    std::map<std::string, std::string> schemeFiles_;   // shown text -> file name
};

}  // namespace kiv
