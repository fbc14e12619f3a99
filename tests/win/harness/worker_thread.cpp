#include "harness/worker_thread.h"

namespace kv::test {
namespace {
constexpr DWORD kEndWaitMs = 10000;
}  // namespace

WorkerThread::WorkerThread(std::function<void()> body)
    : body_(std::make_unique<std::function<void()>>(std::move(body))) {
    // Under Wine, a thread whose first window call sets up the desktop
    // and the display driver deadlocks with another thread that is
    // loading a DLL which registers window classes (Rich Edit does):
    // lock order user lock / loader lock. Setting both up here first, in
    // the thread that will drive the worker's windows, avoids it.
    if (HDC screen = GetDC(GetDesktopWindow())) ReleaseDC(GetDesktopWindow(), screen);
    thread_.reset(CreateThread(nullptr, 0, &WorkerThread::Run, body_.get(), 0, &id_));
}

WorkerThread::~WorkerThread() {
    if (!thread_) return;
    if (WaitForSingleObject(thread_.get(), kEndWaitMs) != WAIT_OBJECT_0) {
        // Last resort: the body's captures may be gone once we return.
        TerminateThread(thread_.get(), 1);
        WaitForSingleObject(thread_.get(), kEndWaitMs);
    }
}

bool WorkerThread::Wait(unsigned deadline_ms) {
    return thread_ && WaitForSingleObject(thread_.get(), deadline_ms) == WAIT_OBJECT_0;
}

DWORD WINAPI WorkerThread::Run(void* param) {
    (*static_cast<std::function<void()>*>(param))();
    return 0;
}

}  // namespace kv::test
