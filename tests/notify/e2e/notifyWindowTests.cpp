// One notification window: what it paints, how it sizes to its text, and how it answers clicks.
#include <doctest.h>

#include <cstring>

#include "importPatch.h"
#include "notifySupport.h"

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
