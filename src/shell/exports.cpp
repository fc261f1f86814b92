// The three entry points the messenger calls, and the module entry routine.
#include "base/moduleState.h"
#include "shell/plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    kiv::plugin.instance = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) void* __cdecl GetPluginInfo(unsigned int hostVersion) {
    return kiv::getPluginInfo(hostVersion);
}

extern "C" __declspec(dllexport) int __cdecl LoadPlugin(void* hostServices) {
    return kiv::loadPlugin(hostServices);
}

extern "C" __declspec(dllexport) int __cdecl UnloadPlugin(void) {
    return kiv::unloadPlugin();
}
