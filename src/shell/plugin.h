// The entry points' work: the version gate, start-up and shutdown.
#pragma once

namespace kiv {

void* getPluginInfo(unsigned int hostVersion);
int loadPlugin(void* hostServices);
int unloadPlugin();

}  // namespace kiv
