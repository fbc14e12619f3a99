#include "util/window_helpers.h"

#include <shellapi.h>

#include <vector>

#include "util/dc_handle.h"

namespace kv {

std::string WindowClassName(HWND window) {
    if (window == nullptr) return std::string();
    std::vector<char> buffer(10241);
    const int n = GetClassNameA(window, buffer.data(), int(buffer.size()));
    return n > 0 ? std::string(buffer.data(), size_t(n)) : std::string();
}

std::string WindowTitle(HWND window) {
    if (window == nullptr) return std::string();
    std::vector<char> buffer(102401);
    const int n = GetWindowTextA(window, buffer.data(), int(buffer.size()));
    return n > 0 ? std::string(buffer.data(), size_t(n)) : std::string();
}

HWND TopOwnerWindow(HWND window) {
    // Owner chains are short and acyclic; the bound only guards against a
    // window destroyed and its handle reused while we walk.
    for (int i = 0; window != nullptr && i < 1000; ++i) {
        const HWND owner = GetWindow(window, GW_OWNER);
        if (owner == nullptr) break;
        window = owner;
    }
    return window;
}

WindowOrigin CenterInWorkArea(int width, int height) {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    WindowOrigin o;
    o.left = area.left + (area.right - area.left - width) / 2;
    o.top = area.top + (area.bottom - area.top - height) / 2;
    return o;
}

int PointsToPixels(int points) {
    static const int pixelsPerInch = [] {
        const ScreenDC dc;
        return dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
    }();
    return MulDiv(points, pixelsPerInch, 72);
}

bool ShellOpen(const std::string& file, const std::string& parameters, int showMode) {
    const HINSTANCE r = ShellExecuteA(GetDesktopWindow(), nullptr, file.c_str(),
                                      parameters.empty() ? nullptr : parameters.c_str(), nullptr, showMode);
    return reinterpret_cast<INT_PTR>(r) > 32;
}

}  // namespace kv
