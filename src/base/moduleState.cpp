#include "base/moduleState.h"

#include "resources/version.h"

namespace kiv {

moduleState plugin;

namespace {

abi::plugin_info info = {
    sizeof(abi::plugin_info),
    "kiv",
    0x00010501,
    KIV_VERSION_NUMBER,
    "powiadomienia o zdarzeniach z listy kontaktów",
    "kiv developers",
    "kiv developers",
    "kiv@example.invalid",
    "https://kiv.example.invalid/",
    {0, 0, 0, 0},
};

}  // namespace

abi::plugin_info& pluginInfo() {
    return info;
}

}  // namespace kiv
