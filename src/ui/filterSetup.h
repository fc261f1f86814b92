// The filter dialog: one filter edited for the global level, for groups or for contacts.
#pragma once

#include <string>
#include <vector>

namespace kiv {

class filterSetup {
public:
    // Runs the dialog modally for the names of one level (group names, contact identifiers, or
    // the one name "globalne" for the global filter) and returns when it has closed. The names
    // are the dialog's own copies; an empty list opens nothing.
    static void show(int level, std::vector<std::string> names);

    filterSetup(const filterSetup&) = delete;
    filterSetup& operator=(const filterSetup&) = delete;

    const int level;
    const std::vector<std::string> names;

private:
    filterSetup(int filterLevel, std::vector<std::string> filterNames);
};

}  // namespace kiv
