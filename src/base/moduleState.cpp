#include "base/moduleState.h"

namespace kiv {

moduleState plugin;

namespace {

abi::plugin_info info = {
    sizeof(abi::plugin_info),
    "kiv",
    0x00010501,
    0x00010107,
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
