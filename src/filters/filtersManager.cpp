#include "filters/filtersManager.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "base/contactList.h"
#include "base/status.h"
#include "base/wholeFile.h"
#include "settings/freshProfile.h"
#include "settings/profileFile.h"

namespace kiv {

namespace {

const char* const globalSection = "global";
const char* const groupPrefix = "group:";
const char* const contactPrefix = "contact:";

// The rest of name after prefix, compared without regard to ASCII letter case; null when the
// name does not start with it.
const char* afterPrefix(const char* name, const char* prefix) {
    for (; *prefix; ++name, ++prefix)
        if (tolower(static_cast<unsigned char>(*name)) != tolower(static_cast<unsigned char>(*prefix))) return nullptr;
    return name;
}

// True when the file gives the section back under the same name and as a section of its own.
// A line break would split the header line; trailing blanks (tab to carriage return, the DOS
// end-of-file mark, space) are trimmed by the reader; and the reader matches section names
// without regard to letter case, so a second name that differs only in case would be merged into
// the first one's keys. A name too long to read back is dropped too. Any other byte, a tab or an
// escape inside the name too, reads back as written.
bool keepsName(const std::string& section, std::set<std::string>& written) {
    if (section.size() > profileFile::longestName) return false;
    if (section.find_first_of("\r\n") != std::string::npos) return false;
    if (isProfileBlank(section.back())) return false;
    std::string folded = section;
    // Letters beyond ASCII fold as the platform folds them; the rest, most names, without a call.
    bool ascii = std::all_of(folded.begin(), folded.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii) CharLowerBuffA(&folded[0], static_cast<DWORD>(folded.size()));
    for (char& c : folded) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return written.insert(folded).second;
}

void applyEntry(const std::map<std::string, filter, byteOrder>& filters, const char* key, filter& result,
                bool inheritedOnly) {
    auto entry = filters.find(key);
    if (entry == filters.end()) {
        result.window_inherit = true;
        result.sound_inherit = true;
        return;
    }
    const filter& own = entry->second;
    result.priority = own.priority;
    if (!own.window_inherit && !inheritedOnly) result.copyWindowPart(own);
    result.window_inherit = own.window_inherit;
    if (!own.sound_inherit && !inheritedOnly) result.copySoundPart(own);
    result.sound_inherit = own.sound_inherit;
}

}  // namespace

bool byteOrder::operator()(const std::string& a, const std::string& b) const {
    size_t common = std::min(a.size(), b.size());
    int order = memcmp(a.data(), b.data(), common);  // memcmp compares unsigned bytes
    return order != 0 ? order < 0 : a.size() < b.size();
}

filtersManager::filtersManager(const char* filtersFile) : filePath(filtersFile) {
    load();
}

filtersManager::~filtersManager() {
    save();
}

// Without a profile there is no file: nothing is read, and save writes nothing either. A file that
// is there but cannot be read now is kept as it is for the whole session (see config::load).
void filtersManager::load() {
    groupFilters.clear();
    contactFilters.clear();
    std::string bytes;
    keepFile = filePath && *filePath && readWholeFile(filePath, bytes) == fileState::unreadable;
    loaded = profileFile(std::move(bytes));
    if (filePath && *filePath && !keepFile) {
        for (const auto& [name, section] : loaded.readableSections()) {
            filter* f = nullptr;
            if (const char* contact = afterPrefix(name.c_str(), contactPrefix)) {
                contactFilters[contact].readSection(loaded, section);
                continue;
            }
            if (const char* group = afterPrefix(name.c_str(), groupPrefix)) {
                f = &groupFilters[group];
            } else if (const char* rest = afterPrefix(name.c_str(), globalSection); rest && !*rest) {
                f = &globalFilter;
            }
            if (!f) continue;
            f->readSection(loaded, section);
            f->priority = false;  // a contact's own mark; a group or the global filter has none
        }
    }
    globalFilter.window_inherit = false;
    globalFilter.sound_inherit = false;
}

// The whole file is made in memory and replaces the old one in one step, in the encoding it was
// read in. Sections named beyond Windows-1250 match no group or contact: they stay as they were.
void filtersManager::save() {
    if (!filePath || !*filePath || keepFile) return;
    freshProfile file(loaded);
    globalFilter.writeSection(file, globalSection);
    std::set<std::string> written = {globalSection};
    saveLevel(file, groupFilters, groupPrefix, written);
    saveLevel(file, contactFilters, contactPrefix, written);
    file.appendHeld(loaded.sectionsBeyondWindows1250());
    replaceWholeFile(filePath, file.text());
}

// The section name is built at its full length, so a long group name or contact id keeps its
// filter. An entry whose name the file cannot carry stays in memory for this session only.
void filtersManager::saveLevel(freshProfile& file, const filterMap& filters, const char* prefix,
                               std::set<std::string>& written) const {
    for (const auto& [key, f] : filters) {
        if (f.inheritsAll()) continue;
        std::string section = prefix + key;
        if (keepsName(section, written)) f.writeSection(file, section.c_str());
    }
}

void filtersManager::replaceSoundFolder(const char* folder) {
    globalFilter.moveSoundsTo(folder);
    for (auto& entry : groupFilters) entry.second.moveSoundsTo(folder);
    for (auto& entry : contactFilters) entry.second.moveSoundsTo(folder);
}

bool filtersManager::getFilter(int level, const char* name, filter& result, bool inheritedOnly) {
    if (!name) return false;
    if (level == levelGlobal) {
        result = globalFilter;
    } else if (level == levelGroup) {
        applyGroup(name, result, inheritedOnly);
    } else if (level == levelContact) {
        contactSearch contact(name);
        findContactItem(contact);
        return getContactFilter(contact, name, result, inheritedOnly);
    }
    return true;
}

bool filtersManager::getContactFilter(const abi::contact_item& contact, const char* contactId, filter& result,
                                      bool inheritedOnly) const {
    if (!contact.groupHandle) return false;
    const abi::contact_item* group = getContactItem(contact.groupHandle);
    if (!group || !group->displayName) return false;
    applyGroup(group->displayName, result, false);
    applyEntry(contactFilters, contactId, result, inheritedOnly);
    return true;
}

std::string filtersManager::windowPartLevel(const abi::contact_item& contact, const char* contactId) const {
    auto ownPart = [](const filterMap& filters, const char* key) {
        auto entry = key ? filters.find(key) : filters.end();
        return entry != filters.end() && !entry->second.window_inherit;
    };
    if (ownPart(contactFilters, contactId)) return "filtr kontaktu";
    const abi::contact_item* group = contact.groupHandle ? getContactItem(contact.groupHandle) : nullptr;
    if (group && ownPart(groupFilters, group->displayName)) return std::string("filtr grupy ") + group->displayName;
    return "filtr globalny";
}

void filtersManager::applyGroup(const char* group, filter& result, bool inheritedOnly) const {
    result = globalFilter;
    applyEntry(groupFilters, group, result, inheritedOnly);
}

// The global filter always has both parts of its own, whatever the caller's record says: with
// its inherit flags set it would not even be written to the file.
void filtersManager::setFilter(int level, const char* name, const filter& f) {
    if (!name) return;
    filter stored = f;
    if (level != levelContact) stored.priority = false;
    if (level == levelGlobal) {
        globalFilter = stored;
        globalFilter.window_inherit = false;
        globalFilter.sound_inherit = false;
    } else if (filterMap* filters = levelMap(level)) {
        if (stored.inheritsAll())
            filters->erase(name);
        else
            (*filters)[name] = stored;
    }
}

void filtersManager::removeFilter(int level, const char* name) {
    filterMap* filters = levelMap(level);
    if (name && filters) filters->erase(name);
}

bool filtersManager::hasFilter(int level, const char* name) const {
    if (!name) return false;
    if (level == levelGlobal) return true;
    const filterMap* filters = levelMap(level);
    return filters && filters->count(name) != 0;
}

const filtersManager::filterMap* filtersManager::levelMap(int level) const {
    if (level == levelGroup) return &groupFilters;
    if (level == levelContact) return &contactFilters;
    return nullptr;
}

filtersManager::filterMap* filtersManager::levelMap(int level) {
    return const_cast<filterMap*>(static_cast<const filtersManager*>(this)->levelMap(level));
}

void filtersManager::addIgnored(const char* contactId) {
    if (contactId) ignored[contactId] = true;
}

void filtersManager::removeIgnored(const char* contactId) {
    if (contactId) ignored.erase(contactId);
}

bool filtersManager::isIgnored(const char* contactId) const {
    return contactId && ignored.count(contactId) != 0;
}

bool filtersManager::isPriority(const char* contactId) const {
    auto entry = contactId ? contactFilters.find(contactId) : contactFilters.end();
    return entry != contactFilters.end() && entry->second.priority;
}

bool filtersManager::isPresentStatus(int status) {
    return status >= statusAvailable && status <= statusExtendedAway;
}

bool filtersManager::isAbsentStatus(int status) {
    return status == statusUnavailable || status == statusInvisible;
}

bool filtersManager::isAwayStatus(int status) {
    return status == statusAway || status == statusExtendedAway;
}

}  // namespace kiv
