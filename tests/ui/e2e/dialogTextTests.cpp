// The filter dialog and the options page as a reader sees them: every caption whole in its
// control's own font, whichever face "MS Shell Dlg" stands for, and no control over another.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "optionsWindow.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

constexpr int filterDialog = 101;
constexpr int optionsPage = 102;

// Where a name or number field of a template ends: 0 is none, 0xFFFF an ordinal, else a string.
const WORD* skipField(const WORD* at) {
    if (*at == 0xFFFF) return at + 2;
    while (*at) ++at;
    return at + 1;
}

const BYTE* alignToDword(const BYTE* start, const BYTE* at) {
    return start + ((at - start + 3) & ~3);
}

// The module's template with its font face replaced, as if "MS Shell Dlg" stood for that face;
// null keeps the face the template names.
std::vector<BYTE> templateWithFace(HMODULE module, int id, const wchar_t* face) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    REQUIRE(found);
    const auto* start = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const BYTE* end = start + SizeofResource(module, found);
    std::vector<BYTE> copy(start, end);
    if (!face) return copy;

    const bool extended = reinterpret_cast<const WORD*>(start)[1] == 0xFFFF;
    const DWORD style = *reinterpret_cast<const DWORD*>(start + (extended ? 12 : 0));
    REQUIRE((style & DS_SETFONT) != 0);
    const WORD* field = reinterpret_cast<const WORD*>(start + (extended ? 26 : 18));
    field = skipField(skipField(skipField(field)));                  // menu, class, title
    field += extended ? 3 : 1;                                        // size (weight, italic, charset)
    const BYTE* faceStart = reinterpret_cast<const BYTE*>(field);
    const BYTE* items = alignToDword(start, reinterpret_cast<const BYTE*>(skipField(field)));

    copy.assign(start, faceStart);
    const BYTE* newFace = reinterpret_cast<const BYTE*>(face);
    copy.insert(copy.end(), newFace, newFace + (wcslen(face) + 1) * sizeof(wchar_t));
    copy.resize((copy.size() + 3) & ~size_t(3), 0);
    copy.insert(copy.end(), items, end);
    return copy;
}

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// One control as the test sees it: where it is in the dialog and what it says.
struct control {
    HWND handle;
    int id;
    std::string kind;  // "static", "check", "group" or "other"
    std::string caption;
    RECT rect;
};

std::string kindOf(HWND handle) {
    char className[64] = "";
    GetClassNameA(handle, className, sizeof className);
    const LONG style = GetWindowLongA(handle, GWL_STYLE);
    if (lstrcmpiA(className, "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ? "static"
                                                                                                    : "other";
    }
    if (lstrcmpiA(className, "Button") != 0) return "other";
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return "check";
    case BS_GROUPBOX:
        return "group";
    default:
        return "other";
    }
}

std::vector<control> controlsOf(HWND dialog) {
    std::vector<control> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char caption[512] = "";
        GetWindowTextA(child, caption, sizeof caption);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        found.push_back({child, GetDlgCtrlID(child), kindOf(child), caption, rect});
    }
    return found;
}

// Pixels the caption needs beyond what its control gives it; 0 or less when it fits.
int shortBy(const control& c) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(c.handle, WM_GETFONT, 0, 0));
    HDC dc = GetDC(c.handle);
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    RECT needed = {0, 0, 0, 0};
    const bool noPrefix = c.kind == "static" && (GetWindowLongA(c.handle, GWL_STYLE) & SS_NOPREFIX);
    DrawTextA(dc, c.caption.c_str(), -1, &needed, DT_SINGLELINE | DT_CALCRECT | (noPrefix ? DT_NOPREFIX : 0));
    // A check or radio button draws its box of 13 pixels, then half a "0" of space, then the text.
    int box = 0;
    if (c.kind == "check") {
        SIZE zero;
        GetTextExtentPoint32A(dc, "0", 1, &zero);
        box = 13 + zero.cx / 2;
    }
    SelectObject(dc, previous);
    ReleaseDC(c.handle, dc);
    RECT client;
    GetClientRect(c.handle, &client);
    return needed.right - (client.right - box);
}

// The face the system chose for the dialog's font, told by the width of a sample text: the
// system names a substituted face by the name asked for, not by the face it took.
int sampleWidth(HDC dc) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, "Zażółć gęślą jaźń 0123", 22, &size);
    return size.cx;
}

bool drawsIn(HWND dialog, const char* face) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA named = {};
    GetObjectA(font, sizeof named, &named);
    strcpy(named.lfFaceName, face);
    HFONT expected = CreateFontIndirectA(&named);
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, expected);
    char chosen[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof chosen, chosen);
    const int expectedWidth = sampleWidth(dc);
    SelectObject(dc, font);
    const bool same = lstrcmpiA(chosen, face) == 0 && sampleWidth(dc) == expectedWidth;
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    DeleteObject(expected);
    return same;
}

std::string describe(int dialogId, const control& c) {
    return "dialog " + std::to_string(dialogId) + ", control " + std::to_string(c.id) + " \"" + c.caption + "\"";
}

// Every captioned static, check box and radio button of the dialog, measured, hidden ones too (a
// refusal that shows only after a mistake); then every pair of controls (group boxes only against
// group boxes: they hold the others). Returns the ids of the controls measured.
std::vector<int> checkDialog(HMODULE module, int id, const wchar_t* face, const char* expectedFace) {
    std::vector<BYTE> layout = templateWithFace(module, id, face);
    HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    HWND dialog = CreateDialogIndirectParamA(module, reinterpret_cast<const DLGTEMPLATE*>(layout.data()), parent,
                                             quietDialog, 0);
    REQUIRE(dialog);
    CHECK(drawsIn(dialog, expectedFace));  // the real face, not a fallback
    std::vector<control> controls = controlsOf(dialog);
    CHECK(controls.size() > 20);
    std::vector<int> measured;
    for (const control& c : controls) {
        if (c.caption.empty() || (c.kind != "static" && c.kind != "check")) continue;
        measured.push_back(c.id);
        const int missing = shortBy(c);
        if (missing > 0) FAIL_CHECK(describe(id, c) << " is short by " << missing << " px");
    }
    for (size_t a = 0; a < controls.size(); ++a) {
        for (size_t b = a + 1; b < controls.size(); ++b) {
            const control &first = controls[a], &second = controls[b];
            if ((first.kind == "group") != (second.kind == "group")) continue;
            RECT common;
            if (IntersectRect(&common, &first.rect, &second.rect))
                FAIL_CHECK(describe(id, first) << " overlaps " << describe(id, second));
        }
    }
    DestroyWindow(dialog);
    DestroyWindow(parent);
    return measured;
}

// Each item of each drop-down list on the page as the module fills it, against the part of the
// closed list that shows the chosen item (the arrow excluded).
void checkListItems(HWND page) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "ComboBox") != 0) continue;
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        REQUIRE(GetComboBoxInfo(child, &info));
        HDC dc = GetDC(child);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
        const LRESULT count = SendMessageA(child, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char item[512] = "";
            SendMessageA(child, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            SIZE size = {};
            GetTextExtentPoint32A(dc, item, lstrlenA(item), &size);
            const int missing = size.cx - (info.rcItem.right - info.rcItem.left);
            if (missing > 0)
                FAIL_CHECK("dialog 102, list " << GetDlgCtrlID(child) << " item \"" << item << "\" is short by "
                                               << missing << " px");
        }
        SelectObject(dc, previous);
        ReleaseDC(child, dc);
    }
}

}  // namespace

TEST_CASE("dialog texts fit their controls and no control covers another, in each face of MS Shell Dlg") {
    INITCOMMONCONTROLSEX common = {sizeof common, ICC_BAR_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&common);
    kivSession session("dialog-texts");
    REQUIRE(session.plugin->module());
    // As the prefix maps it; then Tahoma, what Wine and many Windows systems show; then
    // MS Sans Serif, the face of the older Windows dialogs.
    struct mapping {
        const wchar_t* face;
        const char* expected;
    };
    const mapping mappings[] = {{nullptr, "Tahoma"}, {L"Tahoma", "Tahoma"}, {L"MS Sans Serif", "MS Sans Serif"}};
    for (const mapping& m : mappings) {
        const std::string faceName = m.face ? std::string(m.face, m.face + wcslen(m.face)) : "MS Shell Dlg";
        CAPTURE(faceName);
        const std::vector<int> filterControls = checkDialog(session.plugin->module(), filterDialog, m.face, m.expected);
        const std::vector<int> pageControls = checkDialog(session.plugin->module(), optionsPage, m.face, m.expected);
        // The priority box, the refusal of an impossible quiet-hours time and of a held hot key among them.
        CHECK(std::count(filterControls.begin(), filterControls.end(), 1049) == 1);
        for (int refusal : {1070, 1072, 1074}) CHECK(std::count(pageControls.begin(), pageControls.end(), refusal) == 1);
    }
    kivhost::optionsWindow options(session.host);
    REQUIRE(options.pageWindow());
    checkListItems(options.pageWindow());
}
