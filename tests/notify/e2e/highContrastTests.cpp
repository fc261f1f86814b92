// Notifications while the system is in high contrast: the system's colours instead of the scheme's.
#include <doctest.h>

#include "notifySupport.h"

using namespace kivtest;

namespace {

// What a person sees of one window: its size, shape, opacity, the pixels at its edge and just
// inside it (left of every text), and what its paint drew.
struct seen {
    LONG width, height;
    bool shaped;
    bool layered;
    COLORREF edge, inside;
    std::vector<std::string> texts, bitmaps;
    std::vector<COLORREF> textColours;
};

seen look(HWND window) {
    seen s = {};
    RECT r = kivhost::windowRect(window);
    s.width = r.right - r.left;
    s.height = r.bottom - r.top;
    s.shaped = kivhost::shapeOf(window).hasShape;
    BYTE alpha = 0;
    s.layered = kivhost::layeredAlpha(window, alpha);
    kivhost::paintedWindow paint = paintOf(window);
    kivhost::picture pixels = kivhost::captureWindow(window);
    s.edge = pixels.at(0, s.height / 2);
    s.inside = pixels.at(2, s.height - 3);
    s.texts = paint.texts;
    s.bitmaps = paint.bitmaps;
    for (const kivhost::textStyle& style : paint.styles) s.textColours.push_back(style.colour);
    return s;
}

}  // namespace

TEST_CASE("high contrast: the system's colours, no picture, shape or transparency; the scheme again once off") {
    testScheme coloured("kivtest-coloured.kivs", "window_autoheight=0\r\nwindow_bgcolor=255\r\n"
                                                 "window_framecolor=65280\r\nid_color=16711680\r\ndesc_color=255\r\n");
    struct row {
        const char* scheme;
        const char* windowKeys;
        const char* text;
    };
    const row rows[] = {
        {"rounded.kivs", "alpha=30\r\n", "Ala ma kota"},  // a bitmap, a cut-out shape, transparency
        {"dark.kivs", "effect=2\r\nalpha=40\r\n", ""},   // the small bitmap, fading in
        {coloured.name.c_str(), "", "Ala ma kota"},       // no bitmap: the scheme's own colours
    };
    int index = 0;
    for (const row& r : rows) {
        CAPTURE(r.scheme);
        notifySession session("high-contrast-" + std::to_string(index++),
                              settingsWith(r.scheme, std::string("visibletime=60\r\n") + r.windowKeys));
        popupRequest request;
        request.text = r.text;
        HWND schemed = showOne(session, request);
        REQUIRE(schemed);
        const seen before = look(schemed);
        CHECK(before.textColours != std::vector<COLORREF>(before.texts.size(), highContrastScene::text));

        {
            highContrastScene contrast;
            HWND contrasted = showOne(session, request);
            REQUIRE(contrasted);
            const seen during = look(contrasted);
            CHECK(during.width == before.width);
            CHECK(during.height == before.height);
            CHECK_FALSE(during.shaped);
            CHECK_FALSE(during.layered);
            CHECK(during.edge == highContrastScene::text);  // the one-pixel frame
            CHECK(during.inside == highContrastScene::window);
            CHECK(during.texts == before.texts);
            CHECK(during.bitmaps == before.bitmaps);  // the same icon
            CHECK(during.textColours == std::vector<COLORREF>(during.texts.size(), highContrastScene::text));
        }

        HWND after = showOne(session, request);
        REQUIRE(after);
        const seen again = look(after);
        CHECK(again.shaped == before.shaped);
        CHECK(again.inside == before.inside);
        CHECK(again.textColours == before.textColours);
        CHECK(again.layered == before.layered);
    }
}
