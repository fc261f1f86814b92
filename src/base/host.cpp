#include "base/host.h"

#include "base/moduleState.h"

namespace kiv::host {

namespace {

template <class Fn>
Fn slot(int index) {
    if (!plugin.hostServices) return nullptr;
    return reinterpret_cast<Fn>(plugin.hostServices[index]);
}

}  // namespace

int createService(const char* name, abi::ServiceFn fn) {
    auto create = slot<abi::CreateServiceFn>(abi::slotCreateService);
    return create ? create(plugin.instance, name, fn) : 0;
}

void destroyService(int serviceHandle) {
    if (auto destroy = slot<abi::DestroyServiceFn>(abi::slotDestroyService)) destroy(plugin.instance, serviceHandle);
}

int callService(const char* name, WPARAM wParam, LPARAM lParam) {
    auto call = slot<abi::CallServiceFn>(abi::slotCallService);
    return call ? call(plugin.instance, name, wParam, lParam) : 0;
}

int hookEvent(const char* name, abi::ServiceFn hook) {
    auto hookFn = slot<abi::HookEventFn>(abi::slotHookEvent);
    return hookFn ? hookFn(plugin.instance, name, hook) : 0;
}

void unhookEvent(int hookHandle) {
    if (auto unhook = slot<abi::UnhookEventFn>(abi::slotUnhookEvent)) unhook(plugin.instance, hookHandle);
}

}  // namespace kiv::host
