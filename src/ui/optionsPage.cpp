#include "ui/optionsPage.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "base/entryGuard.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "base/scopedGdi.h"
#include "base/text.h"
#include "base/window_info.h"
#include "filters/filtersManager.h"
#include "history/eventLog.h"
#include "notify/themeScheme.h"
#include "notify/windowsManager.h"
#include "resources/resource.h"
#include "scheme/skin.h"
#include "settings/config.h"
#include "settings/quietHours.h"
#include "ui/fileChoosers.h"
#include "ui/filterSetup.h"
#include "ui/hotKeys.h"
#include "ui/pageScroller.h"
#include "ui/schemeList.h"
#include "ui/uiText.h"

namespace kiv {

namespace {

inline constexpr const char* pageName = "kiv/options/settings";

// The one entry while the page is registered: the host's page events carry no pointer of ours.
optionsPageEntry* registered = nullptr;
inline constexpr const char* previewDomain = "@tlen.pl";
constexpr int comboListWidth = 100;
constexpr int comboListHeight = 200;

// Outlives the page: the list is rebuilt each time the page is created.
schemeList schemes;

// What belongs to one page window; it hangs on the window and goes with it.
struct pageState {
    pageState(HWND page, COLORREF colour)
        : background(colour), brush(CreateSolidBrush(colour)), scroller(page, plugin.instance) {}

    COLORREF background;
    scopedBrush brush;
    pageScroller scroller;
};

pageState* stateOf(HWND page) {
    return reinterpret_cast<pageState*>(GetWindowLongPtrA(page, DWLP_USER));
}

// ---- the settings behind the controls -------------------------------------------------------

struct checkBox {
    int id;
    bool config::*field;
};

constexpr checkBox checkBoxes[] = {
    {IDC_OPTIONS_REARRANGE, &config::rearrangewindows},
    {IDC_OPTIONS_NEWATBEGIN, &config::newatbegin},
    {IDC_OPTIONS_SHOWDESC, &config::showdesc},
    {IDC_OPTIONS_SHOWMESSAGE, &config::showmessage},
    {IDC_OPTIONS_CLICKCLOSE, &config::clickclose},
    {IDC_OPTIONS_CLICKOPENCHAT, &config::clickopenchat},
    {IDC_OPTIONS_MSGSHOWWHENBGONLY, &config::msgshowwhenbgonly},
    {IDC_OPTIONS_EFFECTCLOSE, &config::effectclose},
    {IDC_OPTIONS_LOGINIGNORE, &config::loginignore},
    {IDC_OPTIONS_SHOWSILENT, &config::showsilent},
    {IDC_OPTIONS_FULLSCREENAUTOOFF, &config::fullscreenautooff},
    {IDC_OPTIONS_OFFLOGIN, &config::offlogin},
    {IDC_OPTIONS_OFFONLINE, &config::offonline},
    {IDC_OPTIONS_OFFMESSAGE, &config::offmessage},
    {IDC_OPTIONS_OFFMESSAGECHATSTART, &config::offmessagechatstart},
    {IDC_OPTIONS_OFFMESSAGECHAT, &config::offmessagechat},
    {IDC_OPTIONS_OFFFILE, &config::offfile},
    {IDC_OPTIONS_OFFVOICE, &config::offvoice},
    {IDC_OPTIONS_OFFEMAIL, &config::offemail},
    {IDC_OPTIONS_IGNOREMUB, &config::ignoremub},
    {IDC_OPTIONS_NOAUTOCLOSE, &config::noautoclose},
    {IDC_OPTIONS_HOVERHOLD, &config::hoverhold},
    {IDC_OPTIONS_MISSEDSUMMARY, &config::missedsummary},
    {IDC_OPTIONS_EVENTLOG, &config::eventlog},
    {IDC_OPTIONS_GROUPMESSAGES, &config::groupmessages},
    {IDC_OPTIONS_ACTIONMENU, &config::actionmenu},
};

// A number's limits come from the settings list, or from the screen for a distance on it.
enum class limitKind { settingsList, workAreaWidth, workAreaHeight };

struct numberEdit {
    int id;
    int32_t config::*field;
    limitKind kind;
};

constexpr numberEdit numberEdits[] = {
    {IDC_OPTIONS_VISIBLETIME, &config::visibletime, limitKind::settingsList},
    {IDC_OPTIONS_BINDX, &config::bindX, limitKind::workAreaWidth},
    {IDC_OPTIONS_BINDY, &config::bindY, limitKind::workAreaHeight},
    {IDC_OPTIONS_SPACE, &config::space, limitKind::workAreaHeight},
    {IDC_OPTIONS_AUTOHEIGHTCHARS, &config::autoheightchars, limitKind::settingsList},
    {IDC_OPTIONS_AUTOHEIGHTROWS, &config::autoheightrows, limitKind::settingsList},
    {IDC_OPTIONS_MAXONSCREEN, &config::maxonscreen, limitKind::settingsList},
    {IDC_OPTIONS_IDLEHOLD, &config::idlehold, limitKind::settingsList},
    {IDC_OPTIONS_HISTORY, &config::history, limitKind::settingsList},
};

// A time of day typed as HH:MM; empty is off.
struct clockEdit {
    int id;
    int32_t config::*field;
};

constexpr clockEdit clockEdits[] = {
    {IDC_OPTIONS_QUIETFROM, &config::quietfrom},
    {IDC_OPTIONS_QUIETTO, &config::quietto},
};
constexpr int clockTextLimit = 5;
constexpr COLORREF refusalColour = RGB(192, 0, 0);

// A key that works whatever window has the focus, and the refusal under it.
struct hotKeyRow {
    int control;
    int refusal;
    int32_t config::*field;
    hotKeyAction action;
};

constexpr hotKeyRow hotKeyRows[] = {
    {IDC_OPTIONS_HOTKEYCLOSE, IDC_OPTIONS_HOTKEYCLOSEREFUSED, &config::hotkeyclose, hotKeyAction::closeAll},
    {IDC_OPTIONS_HOTKEYHISTORY, IDC_OPTIONS_HOTKEYHISTORYREFUSED, &config::hotkeyhistory, hotKeyAction::showHistory},
};

struct soundRow {
    int edit;
    int browse;
    int play;
    int clear;
    char (config::*path)[260];
};

constexpr soundRow soundRows[] = {
    {IDC_OPTIONS_FILELOGINTLEN, IDC_OPTIONS_BROWSELOGINTLEN, IDC_OPTIONS_PLAYLOGINTLEN, IDC_OPTIONS_CLEARLOGINTLEN,
     &config::filelogintlen},
    {IDC_OPTIONS_FILELOGINGG, IDC_OPTIONS_BROWSELOGINGG, IDC_OPTIONS_PLAYLOGINGG, IDC_OPTIONS_CLEARLOGINGG,
     &config::filelogingg},
    {IDC_OPTIONS_FILEEMAIL, IDC_OPTIONS_BROWSEEMAIL, IDC_OPTIONS_PLAYEMAIL, IDC_OPTIONS_CLEAREMAIL, &config::fileemail},
};

struct corner {
    int id;
    int32_t bindpos;
};

constexpr corner corners[] = {
    {IDC_OPTIONS_BOTTOMRIGHT, cornerBottomRight},
    {IDC_OPTIONS_BOTTOMLEFT, cornerBottomLeft},
    {IDC_OPTIONS_TOPLEFT, cornerTopLeft},
    {IDC_OPTIONS_TOPRIGHT, cornerTopRight},
};

// Each list is three texts of the string table in a row.
constexpr int comboItems = 3;

// ---- small control helpers ------------------------------------------------------------------

bool isChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

std::string controlText(HWND control) {
    int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string itemText(HWND comboBox, LRESULT item) {
    LRESULT length = SendMessageA(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    if (length == CB_ERR) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied =
        SendMessageA(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

void fillComboBox(HWND comboBox, UINT firstText, int selected) {
    for (int i = 0; i < comboItems; ++i)
        SendMessageA(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(uiText(firstText + i)));
    SendMessageA(comboBox, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The list part of a drop-down list: wide enough for long names, tall enough for several schemes.
void sizeDropDownList(HWND comboBox) {
    RECT rect = {};
    GetWindowRect(comboBox, &rect);
    SendMessageA(comboBox, CB_SETDROPPEDWIDTH, comboListWidth, 0);
    SetWindowPos(comboBox, nullptr, 0, 0, rect.right - rect.left, comboListHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Digits only; an empty or non-numeric text keeps the setting, and so does the number the field
// was given, though a person may have written a larger one in the file. A number past the highest,
// however many digits it has, is the highest, so no value ever wraps into a negative setting.
void readNumber(HWND page, int id, int32_t& field, limits bounds) {
    std::string text = controlText(GetDlgItem(page, id));
    if (text.empty()) return;
    const auto highest = static_cast<uint64_t>(std::max(bounds.highest, 0));
    const auto ceiling = std::max<uint64_t>(highest, static_cast<uint64_t>(std::max(field, 0)));
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return;
        if (value <= ceiling) value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value == static_cast<uint64_t>(field)) return;
    field = std::max(static_cast<int32_t>(std::min(value, highest)), bounds.lowest);
}

limits limitsOf(const numberEdit& edit, config& settings, const RECT& workArea) {
    switch (edit.kind) {
    case limitKind::workAreaWidth:
        return {0, static_cast<int32_t>(workArea.right - workArea.left)};
    case limitKind::workAreaHeight:
        return {0, static_cast<int32_t>(workArea.bottom - workArea.top)};
    case limitKind::settingsList:
        break;
    }
    return settings.limitsOf(settings.*edit.field);
}

void showAlphaLabel(HWND page) {
    char label[16];
    auto position = static_cast<int>(SendDlgItemMessageA(page, IDC_OPTIONS_ALPHA, TBM_GETPOS, 0, 0));
    snprintf(label, sizeof label, "%d%%", position);
    SetDlgItemTextA(page, IDC_OPTIONS_ALPHALABEL, label);
}

// The refusal beside the time fields shows while either holds a time that cannot be; it goes as
// soon as both can be. Typing only hides it: a half-typed time is not yet a mistake.
void showClockRefusal(HWND page, bool mayShow) {
    bool possible = true;
    for (const clockEdit& edit : clockEdits) {
        int32_t minutes = 0;
        possible = readClockTime(controlText(GetDlgItem(page, edit.id)).c_str(), minutes) && possible;
    }
    HWND refusal = GetDlgItem(page, IDC_OPTIONS_QUIETREFUSED);
    if (possible || mayShow) ShowWindow(refusal, possible ? SW_HIDE : SW_SHOW);
}

// An impossible time keeps its setting, as a number edit that holds no number does.
void applyClockTimes(HWND page, config& settings) {
    for (const clockEdit& edit : clockEdits) {
        int32_t minutes = 0;
        if (readClockTime(controlText(GetDlgItem(page, edit.id)).c_str(), minutes)) settings.*edit.field = minutes;
    }
    showClockRefusal(page, true);
}

// Shown while the row's key is not the module's: another program or the other row holds it.
void showHotKeyRefusal(HWND page, const hotKeyRow& row, const config& settings, int32_t key) {
    const bool held = hotKeys::holds(row.action, key);
    if (!held) {
        const hotKeyRow& other = &row == &hotKeyRows[0] ? hotKeyRows[1] : hotKeyRows[0];
        SetDlgItemTextA(page, row.refusal, uiText(settings.*other.field == key ? IDS_HOTKEY_TWICE : IDS_HOTKEY_TAKEN));
    }
    ShowWindow(GetDlgItem(page, row.refusal), held ? SW_HIDE : SW_SHOW);
}

// A stored key that another program took before start-up is refused as soon as the page shows.
void showHotKeys(HWND page, const config& settings) {
    for (const hotKeyRow& row : hotKeyRows) {
        HWND control = GetDlgItem(page, row.control);
        // A key without Ctrl or Alt would be taken from whatever the user types in any program.
        SendMessageA(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        SendMessageA(control, HKM_SETHOTKEY, static_cast<WPARAM>(settings.*row.field), 0);
        showHotKeyRefusal(page, row, settings, settings.*row.field);
    }
}

// A key the system refuses keeps the setting, as an impossible time does. Every row that changes
// lets go of its key first, so that two keys swapped in one apply are free for each other.
void applyHotKeys(HWND page, config& settings) {
    int32_t chosen[std::size(hotKeyRows)];
    for (size_t i = 0; i < std::size(hotKeyRows); ++i) {
        const hotKeyRow& row = hotKeyRows[i];
        chosen[i] = hotKeyOrNone(LOWORD(SendDlgItemMessageA(page, row.control, HKM_GETHOTKEY, 0, 0)));
        if (chosen[i] != settings.*row.field) hotKeys::change(row.action, 0);
    }
    for (size_t i = 0; i < std::size(hotKeyRows); ++i) {
        const hotKeyRow& row = hotKeyRows[i];
        if (hotKeys::change(row.action, chosen[i]))
            settings.*row.field = chosen[i];
        else
            hotKeys::change(row.action, settings.*row.field);  // the previous key again
        showHotKeyRefusal(page, row, settings, chosen[i]);
    }
}

bool isRefusal(HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == IDC_OPTIONS_QUIETREFUSED) return true;
    for (const hotKeyRow& row : hotKeyRows)
        if (id == row.refusal) return true;
    return false;
}

// The scheme of the system's theme now, read again from its file.
void reloadScheme(const config& settings) {
    if (plugin.windows) plugin.windows->closeAll();
    if (plugin.scheme) plugin.scheme->load(plugin.schemeFolder, themeSchemeFile(settings));
}

// ---- filling the page and reading it back ---------------------------------------------------

// The dark theme's list: "(ten sam)" first, for no scheme of its own, then the schemes in the order
// of the scheme list, so that its item n + 1 shows the scheme list's item n.
void fillDarkSchemeList(HWND page, const char* darkscheme) {
    HWND lightList = GetDlgItem(page, IDC_OPTIONS_SCHEME);
    HWND list = GetDlgItem(page, IDC_OPTIONS_DARKSCHEME);
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(uiText(IDS_SAME_SCHEME)));
    const LRESULT count = SendMessageA(lightList, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(itemText(lightList, i).c_str()));
    int item = 0;
    if (darkscheme[0]) {
        const int listed = schemes.itemOf(darkscheme);
        if (listed < 0) return;  // not listed: nothing chosen, and applying keeps it
        item = listed + 1;
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void fillSchemeList(HWND page, const config& settings) {
    HWND list = GetDlgItem(page, IDC_OPTIONS_SCHEME);
    schemes.scan(plugin.schemeFolder, list);
    const int item = schemes.itemOf(settings.scheme);
    if (item >= 0) SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    fillDarkSchemeList(page, settings.darkscheme);
}

void showSettings(HWND page, const config& settings) {
    for (int id : {IDC_OPTIONS_SCHEME, IDC_OPTIONS_DARKSCHEME, IDC_OPTIONS_CONTACTFORMAT, IDC_OPTIONS_EFFECT,
                   IDC_OPTIONS_MONITOR})
        sizeDropDownList(GetDlgItem(page, id));
    fillSchemeList(page, settings);
    fillComboBox(GetDlgItem(page, IDC_OPTIONS_CONTACTFORMAT), IDS_CONTACT_FORMATS, settings.contactformat);
    fillComboBox(GetDlgItem(page, IDC_OPTIONS_EFFECT), IDS_EFFECTS, settings.effect);
    fillComboBox(GetDlgItem(page, IDC_OPTIONS_MONITOR), IDS_MONITORS, settings.monitor);

    for (const checkBox& box : checkBoxes)
        CheckDlgButton(page, box.id, settings.*box.field ? BST_CHECKED : BST_UNCHECKED);
    for (const numberEdit& edit : numberEdits) {
        char number[16];
        snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(static_cast<uint32_t>(settings.*edit.field)));
        SetDlgItemTextA(page, edit.id, number);
    }
    int cornerId = IDC_OPTIONS_TOPRIGHT;
    for (const corner& c : corners)
        if (c.bindpos == settings.bindpos) cornerId = c.id;
    CheckRadioButton(page, IDC_OPTIONS_TOPLEFT, IDC_OPTIONS_TOPRIGHT, cornerId);

    HWND alpha = GetDlgItem(page, IDC_OPTIONS_ALPHA);
    SendMessageA(alpha, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageA(alpha, TBM_SETPOS, TRUE, settings.alpha);
    for (const soundRow& row : soundRows) SetDlgItemTextA(page, row.edit, settings.*row.path);
    for (const clockEdit& edit : clockEdits) {
        char time[8];
        clockTimeText(settings.*edit.field, time, sizeof time);
        SendDlgItemMessageA(page, edit.id, EM_LIMITTEXT, clockTextLimit, 0);
        SetDlgItemTextA(page, edit.id, time);
    }
    showClockRefusal(page, false);
    showHotKeys(page, settings);
    if (!plugin.setLayeredWindowAttributes) EnableWindow(alpha, FALSE);
    showAlphaLabel(page);
}

// Without a chosen entry (an empty folder, a scheme that is not listed) a setting stays: there is
// no file to switch to. The first entry of the dark theme's list is none of its own.
void applySchemes(HWND page, config& settings) {
    const std::string before = themeSchemeFile(settings);
    const auto chosen = static_cast<int>(SendDlgItemMessageA(page, IDC_OPTIONS_SCHEME, CB_GETCURSEL, 0, 0));
    const std::string file = schemes.fileAt(chosen);
    if (!file.empty()) copyText(settings.scheme, file.c_str());
    const auto dark = static_cast<int>(SendDlgItemMessageA(page, IDC_OPTIONS_DARKSCHEME, CB_GETCURSEL, 0, 0));
    const std::string darkFile = dark > 0 ? schemes.fileAt(dark - 1) : "";
    if (dark == 0 || !darkFile.empty()) copyText(settings.darkscheme, darkFile.c_str());
    if (themeSchemeFile(settings) != before) reloadScheme(settings);
}

void applyOptionsPage(HWND page, config& settings) {
    const RECT area = workArea();
    applySchemes(page, settings);
    for (const numberEdit& edit : numberEdits)
        readNumber(page, edit.id, settings.*edit.field, limitsOf(edit, settings, area));
    for (const checkBox& box : checkBoxes) settings.*box.field = isChecked(page, box.id);
    for (const corner& c : corners)
        if (isChecked(page, c.id)) settings.bindpos = c.bindpos;
    settings.effect = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_OPTIONS_EFFECT, CB_GETCURSEL, 0, 0));
    settings.contactformat =
        static_cast<int32_t>(SendDlgItemMessageA(page, IDC_OPTIONS_CONTACTFORMAT, CB_GETCURSEL, 0, 0));
    settings.alpha = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_OPTIONS_ALPHA, TBM_GETPOS, 0, 0));
    LRESULT monitor = SendDlgItemMessageA(page, IDC_OPTIONS_MONITOR, CB_GETCURSEL, 0, 0);
    if (monitor != CB_ERR) settings.monitor = static_cast<int32_t>(monitor);
    for (const soundRow& row : soundRows) GetDlgItemTextA(page, row.edit, settings.*row.path, sizeof(settings.*row.path));
    applyClockTimes(page, settings);
    applyHotKeys(page, settings);
    eventLog::followSettings();
    settings.save();
}

// ---- commands -------------------------------------------------------------------------------

}  // namespace

// The sample shows whatever config and skin hold now, not the page's unsaved values, and it shows
// even while the switch is off: the user asked to see it.
void previewNotification(bool withText) {
    if (!plugin.windows) return;
    window_info info;
    copyText(info.protocol, "TLEN");
    copyText(info.contactId, plugin.userLogin);
    appendText(info.contactId, previewDomain);
    copyText(info.nick, plugin.userLogin);
    if (withText) {
        const abi::plugin_info& about = pluginInfo();
        uint32_t v = about.version;
        SYSTEMTIME now;
        GetLocalTime(&now);
        snprintf(info.text, sizeof info.text,
                 "%s %d.%d.%d.%d\n%s\n%.2hd-%.2hd-%.4hd %.2hd:%.2hd:%.2hd", about.name, static_cast<int>(v >> 24),
                 static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF),
                 uiText(IDS_PREVIEW_DESCRIPTION), now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute, now.wSecond);
    }
    copyText(info.iconName, "ico_small");
    plugin.windows->addNotification(info);
}

namespace {

void moveAllSoundPaths(HWND page) {
    char folder[MAX_PATH] = "";
    if (!chooseFolder(page, folder)) return;
    if (MessageBoxA(page, uiText(IDS_MOVE_SOUNDS_QUESTION), uiText(IDS_QUESTION), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!plugin.filters) return;
    plugin.filters->replaceSoundFolder(folder);
    plugin.filters->save();
}

bool rowCommand(HWND page, int id) {
    for (const soundRow& row : soundRows)
        if (soundButtonCommand(page, row, id)) return true;
    return false;
}

void onCommand(HWND page, int id, int code) {
    if (rowCommand(page, id)) return;
    switch (id) {
    case IDC_OPTIONS_QUIETFROM:
    case IDC_OPTIONS_QUIETTO:
        if (code == EN_KILLFOCUS || code == EN_CHANGE) showClockRefusal(page, code == EN_KILLFOCUS);
        break;
    case IDC_OPTIONS_GLOBALFILTER:
        filterSetup::show(levelGlobal, {uiText(IDS_GLOBAL_FILTERS)});
        break;
    case IDC_OPTIONS_RELOADSCHEME:
        if (plugin.settings) reloadScheme(*plugin.settings);
        break;
    case IDC_OPTIONS_PREVIEW:
        previewNotification(true);
        break;
    case IDC_OPTIONS_PREVIEWSMALL:
        previewNotification(false);
        break;
    case IDC_OPTIONS_MOVESOUNDS:
        moveAllSoundPaths(page);
        break;
    default:
        break;
    }
}

// ---- the page window ------------------------------------------------------------------------

INT_PTR answer(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

void initPage(HWND page, COLORREF background) {
    auto* state = new pageState(page, background);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    RECT client = {};
    GetClientRect(page, &client);
    state->scroller.resize(client.bottom);
    if (plugin.settings) showSettings(page, *plugin.settings);
}

// A page destroyed by its parent rather than by the page events must not leave a dead handle in
// the entry, where the next show would move it instead of creating a page.
void endPage(HWND page) {
    std::unique_ptr<pageState> state(stateOf(page));
    SetWindowLongPtrA(page, DWLP_USER, 0);
    if (registered && registered->window == page) {
        registered->window = nullptr;
        host::callService(abi::svcRemoveDialogHandle, reinterpret_cast<WPARAM>(page), 0);
    }
}

INT_PTR paintMessage(HWND page, pageState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    auto dc = reinterpret_cast<HDC>(wParam);
    if (message == WM_ERASEBKGND) {
        RECT client = {};
        GetClientRect(page, &client);
        FillRect(dc, &client, state.brush.get());
        return answer(page, TRUE);
    }
    SetTextColor(dc, isRefusal(reinterpret_cast<HWND>(lParam)) ? refusalColour : RGB(0, 0, 0));
    SetBkColor(dc, state.background);
    return reinterpret_cast<INT_PTR>(state.brush.get());
}

INT_PTR CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        initPage(page, *reinterpret_cast<const COLORREF*>(lParam));
        return FALSE;  // the host decides where the focus goes
    }
    pageState* state = stateOf(page);
    if (!state) return FALSE;
    pageScroller& scroller = state->scroller;
    switch (message) {
    case WM_SIZE:
        scroller.resize(HIWORD(lParam));
        return TRUE;
    case WM_VSCROLL:
        if (lParam) return FALSE;
        scroller.scrollBar(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_OPTIONS_ALPHA)) showAlphaLabel(page);
        return TRUE;
    case WM_MOUSEWHEEL:
        scroller.wheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        scroller.grab(GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_MOUSEMOVE:
        scroller.drag(GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_LBUTTONUP:
    case WM_KILLFOCUS:
        scroller.release();
        return FALSE;
    case WM_CAPTURECHANGED:
        scroller.captureLost();
        return FALSE;
    case WM_SETCURSOR:
        // Over the page's own background only: controls keep their cursors (the text cursor of
        // an edit, the arrow of a button).
        if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != page) return FALSE;
        scroller.showOpenHand();
        return answer(page, TRUE);
    case WM_ERASEBKGND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return paintMessage(page, *state, message, wParam, lParam);
    case WM_SETFOCUS:
        if (IsWindow(reinterpret_cast<HWND>(wParam)))
            RedrawWindow(reinterpret_cast<HWND>(wParam), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return FALSE;
    case WM_COMMAND:
        onCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        endPage(page);
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- the host's page events -----------------------------------------------------------------

void destroyPage(optionsPageEntry& entry) {
    HWND page = entry.window;
    if (!page) return;
    entry.window = nullptr;
    host::callService(abi::svcRemoveDialogHandle, reinterpret_cast<WPARAM>(page), 0);
    DestroyWindow(page);
}

void showPage(optionsPageEntry& entry, abi::options_page_event& event) {
    if (!entry.window) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_HOTKEY_CLASS};
        InitCommonControlsEx(&controls);
        COLORREF background = event.background;
        entry.window = CreateDialogParamA(plugin.instance, MAKEINTRESOURCEA(IDD_OPTIONS), event.parent, guardedCallback<pageProc>,
                                          reinterpret_cast<LPARAM>(&background));
        if (entry.window) host::callService(abi::svcAddDialogHandle, reinterpret_cast<WPARAM>(entry.window), 0);
    }
    event.iconBig = entry.iconBig.get();
    event.flags |= abi::optionsFlagBigIcon;
    if (!entry.window) return;
    SetWindowPos(entry.window, nullptr, event.x, event.y, event.width, event.height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(entry.window, SW_SHOW);
}

int __cdecl onOptionsPage(void* eventPointer) {
    auto* event = static_cast<abi::options_page_event*>(eventPointer);
    config* settings = plugin.settings;
    if (!event || !settings || !registered) return 0;
    copyText(event->title, uiText(IDS_OPTIONS_TITLE));
    copyText(event->description, uiText(IDS_OPTIONS_DESCRIPTION));
    switch (event->event) {
    case abi::optionsShow:
        showPage(*registered, *event);
        break;
    case abi::optionsHide:
        if (registered->window) ShowWindow(registered->window, SW_HIDE);
        break;
    case abi::optionsApply:
    case abi::optionsApplyClose:
        if (IsWindow(registered->window)) applyOptionsPage(registered->window, *settings);
        if (event->event == abi::optionsApplyClose) destroyPage(*registered);
        break;
    case abi::optionsClose:
        destroyPage(*registered);
        break;
    default:
        break;
    }
    return 0;
}

HBITMAP loadModuleBitmap(const char* name, int size) {
    return static_cast<HBITMAP>(LoadImageA(plugin.instance, name, IMAGE_BITMAP, size, size, 0));
}

}  // namespace

optionsPageEntry::optionsPageEntry()
    : iconBig(loadModuleBitmap("ico_big", 32)), iconSmall(loadModuleBitmap("ico_small", 16)) {
    registered = this;
    abi::options_page_info page = {};
    page.size = sizeof page;
    page.pageName = pageName;
    page.group = "kiv";
    page.kind = 3;
    page.iconSmall = iconSmall.get();
    page.callback = guarded<onOptionsPage>;
    host::callService(abi::svcAddOptionsPage, reinterpret_cast<WPARAM>(plugin.instance),
                      reinterpret_cast<LPARAM>(&page));
}

optionsPageEntry::~optionsPageEntry() {
    destroyPage(*this);
    registered = nullptr;
}

}  // namespace kiv
