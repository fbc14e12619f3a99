#pragma once
// A function run on a thread of its own, for code that runs a modal loop
// (a message box) while the test thread drives it.
#include <windows.h>

#include <functional>
#include <memory>

#include "util/win_handle.h"

namespace kv::test {

class WorkerThread {
public:
    explicit WorkerThread(std::function<void()> body);
    // Waits a bounded time for the body to end and ends the thread when it
    // does not (after a failed test left its loop running).
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    bool Started() const { return static_cast<bool>(thread_); }
    // True when the body has returned by the deadline.
    bool Wait(unsigned deadline_ms);
    DWORD Id() const { return id_; }

private:
    static DWORD WINAPI Run(void* param);
    std::unique_ptr<std::function<void()>> body_;
    KernelHandle thread_;
    DWORD id_ = 0;
};

}  // namespace kv::test
