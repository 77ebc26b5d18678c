// Handing work from a worker thread (the device event threads, hot-plug notifications) to the
// user-interface thread, which alone changes the profile and macro tables and the window.
// The main window provides the executor at start-up and passes it to the threads it starts;
// tests pass their own. Any thread may call an executor: it queues the work and returns at once,
// and the work runs later on the user-interface thread, in the order it was queued. Work queued
// after the window has gone is dropped.
#pragma once

#include <functional>

// Queues a piece of work for the user-interface thread and returns at once.
using UiExecutor = std::function<void(std::function<void()>)>;

// The same as an object, for owners that hand out one executor to several threads.
class UiThreadQueue {
public:
    virtual ~UiThreadQueue() = default;
    // Any thread; returns at once.
    virtual void Post(std::function<void()> work) = 0;
    // An executor that posts to this queue (valid for as long as the queue is).
    UiExecutor Executor() {
        return [this](std::function<void()> work) { Post(std::move(work)); };
    }
};
