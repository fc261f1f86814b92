// Nine-slice composing, window shapes from the colour key, and icons drawn with a key colour.
#include <doctest.h>

#include <set>
#include <string>

#include "moduleFixture.h"
#include "pictures.h"
#include "scheme/skin.h"
#include "scheme/skinDrawing.h"

using namespace kivtest;

namespace {

const COLORREF magenta = RGB(255, 0, 255);

// A hidden borderless window whose client area is exactly width x height.
class plainWindow {
public:
    plainWindow(int width, int height)
        : handle_(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  nullptr, nullptr)) {}
    ~plainWindow() { DestroyWindow(handle_); }
    plainWindow(const plainWindow&) = delete;
    plainWindow& operator=(const plainWindow&) = delete;
    HWND get() const { return handle_; }

private:
    HWND handle_;
};

// The nine colours of a 3 x 3 skin, one per pixel.
COLORREF nine(int x, int y) {
    return RGB(10 + 80 * x, 10 + 80 * y, 5 * (x + 3 * y));
}

RECT cutOf(int x1, int x2, int y1, int y2) {
    return {x1, y1, x2, y2};
}

struct composed {
    kiv::skin look;
    kivhost::picture image;

    composed(HBITMAP bitmap, RECT cut, int width, int height, bool small = false, HBITMAP smallBitmap = nullptr,
             RECT smallCut = cutOf(1, 2, 1, 2)) {
        look.bitmap = bitmap;
        look.cut = cut;
        look.smallBitmap = smallBitmap;
        look.smallCut = smallCut;
        look.backgroundColor = RGB(1, 2, 3);
        plainWindow target(width, height);
        kiv::compose(look, target.get(), small);
        image = kivhost::captureBitmap(look.composed.get());
    }
    ~composed() {
        DeleteObject(look.bitmap);
        if (look.smallBitmap) DeleteObject(look.smallBitmap);
        look.bitmap = look.smallBitmap = nullptr;  // freed here: this skin never shared them
    }
};

bool regionIsEmpty(HRGN region) {
    RECT box;
    return GetRgnBox(region, &box) == NULLREGION;
}

// Every pixel inside the region exactly when the predicate says it should be; the answer names
// the pixels that are not, or is empty.
std::string mismatches(HRGN region, int width, int height, const std::function<bool(int, int)>& inside) {
    std::string wrong;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((PtInRegion(region, x, y) != 0) != inside(x, y) && wrong.size() < 200)
                wrong += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
    return wrong;
}

}  // namespace

TEST_CASE_FIXTURE(moduleFixture, "compose: a 3 x 3 skin cut 1,2,1,2 fills a 250 x 50 window") {
    composed c(makeBitmap(3, 3, nine), cutOf(1, 2, 1, 2), 250, 50);
    REQUIRE(c.image.width == 250);
    REQUIRE(c.image.height == 50);
    CHECK(c.look.currentBitmap == c.look.bitmap);
    CHECK(c.image.at(0, 0) == nine(0, 0));
    CHECK(c.image.at(249, 0) == nine(2, 0));
    CHECK(c.image.at(0, 49) == nine(0, 2));
    CHECK(c.image.at(249, 49) == nine(2, 2));
    int wrong = 0;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 250; ++x) {
            int column = x == 0 ? 0 : x == 249 ? 2 : 1;
            int row = y == 0 ? 0 : y == 49 ? 2 : 1;
            if (c.image.at(x, y) != nine(column, row)) ++wrong;
        }
    }
    CHECK(wrong == 0);  // edges stretched along their length, the centre pixel over 248 x 48
}

TEST_CASE_FIXTURE(moduleFixture, "compose: the small window uses the small bitmap only when the scheme has one") {
    SUBCASE("no small bitmap: the normal bitmap and cut") {
        composed c(makeBitmap(3, 3, nine), cutOf(1, 2, 1, 2), 250, 24, true);
        CHECK(c.look.currentBitmap == c.look.bitmap);
        CHECK(c.look.currentCut.right == 2);
        CHECK(c.image.width == 250);
        CHECK(c.image.height == 24);
        CHECK(c.image.at(0, 0) == nine(0, 0));
        CHECK(c.image.at(125, 12) == nine(1, 1));
    }
    SUBCASE("a small bitmap: it and its own cut") {
        HBITMAP small = makeBitmap(3, 3, [](int, int) { return RGB(200, 100, 50); });
        composed c(makeBitmap(3, 3, nine), cutOf(0, 3, 0, 3), 250, 24, true, small, cutOf(1, 2, 1, 2));
        CHECK(c.look.currentBitmap == small);
        CHECK(c.look.currentCut.left == 1);
        CHECK(c.image.at(125, 12) == RGB(200, 100, 50));
    }
    SUBCASE("a normal window ignores the small bitmap") {
        HBITMAP small = makeBitmap(3, 3, [](int, int) { return RGB(200, 100, 50); });
        composed c(makeBitmap(3, 3, nine), cutOf(1, 2, 1, 2), 250, 50, false, small);
        CHECK(c.image.at(125, 25) == nine(1, 1));
    }
}

TEST_CASE_FIXTURE(moduleFixture, "compose: windows smaller than the corners and malformed cuts stay inside the picture") {
    SUBCASE("a 2 x 2 window shows the four corners, later slices over earlier ones") {
        composed c(makeBitmap(3, 3, nine), cutOf(1, 2, 1, 2), 2, 2);
        REQUIRE(c.image.width == 2);
        CHECK(c.image.at(0, 0) == nine(0, 0));
        CHECK(c.image.at(1, 0) == nine(2, 0));
        CHECK(c.image.at(0, 1) == nine(0, 2));
        CHECK(c.image.at(1, 1) == nine(2, 2));
    }
    SUBCASE("x1 > x2: the middle column is empty and shows the background colour") {
        composed c(makeBitmap(3, 3, nine), cutOf(2, 1, 1, 2), 250, 50);
        REQUIRE(c.image.width == 250);
        CHECK(c.image.at(0, 0) == nine(0, 0));
        CHECK(c.image.at(249, 49) == nine(2, 2));
        CHECK(c.image.at(125, 25) == RGB(1, 2, 3));
    }
    SUBCASE("cuts beyond the bitmap and negative ones are clamped to it") {
        std::set<COLORREF> allowed = {RGB(1, 2, 3)};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) allowed.insert(nine(x, y));
        for (RECT cut : {cutOf(-5, 40, -7, 90), cutOf(9, 2, 8, 1), cutOf(3, 3, 3, 3)}) {
            composed c(makeBitmap(3, 3, nine), cut, 40, 30);
            REQUIRE(c.image.width == 40);
            REQUIRE(c.image.height == 30);
            int foreign = 0;
            for (COLORREF colour : c.image.pixels) foreign += allowed.count(colour) ? 0 : 1;
            CHECK(foreign == 0);
        }
    }
}

TEST_CASE_FIXTURE(moduleFixture, "buildRegion: runs of non-key pixels, row by row") {
    SUBCASE("no key pixel: the whole picture") {
        HBITMAP bitmap = makeBitmap(250, 50, [](int, int) { return RGB(0, 128, 0); });
        HRGN region = kiv::buildRegion(bitmap, magenta);
        REQUIRE(region);
        HRGN whole = CreateRectRgn(0, 0, 250, 50);
        CHECK(EqualRgn(region, whole));
        DeleteObject(whole);
        DeleteObject(region);
        DeleteObject(bitmap);
    }
    SUBCASE("all key: an empty shape, not a missing one") {
        HBITMAP bitmap = makeBitmap(40, 20, [](int, int) { return magenta; });
        HRGN region = kiv::buildRegion(bitmap, magenta);
        REQUIRE(region);
        CHECK(regionIsEmpty(region));
        DeleteObject(region);
        DeleteObject(bitmap);
    }
    SUBCASE("more than 2000 runs still give the union of all of them") {
        // Every other pixel is key, and every seventh row entirely: 125 runs a row, over 5000 in all.
        auto keyed = [](int x, int y) { return y % 7 == 3 || x % 2 == 1; };
        HBITMAP bitmap = makeBitmap(250, 50, [&](int x, int y) { return keyed(x, y) ? magenta : RGB(x, y, 7); });
        HRGN region = kiv::buildRegion(bitmap, magenta);
        REQUIRE(region);
        CHECK(mismatches(region, 250, 50, [&](int x, int y) { return !keyed(x, y); }) == "");
        DeleteObject(region);
        DeleteObject(bitmap);
    }
    SUBCASE("the key's bytes are compared in colour-value order: key 255 cuts pure blue") {
        HBITMAP bitmap = makeBitmap(30, 10, [](int x, int) { return x < 10 ? RGB(0, 0, 255) : RGB(255, 0, 0); });
        HRGN region = kiv::buildRegion(bitmap, 255);
        REQUIRE(region);
        CHECK(mismatches(region, 30, 10, [](int x, int) { return x >= 10; }) == "");
        DeleteObject(region);
        DeleteObject(bitmap);
    }
}

TEST_CASE_FIXTURE(moduleFixture, "drawKeyed leaves the target alone under key pixels and the bitmap unchanged") {
    auto icon = [](int x, int y) { return (x < 4 || y < 4) ? magenta : RGB(200, 20, 20); };
    HBITMAP bitmap = makeBitmap(16, 16, icon);
    kivhost::picture before = kivhost::captureBitmap(bitmap);

    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(target, canvas);
    RECT all = {0, 0, 40, 40};
    HBRUSH green = CreateSolidBrush(RGB(0, 150, 0));
    FillRect(target, &all, green);

    kiv::drawKeyed(target, bitmap, 10, 10, kiv::iconKey);
    SelectObject(target, previous);
    kivhost::picture once = kivhost::captureBitmap(canvas);
    CHECK(once.at(10, 10) == RGB(0, 150, 0));  // key: the target shows through
    CHECK(once.at(13, 20) == RGB(0, 150, 0));
    CHECK(once.at(14, 14) == RGB(200, 20, 20));
    CHECK(once.at(25, 25) == RGB(200, 20, 20));
    CHECK(once.at(26, 26) == RGB(0, 150, 0));  // outside the icon
    CHECK(samePicture(kivhost::captureBitmap(bitmap), before));

    // Drawing again over a fresh background gives the same picture; positions are 16-bit.
    previous = SelectObject(target, canvas);
    FillRect(target, &all, green);
    kiv::drawKeyed(target, bitmap, 0x10000 + 10, 10, kiv::iconKey);
    SelectObject(target, previous);
    CHECK(samePicture(kivhost::captureBitmap(canvas), once));
    CHECK(samePicture(kivhost::captureBitmap(bitmap), before));

    DeleteObject(green);
    DeleteObject(canvas);
    DeleteDC(target);
    DeleteObject(bitmap);
}
