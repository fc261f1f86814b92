// What LoadPlugin builds, in the order declared here; UnloadPlugin destroys it in the reverse
// order. Each part is published in the module state for the rooms below while it lives.
#pragma once

#include <memory>

#include "base/inboxWindow.h"
#include "filters/filtersManager.h"
#include "history/eventLog.h"
#include "history/notificationHistory.h"
#include "notify/windowsManager.h"
#include "scheme/skin.h"
#include "settings/config.h"
#include "ui/hotKeys.h"
#include "ui/optionsPage.h"

namespace kiv {

template <class T>
class published {
public:
    published(T*& slot, std::unique_ptr<T> owned) : slot_(slot), owned_(std::move(owned)) { slot_ = owned_.get(); }
    // Gone before the slot is cleared: a part reaches itself through the module state while it ends.
    ~published() {
        owned_.reset();
        slot_ = nullptr;
    }
    published(const published&) = delete;
    published& operator=(const published&) = delete;

private:
    T*& slot_;
    std::unique_ptr<T> owned_;
};

struct subsystems {
    subsystems();

    published<config> settings;
    published<eventLog> log;
    optionsPageEntry optionsPage;
    published<skin> scheme;
    published<filtersManager> filters;
    published<windowsManager> windows;
    published<notificationHistory> history;
    hotKeys keys;
    inboxWindow wakeups;  // made last: the calls it runs reach every part above
};

}  // namespace kiv
