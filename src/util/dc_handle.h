#pragma once
// Owner of a device context obtained with GetDC, released with ReleaseDC.
#include <windows.h>

namespace kv {

class ScreenDC {
public:
    // The device context of `window`; of the whole screen when null.
    explicit ScreenDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    ~ScreenDC() { close(); }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    bool close() {
        const bool ok = dc_ == nullptr || ReleaseDC(window_, dc_) != 0;
        dc_ = nullptr;
        return ok;
    }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace kv
