#include "schemeShots.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "hostCore.h"
#include "kiv/popup.h"
#include "pluginLoader.h"
#include "textCodec.h"
#include "windowProbe.h"

namespace kivhost {

namespace {

constexpr int margin = 8;

// Scheme files shipped beside the plug-in; files the tests leave behind are not shipped ones.
std::vector<std::string> shippedSchemes(const std::string& schemeFolder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((schemeFolder + "*.kivs").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name.rfind("kivtest-", 0) != 0 && name.rfind("kivpreview-", 0) != 0) names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A calm grey wall behind the notifications, so their shaped corners show against something.
class backdrop {
public:
    backdrop() : colour_(CreateSolidBrush(RGB(160, 168, 176))) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = colour_;
        windowClass.lpszClassName = "kivhost_backdrop";
        RegisterClassA(&windowClass);
        RECT area;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "kivhost_backdrop", "", WS_POPUP, area.right - 400,
                                  area.bottom - 200, 400, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    ~backdrop() {
        DestroyWindow(window_);
        UnregisterClassA("kivhost_backdrop", GetModuleHandleA(nullptr));
        DeleteObject(colour_);
    }
    backdrop(const backdrop&) = delete;
    backdrop& operator=(const backdrop&) = delete;

private:
    HBRUSH colour_;
    HWND window_ = nullptr;
};

void queue(hostCore& host, const char* text, const char* iconName, int itemHandle) {
    kiv::popup_info info = {};
    info.size = sizeof info;
    info.protocol = "TLEN";
    info.contactId = "ala";
    info.nick = "Ala";
    info.text = text;
    info.iconName = iconName;
    info.itemHandle = itemHandle;
    host.callPluginService("kiv/popup", reinterpret_cast<WPARAM>(&info), 0);
}

// Someone outside (the X server's own screenshot tool, under Wine) takes the picture: the area
// goes into <picture>.area, and the windows stay on screen until <picture>.png appears.
bool handOver(const RECT& area, const std::string& picture) {
    std::ofstream(picture + ".area") << area.left << ' ' << area.top << ' ' << area.right - area.left << ' '
                                     << area.bottom - area.top << '\n';
    return pumpUntil([&] { return fileExists(picture + ".png"); }, 60000);
}

}  // namespace

bool showScheme(const std::string& pluginPath, const std::string& profileFolder, const std::string& scheme,
                const std::function<bool(const RECT&)>& take) {
    hostCore& host = hostCore::get();
    host.reset();
    std::ofstream(profileFolder + "kiv.config", std::ios::binary)
        << "[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=" << scheme
        << "\r\nvisibletime=60\r\neffect=0\r\nalpha=0\r\n";
    host.setProfile("kivhost", profileFolder);
    SetForegroundWindow(host.mainWindow());
    backdrop wall;
    int ala = host.contacts.addContact("ala", "Ala", 0, "TLEN");
    host.contacts.setIconIndex(ala, 1);

    pluginLoader plugin(pluginPath);
    if (!plugin.loaded() || !plugin.info(kiv::abi::minimumHostVersion)) return false;
    plugin.load();
    queue(host, "Ala ma kota, a kot ma Alę. Zażółć gęślą jaźń: opis, który zawija się na drugą linię.", "message",
          ala);
    queue(host, "", "", ala);
    pumpUntil([] { return findWindows("kiv_notify_window").size() == 2; }, 2000);
    pumpMessages(300);

    RECT area = areaOfWindows("kiv_notify_window");
    InflateRect(&area, margin, margin);
    bool taken = take(area);
    plugin.unload();
    host.contacts.remove(ala);
    return taken;
}

namespace {

bool photograph(const std::string& pluginPath, const std::string& profileFolder, const std::string& scheme,
                const std::string& picture, bool outsideGrab) {
    return showScheme(pluginPath, profileFolder, scheme, [&](const RECT& area) {
        return outsideGrab ? handOver(area, picture) : saveBmp(captureScreen(area), picture + ".bmp");
    });
}

}  // namespace

int takeSchemeShots(const std::string& pluginPath, const std::string& profile, const std::string& outFolder,
                    bool outsideGrab) {
    const std::string profileFolder = asFolder(profile);
    int taken = 0;
    for (const std::string& scheme : shippedSchemes(schemeFolder())) {
        std::string name = scheme.substr(0, scheme.size() - 5);
        std::string picture = outFolder + "scheme-" + name;
        if (!photograph(pluginPath, profileFolder, scheme, picture, outsideGrab)) {
            fprintf(stderr, "kivhost: no picture of %s\n", scheme.c_str());
            taken = -1;
            break;
        }
        printf("%s\n", picture.c_str());
        ++taken;
    }
    return taken;
}

}  // namespace kivhost
