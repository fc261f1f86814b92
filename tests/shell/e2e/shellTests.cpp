// The plug-in as the messenger meets it: version gate, identity record, services, start-up and
// shutdown order.
#include <doctest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dialogWatcher.h"
#include "memoryFaults.h"
#include "notifySupport.h"
#include "pluginLoader.h"
#include "testSupport.h"

using namespace kivtest;
namespace abi = kiv::abi;

TEST_CASE("the version gate lets 4.10.4.1 and later in, refuses older hosts with a message box") {
    kivSession session("gate", false);
    REQUIRE_MESSAGE(session.plugin->loaded(), session.plugin->error());
    CHECK(session.plugin->info(0x040A0401) != nullptr);
    CHECK(session.plugin->info(0xFFFFFFFF) != nullptr);  // unsigned comparison

    kivhost::dialogWatcher answer("Błąd", [](HWND box) { kivhost::dialogWatcher::press(box, IDOK); });
    CHECK(session.plugin->info(0x040A0400) == nullptr);
    auto seen = answer.seen();
    REQUIRE(seen.size() == 1);
    CHECK(seen[0].caption == "Błąd");
    CHECK(seen[0].message.find("4.10.4.1") != std::string::npos);
}

TEST_CASE("plugin_info is the 52-byte record the messenger reads") {
    kivSession session("info", false);
    auto* info = session.plugin->info(abi::minimumHostVersion);
    REQUIRE(info);
    const auto* words = reinterpret_cast<const uint32_t*>(info);
    CHECK(words[0] == 52);
    CHECK(std::string(info->name) == "kiv");
    CHECK(words[2] == 0x00010501);
    CHECK(words[3] == 0x00010107);
    CHECK(std::string(info->description) == "powiadomienia o zdarzeniach z listy kontaktów");
    CHECK(std::string(info->author) == "kiv developers");
    CHECK(std::string(info->email).find('@') != std::string::npos);
    CHECK(std::string(info->web).rfind("https://", 0) == 0);
    for (int i = 9; i < 13; ++i) CHECK(words[i] == 0);
    // The same record for every call: it lives as long as the module.
    CHECK(session.plugin->info(abi::minimumHostVersion) == info);
}

// What Windows shows in the file's properties is the version the messenger reads.
TEST_CASE("the version resource of kiv.tpl holds plugin_info's version") {
    kivSession session("version", false);
    auto* info = session.plugin->info(abi::minimumHostVersion);
    REQUIRE(info);
    const std::string file = kivhost::pluginLoader::defaultPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<char> block(size);
    REQUIRE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    REQUIRE(length >= sizeof(VS_FIXEDFILEINFO));
    const uint32_t v = info->version;
    CHECK(fixed->dwFileVersionMS == ((v >> 24) << 16 | ((v >> 16) & 0xFF)));
    CHECK(fixed->dwFileVersionLS == (((v >> 8) & 0xFF) << 16 | (v & 0xFF)));
    CHECK(fixed->dwProductVersionMS == fixed->dwFileVersionMS);
    CHECK(fixed->dwProductVersionLS == fixed->dwFileVersionLS);

    char dotted[32];
    snprintf(dotted, sizeof dotted, "%u.%u.%u.%u", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    char* text = nullptr;
    REQUIRE(VerQueryValueA(block.data(), "\\StringFileInfo\\041504E2\\FileVersion", reinterpret_cast<void**>(&text),
                           &length));
    CHECK(std::string(text) == dotted);
    REQUIRE(VerQueryValueA(block.data(), "\\StringFileInfo\\041504E2\\FileDescription",
                           reinterpret_cast<void**>(&text), &length));
    CHECK(std::string(text).find(info->description) != std::string::npos);
}

TEST_CASE("the services are created in order at load and destroyed in order at unload") {
    kivSession session("services");
    auto names = session.host.logNames();
    REQUIRE(names.size() >= 7);
    CHECK(names[0] == "createService kiv/getsilent");
    CHECK(names[1] == "createService kiv/setsilent");
    CHECK(names[2] == "createService kiv/popup");
    CHECK(names[3] == "createService kiv/popup/show");
    CHECK(names[4] == "createService kiv/popup/update");
    CHECK(names[5] == "createService kiv/popup/close");
    CHECK(names[6] == "createService kiv/popup/progress");
    CHECK(session.host.hasService("kiv/popup"));

    session.host.log.clear();
    session.unload();
    std::vector<std::string> destroyed;
    for (const auto& call : session.host.log)
        if (call.what == "destroyService") destroyed.push_back(call.name);
    CHECK(destroyed == std::vector<std::string>{"kiv/getsilent", "kiv/setsilent", "kiv/popup", "kiv/popup/show",
                                                "kiv/popup/update", "kiv/popup/close", "kiv/popup/progress"});
    CHECK(session.host.serviceNames().empty());
}

TEST_CASE("start-up asks for the profile before anything reads the settings, and registers the page") {
    kivSession session("startup");
    auto names = session.host.logNames();
    auto at = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    REQUIRE(at("Tlen/GetProcAddress") < static_cast<long>(names.size()));
    CHECK(session.host.log[at("Tlen/GetProcAddress")].wParam == abi::hostFunctionProfile);
    CHECK(at("createService kiv/popup") < at("Tlen/GetProcAddress"));
    CHECK(at("Tlen/GetProcAddress") < at("Tlen/AddOptionsPage"));

    REQUIRE(session.host.optionsPages().size() == 1);
    const auto& page = session.host.optionsPages()[0];
    CHECK(page.pageName == "kiv/options/settings");
    CHECK(page.group == "kiv");
    CHECK(page.kind == 3);
    CHECK(reinterpret_cast<void*>(page.callback) != nullptr);
    BITMAP icon = {};
    REQUIRE(GetObjectA(page.iconSmall, sizeof icon, &icon) == sizeof icon);
    CHECK(icon.bmWidth == 16);
    CHECK(icon.bmHeight == 16);
}

// std::bad_alloc inside a service: it answers as a refused call, and kiv goes on once memory is back.
TEST_CASE("a service that runs out of memory answers -1 and throws nothing into the host") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("no-memory", settingsWith(scheme.name, ""));
    int answers[2] = {};
    {
        kivhost::memoryExhausted exhausted;
        answers[0] = popup(session, {});
        answers[1] = showPopup(session, {});
    }
    CHECK(answers[0] == -1);
    CHECK(answers[1] == -1);
    CHECK(popup(session, {}) == 0);
    CHECK(showPopup(session, {}) > 0);
    CHECK(waitForCount(2));
}

TEST_CASE("kiv/setsilent and kiv/getsilent agree on the silent switch") {
    kivSession session("silent");
    CHECK(session.service("kiv/getsilent") == 0);
    CHECK(session.service("kiv/setsilent", 5) == 1);
    CHECK(session.service("kiv/getsilent") == 1);
    CHECK(session.service("kiv/setsilent", 0) == 0);
    CHECK(session.service("kiv/getsilent") == 0);
}

TEST_CASE("a second LoadPlugin without UnloadPlugin is refused and changes nothing") {
    kivSession session("load-twice");
    CHECK(session.service("kiv/setsilent", 1) == 1);
    session.host.log.clear();
    CHECK(session.plugin->loadAgain() == -1);
    CHECK(session.host.logNames().empty());
    CHECK(session.service("kiv/getsilent") == 1);
    session.host.log.clear();
    session.unload();
    const auto unload = session.host.logNames();
    CHECK(std::count(unload.begin(), unload.end(), "destroyService kiv/popup") == 1);
    CHECK(session.host.serviceNames().empty());
}

TEST_CASE("the notification window class exists exactly while the plug-in is loaded") {
    kivSession session("windowclass");
    HMODULE module = session.plugin->module();
    WNDCLASSA windowClass = {};
    REQUIRE(GetClassInfoA(module, "kiv_notify_window", &windowClass));
    CHECK(windowClass.style == 0);
    CHECK(windowClass.hbrBackground == nullptr);
    CHECK(windowClass.hCursor == LoadCursor(nullptr, IDC_HAND));
    session.unload();
    CHECK_FALSE(GetClassInfoA(module, "kiv_notify_window", &windowClass));
}

// The host sees the whole start-up and shutdown as calls, in the order the objects depend on each
// other: services, profile, options page, hooks, menus; and the mirror image at unload.
TEST_CASE("start-up and shutdown reach the host in their order") {
    kivSession session("lifecycle");
    std::vector<std::string> load;
    for (const auto& call : session.host.log)
        load.push_back(call.what == "Tlen/GetProcAddress" ? call.what + " " + std::to_string(call.wParam)
                                                          : (call.name.empty() ? call.what : call.what + " " + call.name));
    auto drop = [](std::vector<std::string>& calls, const std::string& what) {
        calls.erase(std::remove(calls.begin(), calls.end(), what), calls.end());
    };
    // Contact-list reads depend on the list, not on the order of start-up.
    drop(load, "Tlen/ContactList/EnumerateItems");
    std::vector<std::string> expected = {
        "createService kiv/getsilent", "createService kiv/setsilent", "createService kiv/popup",
        "createService kiv/popup/show", "createService kiv/popup/update", "createService kiv/popup/close",
        "createService kiv/popup/progress",
        "Tlen/GetProcAddress 131073",  "Tlen/AddOptionsPage",         "Tlen/ProtocolHookEvent",
        "Tlen/ProtocolHookEvent",      "hookEvent Tlen/SoundEngine/BeforeEvent",
        "Tlen/GetProcAddress 4098",    "Tlen/AddMenuItem",            "Tlen/AddMenuItem",
        "Tlen/AddMenuItem",            "Tlen/AddMenuItem",            "Tlen/AddMenuItem",
        "Tlen/AddMenuItem",            "Tlen/AddMenuItem",            "Tlen/AddMenuItem",
        "Tlen/AddMenuCallBack",        "Tlen/AddMenuCallBack"};
    CHECK(load == expected);

    session.host.log.clear();
    session.unload();
    std::vector<std::string> unload = session.host.logNames();
    CHECK(unload == std::vector<std::string>{"Tlen/RemoveMenuCallBack", "Tlen/RemoveMenuCallBack",
                                             "unhookEvent Tlen/SoundEngine/BeforeEvent", "Tlen/ProtocolUnhookEvent",
                                             "Tlen/ProtocolUnhookEvent", "destroyService kiv/getsilent",
                                             "destroyService kiv/setsilent", "destroyService kiv/popup",
                                             "destroyService kiv/popup/show", "destroyService kiv/popup/update",
                                             "destroyService kiv/popup/close", "destroyService kiv/popup/progress"});
}
