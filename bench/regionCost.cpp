// The window shape of a detailed skin: buildRegion (runs of a row collected as region data and
// turned into a region 2000 rectangles at a time) against the obvious version that merges every
// run into the region on its own with CombineRgn. Both run on the same picture in the same run;
// the figure that matters is the ratio.
//
// usage: kiv_bench_region [RUNS_PER_ROW]   (default 25, on a 1000 x 300 picture)
//
// At most 25 runs a row (26 with the last piece): a window shape keeps at most 8192 rectangles, and
// a picture with more runs gets its outline instead, which is not what is compared here.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "benchSupport.h"
#include "windowProbe.h"
#include "scheme/skinDrawing.h"

namespace {

constexpr int width = 1000;
constexpr int height = 300;
constexpr COLORREF key = 0xFF00FF;

// A composed-skin-like picture: white with key pixels that cut every row into runs, shifted from
// row to row so no two rows are alike and the region cannot merge them.
HBITMAP detailedPicture(int runsPerRow) {
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, picture);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int period = std::max(2, width / runsPerRow);
    for (int y = 0; y < height; ++y)
        for (int x = (y * 7) % period; x < width; x += period) SetPixelV(dc, x, y, key);
    SelectObject(dc, previous);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The same scan as buildRegion's (32-bit copy, rows from the top, runs of non-key pixels), but
// every run becomes a region of its own, merged into the result at once.
HRGN naiveRegion(HBITMAP bitmap, int& runs) {
    BITMAPINFO format = kivhost::topDownFormat(width, height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    const uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    runs = 0;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = &pixels[static_cast<size_t>(y) * width];
        for (int x = 0; x < width;) {
            int start = x;
            while (x < width && (row[x] & 0xFFFFFF) != keyPixel) ++x;
            if (x > start) {
                HRGN run = CreateRectRgn(start, y, x, y + 1);
                CombineRgn(result, result, run, RGN_OR);
                DeleteObject(run);
                ++runs;
            }
            ++x;
        }
    }
    return result;
}

DWORD rectangles(HRGN region) {
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<char> data(size);
    if (!size || !GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()))) return 0;
    return reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
}

}  // namespace

int main(int argc, char** argv) {
    const int runsPerRow = argc > 1 ? std::clamp(atoi(argv[1]), 1, 25) : 25;
    HBITMAP picture = detailedPicture(runsPerRow);

    constexpr int repeats = 5;
    double fast = 1e300;
    HRGN built = nullptr;
    for (int i = 0; i < repeats; ++i) {
        if (built) DeleteObject(built);
        double start = kivbench::milliseconds();
        built = kiv::buildRegion(picture, key);
        fast = std::min(fast, kivbench::milliseconds() - start);
    }
    int runs = 0;
    double start = kivbench::milliseconds();
    HRGN naive = naiveRegion(picture, runs);
    const double slow = kivbench::milliseconds() - start;
    const bool same = built && naive && EqualRgn(built, naive);

    printf("## Window shape of a detailed skin: buildRegion against one CombineRgn per run\n\n");
    printf("A %d x %d composed picture with about %d runs of non-key pixels per row, %d runs in all, "
           "every row different. Best of %d for buildRegion, one pass for the naive version.\n\n",
           width, height, runsPerRow, runs, repeats);
    printf("| version | time | rectangles in the region |\n|---|---:|---:|\n");
    printf("| buildRegion: region data, ExtCreateRegion every 2000 runs | %.1f ms | %lu |\n", fast,
           static_cast<unsigned long>(rectangles(built)));
    printf("| naive: CreateRectRgn + CombineRgn(RGN_OR) per run | %.1f ms | %lu |\n\n", slow,
           static_cast<unsigned long>(rectangles(naive)));
    printf("buildRegion takes %.1f times less time; the two regions are %s.\n\n", slow / fast,
           same ? "equal (EqualRgn)" : "NOT equal");
    DeleteObject(built);
    DeleteObject(naive);
    DeleteObject(picture);
    return same ? 0 : 1;
}
