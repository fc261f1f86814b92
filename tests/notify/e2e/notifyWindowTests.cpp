// One notification window: what it paints, how it sizes to its text, and how it answers clicks.
#include <doctest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "importPatch.h"
#include "notifySupport.h"
#include "pictures.h"

using namespace kivtest;

namespace {

// The texts the module draws, seen through its import of DrawTextA.
struct drawnText {
    std::string text;
    RECT rect;
    UINT flags;
};

struct textLog {
    static inline std::vector<drawnText> drawn;
    static int WINAPI drawText(HDC dc, LPCSTR text, int length, LPRECT rect, UINT flags) {
        int height = DrawTextA(dc, text, length, rect, flags);
        if (!(flags & DT_CALCRECT)) drawn.push_back({length < 0 ? text : std::string(text, length), *rect, flags});
        return height;
    }
    static void install(kivSession& session) {
        kivhost::patchImport(session.plugin->module(), "USER32.dll", "DrawTextA",
                             reinterpret_cast<void*>(&textLog::drawText));
    }
    // The contact line and the description of one paint.
    static std::vector<drawnText> paintOf(HWND window) {
        drawn.clear();
        repaint(window);
        return drawn;
    }
};

// Contacts added for one test, removed again at its end.
struct contacts {
    kivhost::contactList& list = kivhost::hostCore::get().contacts;
    ~contacts() { list.clear(); }
    int add(const std::string& id, const std::string& nick, const std::string& protocol, int iconIndex) {
        int handle = list.addContact(id, nick, 0, protocol);
        list.setIconIndex(handle, iconIndex);
        return handle;
    }
};

int __cdecl closeOwnWindow(kiv::click_info* info, int data) {
    clickLog::record(info, data);
    DestroyWindow(info->window);
    return 0;
}

LOGFONTA schemeFont() {
    LOGFONTA font = {};
    font.lfHeight = -11;
    font.lfCharSet = EASTEUROPE_CHARSET;
    strcpy(font.lfFaceName, "Tahoma");
    return font;
}

// Height of the text and of one line in the scheme's description font, as a window measures.
struct measured {
    int text, line;
};
measured measure(const char* text, RECT area, const LOGFONTA& logFont = schemeFont()) {
    HFONT font = CreateFontIndirectA(&logFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    const UINT flags = DT_WORDBREAK | DT_END_ELLIPSIS | DT_CALCRECT | DT_NOPREFIX;
    measured m = {};
    m.text = DrawTextA(dc, text, -1, &area, flags);
    RECT sample = {0, 0, 100, 100};
    m.line = DrawTextA(dc, "a", -1, &sample, flags);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return m;
}

// The description flags of a paint.
constexpr UINT descriptionFlags = DT_WORDBREAK | DT_WORD_ELLIPSIS | DT_END_ELLIPSIS | DT_NOPREFIX;

// The text drawn black on white into rect, on a bitmap of width x height, read back.
std::vector<COLORREF> rendered(const LOGFONTA& logFont, const std::string& text, RECT rect, UINT flags, int width,
                               int height) {
    BITMAPINFO format = kivhost::topDownFormat(width, height);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
    HGDIOBJ previousFont = SelectObject(dc, font);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, text.c_str(), -1, &rect, flags);
    GdiFlush();
    const auto* pixels = static_cast<const COLORREF*>(bits);
    std::vector<COLORREF> image(pixels, pixels + static_cast<size_t>(width) * height);
    SelectObject(dc, previousFont);
    SelectObject(dc, previousBitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return image;
}

// A rectangle as the scheme file writes it ("left,top,right,bottom").
RECT schemeRect(const std::string& file, const char* key) {
    char value[64] = "";
    GetPrivateProfileStringA("skin", key, "", value, sizeof value, file.c_str());
    RECT r = {};
    sscanf(value, "%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

}  // namespace

TEST_CASE("contact line by contactformat") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    struct row {
        int format;
        const char* nick;
        const char* id;
        const char* line;
    };
    const row rows[] = {
        {0, "Ala", "ala", "Ala"}, {0, "", "ala", "ala"},       {1, "Ala", "ala", "ala"},
        {2, "Ala", "ala", "Ala (ala)"}, {2, "ala", "ala", "ala"}, {2, "", "ala", "ala"},
        {2, "A & B", "ab", "A & B (ab)"},
    };
    for (const row& r : rows) {
        CAPTURE(r.format);
        CAPTURE(r.nick);
        notifySession session("contactformat", settingsWith(scheme.name, lines({"contactformat=" + std::to_string(r.format)})));
        textLog::install(session);
        popupRequest request;
        request.nick = r.nick;
        request.contactId = r.id;
        HWND shown = showOne(session, request);
        REQUIRE(shown);
        auto paint = textLog::paintOf(shown);
        REQUIRE(paint.size() == 2);
        CHECK(paint[0].text == r.line);
        const UINT lineFlags = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS | DT_NOPREFIX;  // "&" stays text
        CHECK((paint[0].flags & lineFlags) == lineFlags);
        CHECK((paint[1].flags & DT_NOPREFIX) != 0);
        CHECK(paint[1].text == "Ala ma kota");
    }
}

TEST_CASE("auto-height: autoheightchars cuts what is measured and drawn, autoheightrows caps the growth") {
    LOGFONTA font = schemeFont();
    const std::string body = "window_autoheight=1\r\n";
    testScheme scheme("kivtest-grow.kivs", body);
    REQUIRE(WritePrivateProfileStructA("skin", "desc_font", &font, sizeof font, scheme.path.c_str()));
    const std::string hundred = std::string(61, 'x') + " i tu koniec opisu, który ma sto bajtów";
    REQUIRE(hundred.size() == 100);

    SUBCASE("autoheightchars 40: the first 40 bytes") {
        notifySession session("autoheight-chars", settingsWith(scheme.name, lines({"autoheightchars=40"})));
        textLog::install(session);
        popupRequest request;
        request.text = hundred.c_str();
        HWND shown = showOne(session, request);
        REQUIRE(shown);
        auto paint = textLog::paintOf(shown);
        REQUIRE(paint.size() == 2);
        CHECK(paint[1].text == hundred.substr(0, 40));
        measured m = measure(hundred.substr(0, 40).c_str(), {5, 23, 225, 46});
        CHECK(kivhost::windowRect(shown).bottom - kivhost::windowRect(shown).top == 50 + m.text);
    }
    SUBCASE("auto-height off: the whole description, the scheme's height") {
        testScheme fixed("kivtest-fixed.kivs", "window_autoheight=0\r\n");
        notifySession session("autoheight-off", settingsWith(fixed.name, lines({"autoheightchars=40"})));
        textLog::install(session);
        popupRequest request;
        request.text = hundred.c_str();
        HWND shown = showOne(session, request);
        auto paint = textLog::paintOf(shown);
        REQUIRE(paint.size() == 2);
        CHECK(paint[1].text == hundred);
        CHECK(kivhost::windowRect(shown).bottom - kivhost::windowRect(shown).top == 50);
    }
    SUBCASE("autoheightrows 5 and a text of many lines: five lines more, five lines shown") {
        std::string longText;
        while (longText.size() < 480) longText += "słowo ";
        measured m = measure(longText.c_str(), {5, 23, 225, 46});
        REQUIRE(m.text >= 12 * m.line);
        notifySession session("autoheight-rows", settingsWith(scheme.name, lines({"autoheightrows=5"})));
        textLog::install(session);
        popupRequest request;
        request.text = longText.c_str();
        HWND shown = showOne(session, request);
        REQUIRE(shown);
        RECT r = kivhost::windowRect(shown);
        CHECK(r.bottom - r.top == 50 + 5 * m.line);
        auto paint = textLog::paintOf(shown);
        REQUIRE(paint.size() == 2);
        CHECK(paint[1].rect.top == 23);
        CHECK(paint[1].rect.bottom == 23 + 5 * m.line);
    }
}

// Measuring must not narrow what is painted: the last letters of a line were lost wherever a
// substituted face measured and drew a pixel apart.
TEST_CASE("a description of up to autoheightrows lines is drawn whole, as into the scheme's full rectangle") {
    const char* const texts[] = {
        "Kawa za pięć minut w kuchni",
        "Zadzwoń wieczorem",
        "w pracy do 16",
        "Zażółć gęślą jaźń",
        "Konstantynopolitańczykowianeczka przyjechała wczoraj wieczorem",
        "Cześć! Idziesz dziś na kawę o 15? Potem możemy pójść do kina albo na spacer nad rzeką, "
        "jeśli pogoda dopisze i nikt nie zadzwoni.",
        "a b c d e f g h i j k l m n o p r s t u w y z ą ć ę ł ń ó ś ź ż 1 2 3 4 5 6 7 8 9 0 x y z",
    };
    const int rows = 5;  // autoheightrows' default
    // The standard scheme again with a description face this system lacks: another one stands in.
    const std::string standard = schemeFolder() + "standard.kivs";
    testScheme substitute("kivtest-substitute.kivs", "");
    REQUIRE(CopyFileA(standard.c_str(), substitute.path.c_str(), FALSE));
    LOGFONTA missingFace = {};
    REQUIRE(GetPrivateProfileStructA("skin", "desc_font", &missingFace, sizeof missingFace, standard.c_str()));
    strcpy(missingFace.lfFaceName, "Verdana");
    REQUIRE(WritePrivateProfileStructA("skin", "desc_font", &missingFace, sizeof missingFace, substitute.path.c_str()));

    for (const std::string scheme : {"standard.kivs", "rounded.kivs", "dark.kivs", "kivtest-substitute.kivs"}) {
        CAPTURE(scheme);
        const std::string file = schemeFolder() + scheme;
        LOGFONTA font = {};
        REQUIRE(GetPrivateProfileStructA("skin", "desc_font", &font, sizeof font, file.c_str()));
        const RECT full = schemeRect(file, "desc_rect");
        const RECT size = schemeRect(file, "window_size");  // width, height in the first two
        notifySession session("description-whole", settingsWith(scheme, lines({"clickclose=1"})));
        textLog::install(session);
        for (const std::string text : texts) {
            CAPTURE(text);
            measured m = measure(text.c_str(), full, font);
            REQUIRE(m.text <= rows * m.line);
            popupRequest request;
            request.text = text.c_str();
            HWND shown = showOne(session, request);
            REQUIRE(shown);
            RECT r = kivhost::windowRect(shown);
            CHECK(r.bottom - r.top == size.top + m.text);

            auto paint = textLog::paintOf(shown);
            REQUIRE(paint.size() == 2);
            const drawnText& drawn = paint[1];
            CHECK(drawn.text == text);
            RECT expected = full;
            expected.bottom = full.top + m.text;
            const int width = r.right - r.left, height = r.bottom - r.top;
            auto window = rendered(font, drawn.text, drawn.rect, drawn.flags, width, height);
            auto whole = rendered(font, text, expected, descriptionFlags, width, height);
            auto plain = rendered(font, text, expected, DT_WORDBREAK | DT_NOPREFIX, width, height);
            CHECK(window == whole);
            CHECK(whole == plain);  // no ellipsis: the text fits
            SendMessageA(shown, WM_RBUTTONUP, 0, 0);  // clickclose: one window at a time
        }
    }
}

TEST_CASE("an empty text gives the small window; no icon name draws the contact's status icon") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("small", settingsWith(scheme.name, ""));
    contacts list;
    int ala = list.add("ala", "Ala", "TLEN", 2);
    kiv::popup_info info = {};  // all five texts null
    info.size = sizeof info;
    info.itemHandle = ala;
    REQUIRE(session.service("kiv/popup", reinterpret_cast<WPARAM>(&info)) == 0);
    REQUIRE(waitForCount(1));
    HWND shown = notifications()[0];
    RECT r = kivhost::windowRect(shown);
    CHECK(r.right - r.left == 250);
    CHECK(r.bottom - r.top == 24);

    repaint(shown);
    kivhost::picture pixels = kivhost::captureWindow(shown);
    REQUIRE(pixels.width == 250);
    COLORREF dot = kivhost::captureBitmap(list.list.statusIcon(2)).at(8, 8);
    CHECK(dot != RGB(255, 0, 255));
    CHECK(pixels.at(4 + 8, 4 + 8) == dot);  // the status dot of icon index 2
    CHECK(pixels.at(4, 4) == RGB(255, 255, 255));        // magenta around it stays transparent
    CHECK(pixels.at(0, 0) == RGB(0, 0, 0));              // the frame
}

TEST_CASE("left click: the caller's callback first, then the chat window with the contact's title") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("click-chat", settingsWith(scheme.name, lines({"clickopenchat=1"})));
    contacts list;
    int ala = list.add("ala", "Ala", "TLEN", 1);
    int ola = list.add("123", "Ola", "GG", 2);
    list.list.setDescription(ola, "w pracy");
    list.add("456", "Ewa", "GG", 2);

    clickLog::clicks.clear();
    popupRequest tlen;
    tlen.data = 5;
    tlen.itemHandle = ala;
    HWND shown = showOne(session, tlen);
    REQUIRE(shown);
    SendMessageA(shown, WM_LBUTTONUP, 0, 0);
    REQUIRE(clickLog::clicks.size() == 1);
    CHECK(clickLog::clicks[0].size == 12);
    CHECK(clickLog::clicks[0].button == 1);
    CHECK(clickLog::clicks[0].data == 5);
    CHECK(clickLog::clicks[0].window == shown);
    auto& chats = session.host.chatRequests();
    REQUIRE(chats.size() == 1);
    CHECK(chats[0].contactId == "ala");
    CHECK(chats[0].protocol == "TLEN");
    CHECK(chats[0].title == "Ala (ala) - Dostępny");
    CHECK(chats[0].network == 24);
    CHECK(chats[0].status.icon == list.list.statusIcon(1));
    CHECK(IsWindow(shown));  // clickclose is off

    popupRequest gg;
    gg.protocol = "GG";
    gg.contactId = "123";
    SendMessageA(showOne(session, gg), WM_LBUTTONUP, 0, 0);
    gg.contactId = "456";
    SendMessageA(showOne(session, gg), WM_LBUTTONUP, 0, 0);
    gg.contactId = "789";  // not on the list: no chat window
    SendMessageA(showOne(session, gg), WM_LBUTTONUP, 0, 0);
    REQUIRE(chats.size() == 3);
    CHECK(chats[1].title == "Ola (GG# 123) - w pracy");
    CHECK(chats[1].network == 0);
    CHECK(chats[2].title == "Ewa (GG# 456) - Zaraz wracam");
    CHECK(chats[2].status.icon == list.list.statusIcon(2, "GG"));
}

TEST_CASE("right click with clickclose: callback with button 2, window closed, no chat window") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("click-right", settingsWith(scheme.name, lines({"clickopenchat=1", "clickclose=1"})));
    contacts list;
    list.add("ala", "Ala", "TLEN", 1);
    clickLog::clicks.clear();
    HWND shown = showOne(session, {});
    SendMessageA(shown, WM_RBUTTONUP, 0, 0);
    REQUIRE(clickLog::clicks.size() == 1);
    CHECK(clickLog::clicks[0].button == 2);
    CHECK_FALSE(IsWindow(shown));
    CHECK(session.host.chatRequests().empty());
    CHECK(notifications().empty());
}

TEST_CASE("clicks after the window is gone: a second click and a callback that closes its own window") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("click-gone", settingsWith(scheme.name, lines({"clickopenchat=1", "clickclose=1"})));
    contacts list;
    list.add("ala", "Ala", "TLEN", 1);

    SUBCASE("two clicks queued, the first closes the window") {
        clickLog::clicks.clear();
        HWND shown = showOne(session, {});
        PostMessageA(shown, WM_LBUTTONUP, 0, 0);
        PostMessageA(shown, WM_LBUTTONUP, 0, 0);
        kivhost::pumpMessages(250);
        CHECK(clickLog::clicks.size() == 1);
        CHECK(session.host.chatRequests().size() == 1);
        CHECK_FALSE(IsWindow(shown));
    }
    SUBCASE("the callback destroys the window: the click ends there, the manager retires it") {
        clickLog::clicks.clear();
        popupRequest request;
        request.callback = closeOwnWindow;
        HWND shown = showOne(session, request);
        SendMessageA(shown, WM_LBUTTONUP, 0, 0);
        CHECK(clickLog::clicks.size() == 1);
        CHECK_FALSE(IsWindow(shown));
        CHECK(session.host.chatRequests().empty());
        kivhost::pumpMessages(250);
        CHECK(showOne(session, {}) != nullptr);  // the manager goes on
    }
}

TEST_CASE("window shape: the skin's key pixels are cut out; without a skin bitmap there is no shape") {
    SUBCASE("the shipped rounded scheme") {
        notifySession session("shape-rounded", settingsWith("rounded.kivs", ""));
        popupRequest small;
        small.text = "";
        HWND shown = showOne(session, small);
        REQUIRE(shown);
        kivhost::windowShape shape = kivhost::shapeOf(shown);
        REQUIRE(shape.hasShape);
        CHECK_FALSE(shape.contains(0, 0));  // rounded corners
        CHECK_FALSE(shape.contains(249, 23));
        CHECK(shape.contains(125, 12));
        CHECK(shape.contains(0, 12));
        CHECK(shape.area() < 250 * 24);
        CHECK(shape.area() > 240 * 24);
    }
    SUBCASE("a skin entirely of the key colour: an empty shape") {
        testScheme scheme("kivtest-key.kivs", "window_autoheight=0\r\nbitmap_cut=0,4,0,4\r\n"
                                               "bitmap_source=#plugins\\kiv.scheme\\kivtest-key.bmp\r\n");
        std::string bitmap = schemeFolder() + "kivtest-key.bmp";
        kivhost::saveBmp(kivhost::picture{4, 4, std::vector<COLORREF>(16, RGB(255, 0, 255))}, bitmap);
        notifySession session("shape-key", settingsWith(scheme.name, ""));
        HWND shown = showOne(session, {});
        REQUIRE(shown);
        kivhost::windowShape shape = kivhost::shapeOf(shown);
        CHECK(shape.hasShape);
        CHECK(shape.area() == 0);
        DeleteFileA(bitmap.c_str());
    }
    SUBCASE("no bitmap: a plain rectangle") {
        testScheme scheme("kivtest-plain.kivs", plainScheme);
        notifySession session("shape-none", settingsWith(scheme.name, ""));
        HWND shown = showOne(session, {});
        REQUIRE(shown);
        CHECK_FALSE(kivhost::shapeOf(shown).hasShape);
    }
}

// ---- a caller's buttons and bar ------------------------------------------------------------

namespace {

// A caption in Windows-1250, as the narrow functions draw it.
std::string narrow(const char* caption, bool utf8) {
    if (!utf8) return caption;
    wchar_t wide[64] = L"";
    char text[64] = "";
    MultiByteToWideChar(CP_UTF8, 0, caption, -1, wide, 64);
    WideCharToMultiByte(1250, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// How many pixels of ink each column of the area holds, from the first column with any to the last.
struct inkRun {
    std::vector<int> columns;
    int left = 0;  // the first column's x
    int right() const { return left + static_cast<int>(columns.size()); }
};
inkRun inkColumns(const std::vector<COLORREF>& pixels, int width, const RECT& area, COLORREF background) {
    std::vector<int> all;
    for (int x = area.left; x < area.right; ++x) {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) count += pixels[static_cast<size_t>(y) * width + x] != background;
        all.push_back(count);
    }
    const auto inked = [](int count) { return count > 0; };
    const auto first = std::find_if(all.begin(), all.end(), inked);
    const auto last = std::find_if(all.rbegin(), all.rend(), inked).base();
    inkRun run;
    run.left = area.left + static_cast<int>(first - all.begin());
    if (first < last) run.columns.assign(first, last);
    return run;
}

// The caption's ink within the button's frame.
inkRun captionIn(const kivhost::picture& image, const RECT& button) {
    const RECT inner = {button.left + 1, button.top + 1, button.right - 1, button.bottom - 1};
    return inkColumns(image.pixels, image.width, inner, actionColours::back);
}

// The caption drawn alone and whole in the scheme's font.
std::vector<int> wholeCaption(const std::string& text) {
    const int width = 400, height = 40;
    RECT area = {0, 0, width, height};
    const auto pixels = rendered(schemeFont(), text, area, DT_SINGLELINE | DT_NOPREFIX, width, height);
    return inkColumns(pixels, width, area, RGB(255, 255, 255)).columns;
}

}  // namespace

TEST_CASE("buttons: lit under the pointer; a click on each tells the caller 101 to 103 and closes the window unless kept open") {
    testScheme scheme("kivtest-actions.kivs", actionScheme());
    notifySession session("action-click", settingsWith(scheme.name, ""));
    const char* const captions[] = {"Otwórz", "Pokaż w folderze", "Odrzuć"};
    popupRequest request;
    request.data = 42;
    for (int count = 1; count <= 3; ++count)
        for (bool keepOpen : {false, true})
            for (int k = 0; k < count; ++k) {
                CAPTURE(count);
                CAPTURE(keepOpen);
                CAPTURE(k);
                HWND shown = showWith(session, request,
                                      options3(-1, {captions[0], count > 1 ? captions[1] : nullptr,
                                                    count > 2 ? captions[2] : nullptr},
                                               keepOpen));
                REQUIRE(shown);
                const std::vector<RECT> buttons = buttonsOf(shown);
                REQUIRE(buttons.size() == static_cast<size_t>(count));
                mouseAt(shown, WM_MOUSEMOVE, centre(buttons[k]));
                repaint(shown);
                const kivhost::picture hovered = kivhost::captureWindow(shown);
                for (int other = 0; other < count; ++other)  // the one under the pointer filled with its frame's colour
                    CHECK((hovered.at(buttons[other].left + 2, buttons[other].top + 2) == actionColours::frame) ==
                          (other == k));
                clickLog::clicks.clear();
                mouseAt(shown, WM_LBUTTONUP, centre(buttons[k]));
                REQUIRE(clickLog::clicks.size() == 1);
                CHECK(clickLog::clicks[0].button == 101 + k);
                CHECK(clickLog::clicks[0].data == 42);
                CHECK(IsWindow(shown) == keepOpen);
                if (!keepOpen) continue;
                mouseAt(shown, WM_LBUTTONUP, {20, 30});  // on the text: a click on the notification, which stays
                REQUIRE(clickLog::clicks.size() == 2);
                CHECK(clickLog::clicks[1].button == 1);
                CHECK(IsWindow(shown));
                SendMessageA(shown, WM_CLOSE, 0, 0);
            }
}

TEST_CASE("buttons and bar go under the description, the window grows by them and stays in the work area") {
    struct row {
        const char* name;
        int fontPixels;
        const char* text;
        int progress;
        int actions;
    };
    const std::string many = manyLines();
    const row rows[] = {
        {"bar", 11, "Pobieranie pliku", 30, 0},
        {"two buttons", 11, "Pobieranie pliku", -1, 2},
        {"bar and three buttons", 11, "Pobrano plik raport.pdf, 2 MB", 100, 3},
        {"no text: the normal width", 11, "", 0, 2},
        {"a text taller than the screen", 150, many.c_str(), 50, 3},
    };
    for (const row& r : rows) {
        CAPTURE(std::string(r.name));
        testScheme scheme("kivtest-actions.kivs", actionScheme(r.fontPixels));
        notifySession session("action-layout", settingsWith(scheme.name, lines({"clickclose=1"})));
        textLog::install(session);
        popupRequest request;
        request.text = r.text;
        const char* const captions[] = {"Otwórz", "Pokaż", "Odrzuć"};
        HWND plain = showWith(session, request, options3(-1, {}));
        REQUIRE(plain);
        const RECT without = kivhost::windowRect(plain);
        SendMessageA(plain, WM_RBUTTONUP, 0, 0);

        HWND shown = showWith(session, request,
                              options3(r.progress, {r.actions > 0 ? captions[0] : nullptr,
                                                    r.actions > 1 ? captions[1] : nullptr,
                                                    r.actions > 2 ? captions[2] : nullptr}));
        REQUIRE(shown);
        CHECK(inside(shown, workArea()));
        const RECT with = kivhost::windowRect(shown);
        CHECK(with.right - with.left == 250);
        CHECK(with.bottom - with.top >= without.bottom - without.top);  // the room under a grown text may do
        const int height = with.bottom - with.top;

        auto paint = textLog::paintOf(shown);
        REQUIRE(paint.size() >= 2);
        const int textBottom = paint[1].rect.bottom;
        const kivhost::picture image = kivhost::captureWindow(shown);
        const std::vector<RECT> bar = framedBoxes(image, actionColours::bar);
        REQUIRE(bar.size() == (r.progress >= 0 ? 1u : 0u));
        const std::vector<RECT> buttons = framedBoxes(image, actionColours::frame);
        REQUIRE(buttons.size() == static_cast<size_t>(r.actions));
        const int rowTop = bar.empty() ? textBottom : bar[0].bottom;  // the bar first, then the row
        for (const RECT& box : bar) CHECK(box.top > textBottom);
        for (const RECT& box : buttons) CHECK(box.top > rowTop);
        for (const std::vector<RECT>* found : {&bar, &buttons})
            for (const RECT& box : *found) {
                CHECK(box.left > 0);
                CHECK(box.right < 250);
                CHECK(box.bottom < height);
            }
        for (size_t k = 1; k < buttons.size(); ++k) CHECK(buttons[k].left > buttons[k - 1].right);
        SendMessageA(shown, WM_RBUTTONUP, 0, 0);
    }
}

TEST_CASE("captions are drawn whole inside their buttons, or cut with an ellipsis when the row is too narrow") {
    struct caption {
        const char* text;
        bool whole;
    };
    struct row {
        bool utf8;
        caption captions[3];
    };
    const row rows[] = {
        {false, {{"Otwórz", true}, {"Pokaż w folderze", true}, {"Odrzuć", true}}},
        {true, {{u8"Zażółć", true}, {u8"Gęślą jaźń", true}, {u8"Łódź", true}}},
        {false, {{"Pokaż w folderze i otwórz wszystko teraz", false}, {"Nie", true}, {"Odrzuć", true}}},
    };
    testScheme scheme("kivtest-actions.kivs", actionScheme());
    notifySession session("action-captions", settingsWith(scheme.name, lines({"clickclose=1"})));
    for (const row& r : rows) {
        CAPTURE(std::string(r.captions[0].text));
        HWND shown = showWith(session, {},
                              options3(-1, {r.captions[0].text, r.captions[1].text, r.captions[2].text}, false,
                                       r.utf8 ? kiv::popupUtf8 : kiv::popupWindows1250));
        REQUIRE(shown);
        repaint(shown);
        const kivhost::picture image = kivhost::captureWindow(shown);
        const std::vector<RECT> buttons = framedBoxes(image, actionColours::frame);
        REQUIRE(buttons.size() == 3);
        for (int k = 0; k < 3; ++k) {
            CAPTURE(k);
            const inkRun drawn = captionIn(image, buttons[k]);
            REQUIRE(!drawn.columns.empty());
            CHECK(drawn.left >= buttons[k].left + 2);  // a pixel of the button's own colour between
            CHECK(drawn.right() <= buttons[k].right - 2);
            const std::vector<int> whole = wholeCaption(narrow(r.captions[k].text, r.utf8));
            if (r.captions[k].whole) {
                CHECK(drawn.columns == whole);
            } else {  // its start, then an ellipsis
                REQUIRE(drawn.columns.size() < whole.size());
                const size_t start = drawn.columns.size() / 2;
                CHECK(std::equal(whole.begin(), whole.begin() + start, drawn.columns.begin()));
            }
        }
        SendMessageA(shown, WM_RBUTTONUP, 0, 0);
    }
}

TEST_CASE("the bar is filled from the left as far as the caller has come, in the scheme's or the system's colour") {
    const COLORREF idColour = RGB(0x10, 0x70, 0x30);
    testScheme keyed("kivtest-actions.kivs", actionScheme());
    testScheme plain("kivtest-plain-bar.kivs", "window_autoheight=0\r\nid_color=" + std::to_string(idColour) + "\r\n");
    struct row {
        const char* name;
        const testScheme& scheme;
        bool highContrast;
        COLORREF bar;
    };
    const row rows[] = {
        {"the scheme's key", keyed, false, actionColours::bar},
        {"no key: the contact line's colour", plain, false, idColour},
        {"high contrast: the system's highlight", keyed, true, highContrastScene::highlight},
    };
    for (const row& r : rows) {
        CAPTURE(std::string(r.name));
        std::unique_ptr<highContrastScene> system;
        if (r.highContrast) system = std::make_unique<highContrastScene>();
        notifySession session("action-bar", settingsWith(r.scheme.name, lines({"clickclose=1"})));
        for (int percent : {0, 50, 100}) {
            CAPTURE(percent);
            HWND shown = showWith(session, {}, options3(percent, {}));
            REQUIRE(shown);
            repaint(shown);
            const kivhost::picture image = kivhost::captureWindow(shown);
            const std::vector<RECT> bars = framedBoxes(image, r.bar);
            REQUIRE(bars.size() == 1);
            const RECT bar = bars[0];
            const int y = (bar.top + bar.bottom) / 2, left = bar.left + 1, right = bar.right - 1;
            int filled = 0;
            while (left + filled < right && image.at(left + filled, y) == r.bar) ++filled;
            for (int x = left + filled; x < right; ++x) CHECK(image.at(x, y) != r.bar);
            CHECK(std::abs(filled - (right - left) * percent / 100) <= 1);
            SendMessageA(shown, WM_RBUTTONUP, 0, 0);
        }
    }
}
