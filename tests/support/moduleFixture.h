// In-process tests run the module's code inside the test program: its resources are linked in,
// and the host is this process's kivhost.
#pragma once

#include "hostCore.h"
#include "base/moduleState.h"

namespace kivtest {

struct moduleFixture {
    moduleFixture() {
        kivhost::hostCore::get().reset();
        kiv::plugin = kiv::moduleState();
        kiv::plugin.instance = GetModuleHandleA(nullptr);
        kiv::plugin.hostServices = kivhost::hostCore::get().serviceTable();
    }
    ~moduleFixture() {
        kiv::plugin = kiv::moduleState();
        kivhost::hostCore::get().reset();
        kivhost::hostCore::get().contacts.clear();
    }
};

}  // namespace kivtest
