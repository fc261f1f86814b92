#include "optionsShots.h"

#include <windows.h>

#include "hostCore.h"
#include "optionsWindow.h"
#include "pluginLoader.h"
#include "windowProbe.h"

namespace kivhost {

namespace {

// The offset the page can scroll to at most: the bar's range less the part in view.
int lastOffset(HWND page) {
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(page, SB_VERT, &bar);
    int last = bar.nMax - static_cast<int>(bar.nPage);
    return last > 0 ? last : 0;
}

bool photograph(const optionsWindow& options, HWND page, int offset, const std::string& file) {
    SendMessageA(page, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, offset), 0);
    RedrawWindow(options.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages(500);
    return saveBmp(captureScreen(windowRect(options.window())), file);
}

}  // namespace

int takeOptionsShots(const std::string& pluginPath, const std::string& profileFolder, const std::string& outFolder) {
    hostCore& host = hostCore::get();
    host.setProfile("kivtest", profileFolder);
    host.mainWindow();
    pluginLoader plugin(pluginPath);
    if (!plugin.loaded() || !plugin.info(kiv::abi::minimumHostVersion)) return -1;
    plugin.load();
    int written = -1;
    {
        optionsWindow options(host);
        SetForegroundWindow(options.window());
        HWND page = options.pageWindow();
        if (page) {
            int last = lastOffset(page);
            written = photograph(options, page, 0, outFolder + "options-top.bmp") +
                      photograph(options, page, last / 2, outFolder + "options-middle.bmp") +
                      photograph(options, page, last, outFolder + "options-bottom.bmp");
        }
    }
    plugin.unload();
    return written;
}

}  // namespace kivhost
