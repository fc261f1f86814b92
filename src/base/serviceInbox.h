// Calls that other plug-ins make from their own threads, carried to the user-interface thread.
// A foreign thread only takes the lock, copies its request in and leaves: it never waits for the
// user-interface thread, which may itself be waiting for it. The user-interface thread runs what
// waits at every tick of the windows manager and before each service call of its own, in the
// order the calls arrived.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>

namespace kiv {

class serviceInbox {
public:
    using job = std::function<void()>;
    using jobWithId = std::function<void(int32_t)>;

    serviceInbox();
    ~serviceInbox();
    serviceInbox(const serviceInbox&) = delete;
    serviceInbox& operator=(const serviceInbox&) = delete;

    // The thread that loads the module is the user-interface thread from then on.
    void adoptThisThread();
    bool onOwnThread() const;
    // Accepts calls from other threads; ids start again from 1.
    void open();
    // Refuses further calls and drops what still waits, before the module's objects go.
    void close();

    // Queues the job for the user-interface thread; false once closed.
    bool post(job work);
    // Gives out the next id and queues the job that shows it, under one lock, so a later call
    // with that id from any thread finds its request ahead of it. 0 when closed or ids are spent.
    int32_t postWithId(jobWithId work);
    // The next id for the user-interface thread's own call; 0 once every id is spent.
    int32_t takeId();
    // Whether the id was ever given out since the module was loaded.
    bool givenOut(int32_t id) const;

    // Runs every job that waits, oldest first, one at a time; a job may post or drain again.
    void drain();

private:
    class held;
    // A job, or a job and the id it was given. Made before the lock is taken, so that only the
    // id and a move happen under it.
    struct entry {
        job work;
        jobWithId workWithId;
        int32_t id = 0;
        void run() const { work ? work() : workWithId(id); }
    };
    // The id given (1 for a job without one); 0 when closed or ids are spent.
    int32_t push(entry posted, bool giveId);

    mutable CRITICAL_SECTION lock_;
    std::deque<entry> waiting_;
    mutable volatile LONG thread_ = 0;  // read on every call, without the lock
    bool open_ = false;
    int32_t lastId_ = 0;
};

// One for the module: it outlives every load, so a late caller still finds its lock.
extern serviceInbox inbox;

}  // namespace kiv
