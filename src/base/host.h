// Calls into the host's function table, always with this module as the caller.
#pragma once

#include "kiv/host_abi.h"

namespace kiv::host {

int createService(const char* name, abi::ServiceFn fn);
void destroyService(int serviceHandle);
int callService(const char* name, WPARAM wParam, LPARAM lParam);
int hookEvent(const char* name, abi::ServiceFn hook);
void unhookEvent(int hookHandle);

template <class T>
int callService(const char* name, T* record, LPARAM lParam = 0) {
    return callService(name, reinterpret_cast<WPARAM>(record), lParam);
}

}  // namespace kiv::host
