// Loads a plug-in file the way the messenger does: LoadLibraryA, the version gate, LoadPlugin
// with the host's function table, and UnloadPlugin and FreeLibrary at the end.
#pragma once

#include <windows.h>

#include <string>

#include "kiv/host_abi.h"

namespace kivhost {

// The folder of this program, ending in a backslash.
std::string programFolder();

// The folder given, ending in a backslash unless it is empty.
std::string asFolder(std::string folder);

// Where the plug-in reads its schemes: plugins\kiv.scheme\ beside this program.
std::string schemeFolder();

class pluginLoader {
public:
    // The folder of this program followed by "plugins\kiv.tpl".
    static std::string defaultPath();

    explicit pluginLoader(const std::string& path);
    ~pluginLoader();
    pluginLoader(const pluginLoader&) = delete;
    pluginLoader& operator=(const pluginLoader&) = delete;

    bool loaded() const { return module_ != nullptr; }
    HMODULE module() const { return module_; }
    const std::string& error() const { return error_; }

    const kiv::abi::plugin_info* info(unsigned int hostVersion);
    int load();  // LoadPlugin with the host's table
    int loadAgain();  // LoadPlugin once more while loaded, as a faulty host would
    int unload();
    bool running() const { return running_; }

private:
    HMODULE module_ = nullptr;
    std::string error_;
    kiv::abi::GetPluginInfoFn getInfo_ = nullptr;
    kiv::abi::LoadPluginFn load_ = nullptr;
    kiv::abi::UnloadPluginFn unload_ = nullptr;
    bool running_ = false;
};

}  // namespace kivhost
