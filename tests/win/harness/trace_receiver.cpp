#include "harness/trace_receiver.h"

#include <atomic>

#include "harness/deadline.h"
#include "util/kdebug.h"
#include "util/kdebug_protocol.h"

namespace kv::test {
namespace {

constexpr unsigned kStartDeadlineMs = 30000;
constexpr unsigned kStopDeadlineMs = 30000;

std::string UniqueTitle() {
    static std::atomic<unsigned> counter{0};
    return "kv-trace-receiver-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

}  // namespace

TraceReceiver::TraceReceiver()
    : message_(RegisterWindowMessageA(TraceMessageName)),
      title_(UniqueTitle()),
      created_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!created_ || message_ == 0) return;
    thread_.reset(CreateThread(nullptr, 0, &TraceReceiver::ThreadMain, this, 0, &threadId_));
    if (!thread_) return;
    // The thread sets window_ before it signals; a thread that never
    // signals leaves Ready() false.
    HANDLE waits[] = {created_.get(), thread_.get()};
    WaitForMultipleObjects(2, waits, FALSE, kStartDeadlineMs);
}

TraceReceiver::~TraceReceiver() {
    if (!thread_) return;
    // WM_QUIT goes to the thread's queue; the thread made its queue before
    // it created the window, so a post fails only once the thread is gone.
    const Deadline deadline(kStopDeadlineMs);
    while (WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT) {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        if (WaitForSingleObject(thread_.get(), 50) == WAIT_OBJECT_0) break;
        if (deadline.Passed()) {
            // A receiver that does not stop must not hang the whole run, and
            // must not outlive the object it writes to.
            TerminateThread(thread_.get(), 1);
            WaitForSingleObject(thread_.get(), 5000);
            break;
        }
    }
}

DWORD WINAPI TraceReceiver::ThreadMain(void* self) {
    static_cast<TraceReceiver*>(self)->RunLoop();
    return 0;
}

void TraceReceiver::RunLoop() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes this thread's queue

    WNDCLASSA wc{};
    wc.lpfnWndProc = &TraceReceiver::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = TraceViewerClass;
    // One class per process; a second receiver finds it registered.
    if (RegisterClassA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        SetEvent(created_.get());
        return;
    }
    const HWND hwnd = CreateWindowExA(0, TraceViewerClass, title_.c_str(), WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                      nullptr, wc.hInstance, this);
    window_ = hwnd;
    SetEvent(created_.get());
    if (hwnd == nullptr) return;

    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(hwnd);
}

LRESULT CALLBACK TraceReceiver::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<TraceReceiver*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && msg == self->message_) return self->OnTrace(wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Runs on the receiver thread while the sender waits in SendMessage; the
// atom is alive until this returns.
LRESULT TraceReceiver::OnTrace(WPARAM wp, LPARAM lp) {
    if (wp != TraceWParam) return 0;
    char name[TraceMaxAtomText + 1];
    const UINT n = GlobalGetAtomNameA(ATOM(lp), name, sizeof name);
    if (n == 0) return 0;
    const std::string_view text = TraceAtomTextToChunk(std::string_view(name, n));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_.append(text.data(), text.size());
        messages_.emplace_back(text);
    }
    changed_.notify_all();
    return 1;
}

std::string TraceReceiver::Text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

std::vector<std::string> TraceReceiver::Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<std::string> TraceReceiver::Lines() const {
    const std::string text = Text();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        size_t end = lf;
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

bool TraceReceiver::WaitFor(const std::string& substring, unsigned deadline_ms) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(deadline_ms),
                             [&] { return text_.find(substring) != std::string::npos; });
}

void TraceReceiver::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.clear();
    messages_.clear();
}

}  // namespace kv::test
