#include "sandboxWindow.h"

#include "childControl.h"
#include "contactStatus.h"
#include "popupMenus.h"
#include "sandbox.h"

namespace kivhost {

namespace {

constexpr int margin = 8;
constexpr int treeWidth = 320;  // the sample list's longest line whole
constexpr int panelX = treeWidth + 2 * margin;
constexpr int buttonWidth = 124;
constexpr int rowHeight = 24;
constexpr int ggImages = 8;  // after the eight TLEN icons
constexpr int groupImage = 16;
constexpr size_t logLines = 400;

// A copy of a host bitmap: the image list masks its source, and the host's icons must stay as the
// plug-in draws them.
HBITMAP copyOf(HBITMAP bitmap) {
    return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
}

// A closed folder in the list's own colours, for group items.
HBITMAP folderBitmap() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    HBRUSH key = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, key);
    DeleteObject(key);
    HBRUSH yellow = CreateSolidBrush(RGB(230, 190, 80));
    RECT tab = {1, 3, 7, 5};
    RECT body = {1, 5, 15, 14};
    FillRect(dc, &tab, yellow);
    FillRect(dc, &body, yellow);
    FrameRect(dc, &body, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    DeleteObject(yellow);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void addMasked(HIMAGELIST images, HBITMAP bitmap) {
    ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
    DeleteObject(bitmap);
}

std::string windowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

sandboxWindow::sandboxWindow(sandbox& box) : box_(box) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    window_ = hostCore::get().mainWindow();
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hostProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&sandboxWindow::windowProc)));
    SetWindowTextA(window_, "kivhost - piaskownica wtyczki kiv");
    RECT frame = {0, 0, panelX + 2 * buttonWidth + 2 * margin, 470};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(window_, nullptr, 16, 16, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER);
    makeImages();
    createControls();
    showContacts();
}

sandboxWindow::~sandboxWindow() {
    if (IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hostProcedure_));
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(window_, GW_CHILD))
            DestroyWindow(child);
    }
    if (images_) ImageList_Destroy(images_);
}

void sandboxWindow::makeImages() {
    images_ = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, groupImage + 1, 0);
    for (const char* protocol : {"TLEN", "GG"})
        for (int index = 1; index <= ggImages; ++index)
            addMasked(images_, copyOf(hostCore::get().contacts.statusIcon(index, protocol)));
    addMasked(images_, folderBitmap());
}

HWND sandboxWindow::control(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                            int id) {
    return childControl(className, text, style, x, y, width, height, window_, id);
}

void sandboxWindow::createControls() {
    RECT client;
    GetClientRect(window_, &client);
    tree_ = control(WC_TREEVIEWA, "", WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS |
                                          TVS_SHOWSELALWAYS,
                    margin, margin, treeWidth, client.bottom - 2 * margin, treeId);
    SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));

    const int wide = 2 * buttonWidth;
    int y = margin;
    control("STATIC", "Status i opis wybranego kontaktu:", 0, panelX, y, wide, 16, 0);
    statusCombo_ = control("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, panelX, y += 18, buttonWidth, 200,
                           statusComboId);
    for (int status = firstStatus; status <= lastStatus; ++status)
        SendMessageA(statusCombo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(statusName(status)));
    SendMessageA(statusCombo_, CB_SETCURSEL, 1, 0);
    control("BUTTON", "Zmień status", WS_TABSTOP, panelX + buttonWidth, y, buttonWidth, rowHeight, setStatusButton);
    control("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, panelX, y += rowHeight + 4, wide, 22, descriptionId);
    control("STATIC", "Tekst wiadomości:", 0, panelX, y += 30, wide, 16, 0);
    control("EDIT", "Cześć! Masz chwilę?", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, panelX, y += 18, wide, 22, textId);
    control("BUTTON", "Wiadomość", WS_TABSTOP, panelX, y += 26, buttonWidth, rowHeight, messageButton);
    control("BUTTON", "Wiadomość czatu", WS_TABSTOP, panelX + buttonWidth, y, buttonWidth, rowHeight, chatButton);
    control("BUTTON", "Plik", WS_TABSTOP, panelX, y += rowHeight + 8, buttonWidth, rowHeight, fileButton);
    control("BUTTON", "Rozmowa głosowa", WS_TABSTOP, panelX + buttonWidth, y, buttonWidth, rowHeight, voiceButton);
    control("BUTTON", "Poczta e-mail", WS_TABSTOP, panelX, y += rowHeight, buttonWidth, rowHeight, emailButton);
    control("BUTTON", "Logowanie TLEN", WS_TABSTOP, panelX, y += rowHeight + 8, buttonWidth, rowHeight, loginTlenButton);
    control("BUTTON", "Logowanie GG", WS_TABSTOP, panelX + buttonWidth, y, buttonWidth, rowHeight, loginGgButton);
    control("BUTTON", "Menu statusu...", WS_TABSTOP, panelX, y += rowHeight + 8, buttonWidth, rowHeight,
            statusMenuButton);
    control("BUTTON", "Opcje...", WS_TABSTOP, panelX + buttonWidth, y, buttonWidth, rowHeight, optionsButton);
    y += rowHeight + 8;
    log_ = control("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, panelX, y, wide,
                   client.bottom - margin - y, logId);
}

std::string sandboxWindow::contactText(const std::string& id) const {
    const contactRecord* contact = box_.book().find(id);
    if (!contact) return id;
    std::string text = contact->name + " - " + statusName(contact->status);
    if (!contact->description.empty()) text += ": " + contact->description;
    return text;
}

void sandboxWindow::showContacts() {
    TreeView_DeleteAllItems(tree_);
    contactItems_.clear();
    groupItems_.clear();
    for (const std::string& group : box_.book().groups()) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = const_cast<char*>(group.c_str());
        insert.item.iImage = insert.item.iSelectedImage = groupImage;
        HTREEITEM groupItem = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        groupItems_[groupItem] = group;
        for (const contactRecord& contact : box_.book().contacts()) {
            if (contact.group != group) continue;
            insert.hParent = groupItem;
            insert.item.pszText = const_cast<char*>("");
            contactItems_[contact.id] = reinterpret_cast<HTREEITEM>(
                SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
            refreshContact(contact.id);
        }
        TreeView_Expand(tree_, groupItem, TVE_EXPAND);
    }
}

void sandboxWindow::refreshContact(const std::string& id) {
    auto found = contactItems_.find(id);
    const contactRecord* contact = box_.book().find(id);
    if (found == contactItems_.end() || !contact) return;
    std::string text = contactText(id);
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = found->second;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = item.iSelectedImage =
        (contact->protocol == "GG" ? ggImages : 0) + iconIndexFor(contact->protocol, contact->status) - 1;
    SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::string sandboxWindow::selectedContact() const {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    for (const auto& [id, item] : contactItems_)
        if (item == selected) return id;
    return "";
}

// A line wider than the log is broken at spaces into entries that fit, so none is cut.
void sandboxWindow::addLog(const std::string& line) {
    RECT client;
    GetClientRect(log_, &client);
    HDC dc = GetDC(log_);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(log_, WM_GETFONT, 0, 0)));
    auto fits = [&](const std::string& text) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx <= client.right - GetSystemMetrics(SM_CXVSCROLL) - 4;  // room for the bar to come
    };
    std::string entry, word;
    for (size_t at = 0; at <= line.size(); ++at) {
        if (at < line.size() && line[at] != ' ') {
            word += line[at];
            continue;
        }
        std::string longer = entry.empty() ? word : entry + " " + word;
        if (!entry.empty() && !fits(longer)) {
            addLogEntry(entry);
            longer = "  " + word;  // a continued line is indented
        }
        entry = longer;
        word.clear();
    }
    SelectObject(dc, previous);
    ReleaseDC(log_, dc);
    addLogEntry(entry);
}

void sandboxWindow::addLogEntry(const std::string& entry) {
    if (static_cast<size_t>(SendMessageA(log_, LB_GETCOUNT, 0, 0)) >= logLines) SendMessageA(log_, LB_DELETESTRING, 0, 0);
    LRESULT index = SendMessageA(log_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SendMessageA(log_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

std::string sandboxWindow::itemText(int id) const {
    return windowText(GetDlgItem(window_, id));
}

void sandboxWindow::act(bool done, const std::string& report) {
    box_.note(done ? report : "nie wykonano: " + report);
}

void sandboxWindow::onCommand(int id) {
    contactEvents& events = box_.events();
    std::string contact = selectedContact();
    std::string report;
    bool needsContact = id >= setStatusButton && id <= voiceButton;
    if (needsContact && contact.empty()) {
        box_.note("najpierw wybierz kontakt na liście");
        return;
    }
    switch (id) {
    case setStatusButton: {
        int status = static_cast<int>(SendMessageA(statusCombo_, CB_GETCURSEL, 0, 0)) + firstStatus;
        act(events.changeStatus(contact, status, itemText(descriptionId), report), report);
        refreshContact(contact);
        break;
    }
    case messageButton:
        act(events.message(contact, itemText(textId), report), report);
        break;
    case chatButton:
        act(events.chatMessage(contact, itemText(textId), report), report);
        break;
    case fileButton:
        act(events.fileOffer(contact, report), report);
        break;
    case voiceButton:
        act(events.voiceCall(contact, report), report);
        break;
    case emailButton:
        act(events.emailNotice(contact.empty() ? "poczta@tlen.pl" : contact, report), report);
        break;
    case loginTlenButton:
        act(events.login("TLEN", report), report);
        break;
    case loginGgButton:
        act(events.login("GG", report), report);
        break;
    case statusMenuButton: {
        RECT button;
        GetWindowRect(GetDlgItem(window_, statusMenuButton), &button);
        trackMenu(abi::menuStatus, {}, window_, POINT{button.left, button.bottom});
        break;
    }
    case optionsButton:
        box_.openOptions();
        break;
    default:
        break;
    }
}

void sandboxWindow::openContextMenu() {
    TVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    POINT screen = hit.pt;
    ScreenToClient(tree_, &hit.pt);
    HTREEITEM item = TreeView_HitTest(tree_, &hit);
    if (!item) return;
    TreeView_SelectItem(tree_, item);
    auto group = groupItems_.find(item);
    if (group != groupItems_.end()) {
        trackMenu(abi::menuGroup, {{group->second, ""}}, window_, screen);
        return;
    }
    std::string id = selectedContact();
    if (const contactRecord* contact = box_.book().find(id))
        trackMenu(abi::menuContact, {{contact->id, contact->protocol}}, window_, screen);
}

LRESULT sandboxWindow::onNotify(const NMHDR& header) {
    if (header.idFrom != treeId) return 0;
    if (header.code == NM_RCLICK) {
        openContextMenu();
        return 1;
    }
    if (header.code == NM_DBLCLK) {
        std::string id = selectedContact();
        if (!id.empty()) box_.chats().open(id);
        return 1;
    }
    return 0;
}

LRESULT CALLBACK sandboxWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<sandboxWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) self->onCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return self->onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return CallWindowProcA(self->hostProcedure_, window, message, wParam, lParam);
    }
}

}  // namespace kivhost
