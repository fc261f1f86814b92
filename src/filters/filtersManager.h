// Every filter of the plug-in (global, per group, per contact), their file kiv.filters.config, the
// effective filter of a contact, and the list of contacts ignored while the plug-in runs.
#pragma once

#include <map>
#include <set>
#include <string>

#include "kiv/host_abi.h"
#include "settings/profileFile.h"

#include "filters/filter.h"

namespace kiv {

class freshProfile;

enum filterLevel : int { levelGlobal = 0, levelGroup = 1, levelContact = 2 };

// Keys ordered as byte strings: unsigned bytes, a shorter key before its extensions. This is
// also the order of the sections in a saved file.
struct byteOrder {
    bool operator()(const std::string& a, const std::string& b) const;
};

class filtersManager {
public:
    explicit filtersManager(const char* filtersFile);
    ~filtersManager();
    filtersManager(const filtersManager&) = delete;
    filtersManager& operator=(const filtersManager&) = delete;

    void load();
    void save();
    void replaceSoundFolder(const char* folder);

    bool getFilter(int level, const char* name, filter& result, bool inheritedOnly);
    // The contact level for an item already looked up on the list (not found: no filter).
    bool getContactFilter(const abi::contact_item& contact, const char* contactId, filter& result,
                          bool inheritedOnly) const;
    // Which level gave the window part of a contact's effective filter: "filtr kontaktu", "filtr
    // grupy <name>" or "filtr globalny".
    std::string windowPartLevel(const abi::contact_item& contact, const char* contactId) const;
    void setFilter(int level, const char* name, const filter& f);
    void removeFilter(int level, const char* name);
    bool hasFilter(int level, const char* name) const;

    void addIgnored(const char* contactId);
    void removeIgnored(const char* contactId);
    bool isIgnored(const char* contactId) const;
    // The contact's own filter marks it to be shown through silent, quiet hours and full screen.
    bool isPriority(const char* contactId) const;

    static bool isPresentStatus(int status);
    static bool isAbsentStatus(int status);
    static bool isAwayStatus(int status);

private:
    using filterMap = std::map<std::string, filter, byteOrder>;

    const filterMap* levelMap(int level) const;
    filterMap* levelMap(int level);
    void applyGroup(const char* group, filter& result, bool inheritedOnly) const;
    void saveLevel(freshProfile& file, const filterMap& filters, const char* prefix,
                   std::set<std::string>& written) const;

    filter globalFilter;
    filterMap groupFilters;
    filterMap contactFilters;
    std::map<std::string, bool, byteOrder> ignored;
    const char* filePath;
    bool keepFile = false;  // the file could not be read at start-up: never written over
    profileFile loaded;     // as read at start-up: its encoding, and texts Windows-1250 lacks
};

}  // namespace kiv
