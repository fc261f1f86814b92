#include "pluginLoader.h"

#include "fileFaults.h"
#include "fileOpenRecorder.h"
#include "hostCore.h"
#include "highContrast.h"
#include "hotKeyRecorder.h"
#include "libraryRecorder.h"
#include "memoryFaults.h"
#include "monitorLayout.h"
#include "paintRecorder.h"
#include "objectTracker.h"
#include "recorders.h"
#include "timerRecorder.h"

namespace kivhost {

std::string programFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.erase(folder.find_last_of('\\') + 1);
}

std::string asFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

std::string schemeFolder() {
    return programFolder() + "plugins\\kiv.scheme\\";
}

std::string pluginLoader::defaultPath() {
    return programFolder() + "plugins\\kiv.tpl";
}

pluginLoader::pluginLoader(const std::string& path) {
    module_ = LoadLibraryA(path.c_str());
    if (!module_) {
        error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + "); build it with ./kiv build";
        return;
    }
    getInfo_ = reinterpret_cast<kiv::abi::GetPluginInfoFn>(reinterpret_cast<void*>(GetProcAddress(module_, "GetPluginInfo")));
    load_ = reinterpret_cast<kiv::abi::LoadPluginFn>(reinterpret_cast<void*>(GetProcAddress(module_, "LoadPlugin")));
    unload_ = reinterpret_cast<kiv::abi::UnloadPluginFn>(reinterpret_cast<void*>(GetProcAddress(module_, "UnloadPlugin")));
    if (!getInfo_ || !load_ || !unload_) {
        error_ = path + " is not a plug-in: it lacks GetPluginInfo, LoadPlugin or UnloadPlugin";
        FreeLibrary(module_);
        module_ = nullptr;
        return;
    }
    installRecorders(module_);
    hotKeyRecorder::get().install(module_);
    timerRecorder::get().install(module_);
    libraryRecorder::get().install(module_);
    installFileFaults(module_);
    installMemoryFaults(module_);
    monitorLayout::get().install(module_);
    highContrast::get().install(module_);
    objectTracker::get().install(module_);
    // After the tracker, so that what they record passes on through its wrappers.
    paintRecorder::get().install(module_);
    fileOpenRecorder::get().install(module_);
}

pluginLoader::~pluginLoader() {
    if (running_) unload();
    if (module_) FreeLibrary(module_);
}

const kiv::abi::plugin_info* pluginLoader::info(unsigned int hostVersion) {
    return getInfo_ ? static_cast<const kiv::abi::plugin_info*>(getInfo_(hostVersion)) : nullptr;
}

int pluginLoader::load() {
    if (!load_ || running_) return -1;
    running_ = true;
    return load_(const_cast<void**>(hostCore::get().serviceTable()));
}

int pluginLoader::loadAgain() {
    if (!load_ || !running_) return -1;
    return load_(const_cast<void**>(hostCore::get().serviceTable()));
}

int pluginLoader::unload() {
    if (!unload_ || !running_) return -1;
    running_ = false;
    return unload_();
}

}  // namespace kivhost
