#pragma once
// Owners of GDI objects and of the paint pair: every font, brush or pen
// the program creates is deleted by its owner, and every object selected
// into a device context is selected out again before that context goes.
#include <windows.h>

#include <utility>

namespace kv {

// A created GDI object (font, brush, pen, bitmap), deleted on destruction.
// T is the typed handle (HFONT, HBRUSH, ...).
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : object_(o.release()) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) { close(); object_ = o.release(); }
        return *this;
    }
    ~GdiObject() { close(); }

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    bool close() {
        const bool ok = object_ == nullptr || DeleteObject(object_) != 0;
        object_ = nullptr;
        return ok;
    }
    T release() { return std::exchange(object_, nullptr); }

private:
    T object_ = nullptr;
};

using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;

// Selects an object into a device context for one scope and puts the
// previous object back at its end (a DC must not be released or a
// selected object deleted while it is still selected).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint on construction, EndPaint on destruction (WM_PAINT only).
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &ps_); }

    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace kv
