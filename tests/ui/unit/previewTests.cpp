// The options page's sample notifications: the request they queue, field by field.
#include <doctest.h>

#include <cstdio>
#include <string>

#include "moduleFixture.h"
#include "notify/window.h"
#include "notify/windowsManager.h"
#include "scheme/skin.h"
#include "settings/config.h"
#include "base/text.h"
#include "ui/optionsPage.h"

using namespace kivtest;

namespace {

// The module's objects as start-up makes them, without a settings file.
struct previewFixture : moduleFixture {
    previewFixture() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = kiv::notifyWindowProc;
        windowClass.hInstance = kiv::plugin.instance;
        windowClass.lpszClassName = kiv::notifyWindowClass;
        RegisterClassA(&windowClass);
        kiv::copyText(kiv::plugin.userLogin, "ala.kot");
        kiv::plugin.settings = &settings;
        kiv::plugin.scheme = &look;
        kiv::plugin.windows = &manager;
    }
    ~previewFixture() {
        manager.closeAll();
        UnregisterClassA(kiv::notifyWindowClass, kiv::plugin.instance);
    }

    // The request of the one window the sample made.
    kiv::window_info shownRequest() {
        manager.onTick();
        REQUIRE(manager.windows().size() == 1);
        return manager.windows().front()->request();
    }

    kiv::config settings{""};
    kiv::skin look;
    kiv::windowsManager manager;
};

}  // namespace

TEST_CASE_FIXTURE(previewFixture, "the sample names the user, the module and its version, and the time of the click") {
    settings.silent = true;  // the sample ignores the switch
    SYSTEMTIME before;
    GetLocalTime(&before);
    kiv::previewNotification(true);
    CHECK(manager.queued() == 0);  // shown at once, not at the next tick
    kiv::window_info request = shownRequest();

    CHECK(std::string(request.protocol) == "TLEN");
    CHECK(std::string(request.contactId) == "ala.kot@tlen.pl");
    CHECK(std::string(request.nick) == "ala.kot");
    CHECK(std::string(request.iconName) == "ico_small");
    CHECK(request.status == 0);
    CHECK(request.itemHandle == 0);
    CHECK(reinterpret_cast<void*>(request.clickCallback) == nullptr);
    CHECK(request.callbackData == 0);
    CHECK_FALSE(request.forceAutoClose);
    CHECK_FALSE(request.forceKeepOpen);
    CHECK(request.iconBitmap == nullptr);

    std::string text = request.text;
    size_t first = text.find('\n');
    size_t second = text.find('\n', first + 1);
    REQUIRE(second != std::string::npos);
    CHECK(text.find('\n', second + 1) == std::string::npos);
    CHECK(text.substr(0, first) == "kiv 0.1.1.7");
    CHECK(text.substr(first + 1, second - first - 1) == "to jest przykładowy opis");

    std::string when = text.substr(second + 1);
    REQUIRE(when.size() == 19);
    char date[16];
    snprintf(date, sizeof date, "%02u-%02u-%04u", before.wDay, before.wMonth, before.wYear);
    CHECK(when.substr(0, 10) == date);  // a test run across midnight would see the next day here
    unsigned hour = 0, minute = 0, second_ = 0;
    REQUIRE(sscanf(when.c_str() + 11, "%2u:%2u:%2u", &hour, &minute, &second_) == 3);
    CHECK(when[13] == ':');
    CHECK(when[16] == ':');
    CHECK(hour * 3600 + minute * 60 + second_ >= before.wHour * 3600u + before.wMinute * 60u + before.wSecond);
}

TEST_CASE_FIXTURE(previewFixture, "the small sample has no text, and a long login is cut to the identifier's field") {
    kiv::copyText(kiv::plugin.userLogin, std::string(80, 'u').c_str());
    kiv::previewNotification(false);
    kiv::window_info request = shownRequest();
    CHECK(request.text[0] == '\0');
    CHECK(request.small);
    CHECK(std::string(request.contactId) == std::string(63, 'u'));
    CHECK(std::string(request.nick) == std::string(63, 'u'));
}
