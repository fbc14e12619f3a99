#pragma once
// A stand-in for the trace viewer inside the test process (see harness.h).
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "util/win_handle.h"

namespace kv::test {

class TraceReceiver {
public:
    // Starts the receiver thread; its ".KDebug." window exists when this
    // returns (Ready() is false if it could not be created in time).
    TraceReceiver();
    // Ends the thread's message loop and joins it.
    ~TraceReceiver();
    TraceReceiver(const TraceReceiver&) = delete;
    TraceReceiver& operator=(const TraceReceiver&) = delete;

    bool Ready() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // Everything received so far, in order, as one text.
    std::string Text() const;
    // The text of each message, one entry per message.
    std::vector<std::string> Messages() const;
    // Text() split at CR LF (and lone LF); an unfinished last line is kept.
    std::vector<std::string> Lines() const;
    // True once Text() contains `substring`, false when the deadline passes
    // first.
    bool WaitFor(const std::string& substring, unsigned deadline_ms) const;
    // Forgets what was received.
    void Clear();

private:
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void RunLoop();
    LRESULT OnTrace(WPARAM wp, LPARAM lp);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::string text_;
    std::vector<std::string> messages_;

    UINT message_ = 0;
    HWND window_ = nullptr;
    std::string title_;
    KernelHandle created_;
    KernelHandle thread_;
    DWORD threadId_ = 0;
};

}  // namespace kv::test
