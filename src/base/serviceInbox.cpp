#include "base/serviceInbox.h"

#include <climits>
#include <utility>

namespace kiv {

serviceInbox inbox;

class serviceInbox::held {
public:
    explicit held(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~held() { LeaveCriticalSection(&lock_); }
    held(const held&) = delete;
    held& operator=(const held&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

serviceInbox::serviceInbox() {
    InitializeCriticalSection(&lock_);
}

serviceInbox::~serviceInbox() {
    DeleteCriticalSection(&lock_);
}

void serviceInbox::adoptThisThread() {
    InterlockedExchange(&thread_, static_cast<LONG>(GetCurrentThreadId()));
}

bool serviceInbox::onOwnThread() const {
    const auto owner = static_cast<DWORD>(InterlockedCompareExchange(&thread_, 0, 0));
    return owner != 0 && owner == GetCurrentThreadId();
}

void serviceInbox::open() {
    held lock(lock_);
    open_ = true;
    lastId_ = 0;
}

void serviceInbox::close() {
    std::deque<entry> dropped;  // freed once the lock is let go
    {
        held lock(lock_);
        open_ = false;
        dropped.swap(waiting_);
    }
}

bool serviceInbox::post(job work) {
    return push({std::move(work), nullptr, 0}, false) != 0;
}

int32_t serviceInbox::postWithId(jobWithId work) {
    return push({nullptr, std::move(work), 0}, true);
}

int32_t serviceInbox::push(entry posted, bool giveId) {
    held lock(lock_);
    if (!open_ || (giveId && lastId_ == INT32_MAX)) return 0;
    posted.id = giveId ? ++lastId_ : 0;
    const int32_t given = giveId ? posted.id : 1;
    waiting_.push_back(std::move(posted));
    return given;
}

int32_t serviceInbox::takeId() {
    held lock(lock_);
    return lastId_ == INT32_MAX ? 0 : ++lastId_;
}

bool serviceInbox::givenOut(int32_t id) const {
    held lock(lock_);
    return id > 0 && id <= lastId_;
}

void serviceInbox::drain() {
    for (;;) {
        entry next;
        {
            held lock(lock_);
            if (waiting_.empty()) return;
            next = std::move(waiting_.front());
            waiting_.pop_front();
        }
        next.run();
    }
}

}  // namespace kiv
