// The installed schemes as the options page lists them: every scheme file of the scheme folder
// with a format version above 1, shown by its title (or its file name when it has none). A title
// that more than one scheme has, letter case aside, is shown with each one's file name, as
// "Mój (moj.kivs)": the user can tell them apart, and every other scheme keeps the name its
// author gave it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kiv {

class schemeList {
public:
    // Forgets the previous scan, then appends one item to the combo box (one that does not sort
    // its items) for each scheme found, in the order the file system returns them.
    void scan(const char* folder, HWND comboBox);

    // The item showing the scheme file, file names compared in any case; -1 when it is not listed.
    int itemOf(const std::string& file) const;
    // The scheme file an item shows; "" for no item.
    std::string fileAt(int item) const;

private:
    void add(const char* folder, const char* file);

    struct scheme {
        std::string file, title;  // the title, or the file name when the scheme has none
    };
    std::vector<scheme> schemes_;  // in the order of the items
};

}  // namespace kiv
