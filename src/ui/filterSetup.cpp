#include "ui/filterSetup.h"

#include <cstdio>

#include "base/contactList.h"
#include "base/entryGuard.h"
#include "base/moduleState.h"
#include "base/text.h"
#include "filters/filter.h"
#include "filters/filtersManager.h"
#include "resources/resource.h"
#include "ui/fileChoosers.h"
#include "ui/uiText.h"

namespace kiv {

namespace {

using flagField = decltype(filter::window_inherit) filter::*;
using pathField = decltype(filter::sound_fileonline) filter::*;

// A window check box and the flag it edits: a status slot, or another field when the slot is 0.
struct windowCheck {
    int id;
    int statusSlot;
    flagField field;
};

constexpr windowCheck windowChecks[] = {
    {IDC_FILTER_WINDOW_ONLINE, 2, nullptr},
    {IDC_FILTER_WINDOW_CHAT, 3, nullptr},
    {IDC_FILTER_WINDOW_DND, 4, nullptr},
    {IDC_FILTER_WINDOW_AWAY, 5, nullptr},
    {IDC_FILTER_WINDOW_XA, 6, nullptr},
    {IDC_FILTER_WINDOW_OFFLINE, 1, nullptr},
    {IDC_FILTER_WINDOW_ONLINEONLY, 0, &filter::window_onlineonly},
    {IDC_FILTER_WINDOW_IGNOREAWAY, 0, &filter::window_ignoreaway},
    {IDC_FILTER_WINDOW_DESCCHANGE, 0, &filter::window_descchange},
    {IDC_FILTER_WINDOW_MESSAGE, 0, &filter::window_eventmessage},
    {IDC_FILTER_WINDOW_MESSAGECHAT, 0, &filter::window_eventmessagechat},
};

struct soundRow {
    int edit;
    int browse;
    int play;
    int clear;
    int inherited;
    pathField path;
};

// Row order is the order in which every walk over the seven paths takes them.
constexpr soundRow soundRows[] = {
    {IDC_FILTER_SOUND_ONLINE, IDC_FILTER_SOUND_ONLINE_BROWSE, IDC_FILTER_SOUND_ONLINE_PLAY,
     IDC_FILTER_SOUND_ONLINE_CLEAR, IDC_FILTER_SOUND_ONLINE_INHERITED, &filter::sound_fileonline},
    {IDC_FILTER_SOUND_OFFLINE, IDC_FILTER_SOUND_OFFLINE_BROWSE, IDC_FILTER_SOUND_OFFLINE_PLAY,
     IDC_FILTER_SOUND_OFFLINE_CLEAR, IDC_FILTER_SOUND_OFFLINE_INHERITED, &filter::sound_fileoffline},
    {IDC_FILTER_SOUND_MESSAGE, IDC_FILTER_SOUND_MESSAGE_BROWSE, IDC_FILTER_SOUND_MESSAGE_PLAY,
     IDC_FILTER_SOUND_MESSAGE_CLEAR, IDC_FILTER_SOUND_MESSAGE_INHERITED, &filter::sound_filemessage},
    {IDC_FILTER_SOUND_CHATSTART, IDC_FILTER_SOUND_CHATSTART_BROWSE, IDC_FILTER_SOUND_CHATSTART_PLAY,
     IDC_FILTER_SOUND_CHATSTART_CLEAR, IDC_FILTER_SOUND_CHATSTART_INHERITED, &filter::sound_filemessagechatstart},
    {IDC_FILTER_SOUND_CHAT, IDC_FILTER_SOUND_CHAT_BROWSE, IDC_FILTER_SOUND_CHAT_PLAY, IDC_FILTER_SOUND_CHAT_CLEAR,
     IDC_FILTER_SOUND_CHAT_INHERITED, &filter::sound_filemessagechat},
    {IDC_FILTER_SOUND_FILE, IDC_FILTER_SOUND_FILE_BROWSE, IDC_FILTER_SOUND_FILE_PLAY, IDC_FILTER_SOUND_FILE_CLEAR,
     IDC_FILTER_SOUND_FILE_INHERITED, &filter::sound_filefile},
    {IDC_FILTER_SOUND_VOICE, IDC_FILTER_SOUND_VOICE_BROWSE, IDC_FILTER_SOUND_VOICE_PLAY,
     IDC_FILTER_SOUND_VOICE_CLEAR, IDC_FILTER_SOUND_VOICE_INHERITED, &filter::sound_filevoice},
};

constexpr int captionSize = 256;

auto& flagOf(filter& record, const windowCheck& check) {
    return check.statusSlot ? record.window_status[check.statusSlot] : record.*check.field;
}

bool isChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void setChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void enable(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled);
}

const filterSetup* setupOf(HWND dialog) {
    return reinterpret_cast<const filterSetup*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// What the level's first name has in effect now, or what one of its parts falls back to.
filter effectiveFilter(const filterSetup& setup, bool inheritedOnly) {
    filter record;
    record.setDefaults();
    plugin.filters->getFilter(setup.level, setup.names.front().c_str(), record, inheritedOnly);
    return record;
}

// A contact missing from the list is named by its identifier alone: there is no display name
// to put before it.
void contactTitle(const char* contactId, char* title, size_t size) {
    contactSearch search(contactId);
    findContactItem(search);
    if (!search.found()) {
        copyText(title, size, contactId);
        return;
    }
    snprintf(title, size, "%s (%s)", search.displayName ? search.displayName : "", contactId);
}

// The template's caption followed by who is being edited, cut to 255 characters.
void setCaption(HWND dialog, const filterSetup& setup) {
    char caption[captionSize] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    char suffix[captionSize] = "";
    if (setup.names.size() > 1)
        copyText(suffix, uiText(setup.level == levelContact ? IDS_FILTER_CONTACTS : IDS_FILTER_GROUPS));
    else if (setup.level == levelContact)
        contactTitle(setup.names.front().c_str(), suffix, sizeof suffix);
    else
        copyText(suffix, setup.names.front().c_str());
    appendText(caption, suffix);
    SetWindowTextA(dialog, caption);
}

void showFilter(HWND dialog, filter& record) {
    for (const windowCheck& check : windowChecks) setChecked(dialog, check.id, flagOf(record, check));
    setChecked(dialog, IDC_FILTER_WINDOW_INHERIT, record.window_inherit);
    setChecked(dialog, IDC_FILTER_SOUND_INHERIT, record.sound_inherit);
    setChecked(dialog, IDC_FILTER_PRIORITY, record.priority);
    for (const soundRow& row : soundRows) SetDlgItemTextA(dialog, row.edit, record.*row.path);
}

// Every field from its control, also those of a part that inherits: what is stored is exactly
// what the dialog shows. Paths are cut to the field.
filter readFilter(HWND dialog) {
    filter record;
    record.setDefaults();
    for (const windowCheck& check : windowChecks) flagOf(record, check) = isChecked(dialog, check.id);
    record.window_inherit = isChecked(dialog, IDC_FILTER_WINDOW_INHERIT);
    record.sound_inherit = isChecked(dialog, IDC_FILTER_SOUND_INHERIT);
    record.priority = isChecked(dialog, IDC_FILTER_PRIORITY);
    for (const soundRow& row : soundRows) GetDlgItemTextA(dialog, row.edit, record.*row.path, sizeof(record.*row.path));
    return record;
}

// Greys the controls of the parts that inherit; the "^" buttons also on the global level.
void refreshEnabled(HWND dialog, const filterSetup& setup) {
    const bool windowInherited = isChecked(dialog, IDC_FILTER_WINDOW_INHERIT);
    const bool soundInherited = isChecked(dialog, IDC_FILTER_SOUND_INHERIT);
    for (const windowCheck& check : windowChecks) enable(dialog, check.id, !windowInherited);
    for (const soundRow& row : soundRows) {
        enable(dialog, row.edit, !soundInherited);
        enable(dialog, row.browse, !soundInherited);
        enable(dialog, row.play, !soundInherited);
        enable(dialog, row.clear, !soundInherited);
        enable(dialog, row.inherited, !soundInherited && setup.level != levelGlobal);
    }
    enable(dialog, IDC_FILTER_SOUND_CHANGEFOLDER, !soundInherited);
}

void openDialog(HWND dialog, const filterSetup& setup) {
    filter shown = effectiveFilter(setup, false);
    setCaption(dialog, setup);
    showFilter(dialog, shown);
    refreshEnabled(dialog, setup);
    // Only a person can always get through; a group or everybody would be no exception at all.
    if (setup.level != levelContact) ShowWindow(GetDlgItem(dialog, IDC_FILTER_PRIORITY), SW_HIDE);
    if (setup.level == levelGlobal) {
        // The global filter has no level above to inherit from.
        ShowWindow(GetDlgItem(dialog, IDC_FILTER_WINDOW_INHERIT), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_FILTER_SOUND_INHERIT), SW_HIDE);
    }
}

void storeFilter(HWND dialog, const filterSetup& setup) {
    filter record = readFilter(dialog);
    for (const std::string& name : setup.names) plugin.filters->setFilter(setup.level, name.c_str(), record);
    plugin.filters->save();
}

void showInheritedPath(HWND dialog, const filterSetup& setup, const soundRow& row) {
    filter inherited = effectiveFilter(setup, true);
    SetDlgItemTextA(dialog, row.edit, inherited.*row.path);
}

// A rewritten path that would not fit the edit's 1023 characters leaves that edit as it was.
void moveIntoFolder(HWND dialog) {
    char folder[MAX_PATH] = "";
    if (!chooseFolder(dialog, folder)) return;
    for (const soundRow& row : soundRows) {
        char path[pathSize] = "";
        GetDlgItemTextA(dialog, row.edit, path, sizeof path);
        if (filter::moveIntoFolder(path, sizeof path, folder)) SetDlgItemTextA(dialog, row.edit, path);
    }
}

bool rowCommand(HWND dialog, const filterSetup& setup, int id) {
    for (const soundRow& row : soundRows) {
        if (soundButtonCommand(dialog, row, id)) return true;
        if (id != row.inherited) continue;
        showInheritedPath(dialog, setup, row);
        return true;
    }
    return false;
}

void onCommand(HWND dialog, const filterSetup& setup, int id) {
    switch (id) {
    case IDOK:
        storeFilter(dialog, setup);
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case IDC_FILTER_WINDOW_INHERIT:
    case IDC_FILTER_SOUND_INHERIT:
        refreshEnabled(dialog, setup);
        break;
    case IDC_FILTER_SOUND_CHANGEFOLDER:
        moveIntoFolder(dialog);
        break;
    default:
        rowCommand(dialog, setup, id);
        break;
    }
}

INT_PTR CALLBACK filterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        openDialog(dialog, *reinterpret_cast<const filterSetup*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (const filterSetup* setup = setupOf(dialog)) onCommand(dialog, *setup, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

filterSetup::filterSetup(int filterLevel, std::vector<std::string> filterNames)
    : level(filterLevel), names(std::move(filterNames)) {}

// The dialog borrows the setup for as long as it runs.
void filterSetup::show(int level, std::vector<std::string> names) {
    if (names.empty() || !plugin.filters) return;
    filterSetup setup(level, std::move(names));
    DialogBoxParamA(plugin.instance, MAKEINTRESOURCEA(IDD_FILTER_SETUP), nullptr, guardedCallback<filterDialogProc>,
                    reinterpret_cast<LPARAM>(&setup));
}

}  // namespace kiv
