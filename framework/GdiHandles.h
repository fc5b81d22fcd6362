// Owning wrappers for GDI, window and hook handles, so every handle is released on every path.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

template <typename Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueRegion = UniqueGdiObject<HRGN>;

struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

struct HookDeleter {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using UniqueHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookDeleter>;

// A DC made by CreateCompatibleDC or CreateDC.
struct CreatedDCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDC = std::unique_ptr<std::remove_pointer_t<HDC>, CreatedDCDeleter>;

inline UniqueDC CreateMemoryDC()
{
    return UniqueDC(CreateCompatibleDC(nullptr));
}

// A DC borrowed from a window (GetDC, GetWindowDC, GetDCEx) and given back with ReleaseDC.
class WindowDC {
public:
    enum Area { ClientArea, WholeWindow };  // GetDC's or GetWindowDC's

    explicit WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}
    explicit WindowDC(HWND window, Area area = ClientArea)
        : WindowDC(window, area == WholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint's DC for one WM_PAINT, ended with EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Saves the whole state of a DC for one scope (a null DC is left alone).
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
    ~SavedDC()
    {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Keeps a DC's clip region for one scope: however the scope clips, the clip it found (or
// none) is put back.
class ClipGuard {
public:
    explicit ClipGuard(HDC dc) : dc_(dc), previous_(CreateRectRgn(0, 0, 0, 0))
    {
        if (GetClipRgn(dc, previous_.get()) != 1)
            previous_.reset();
    }
    ~ClipGuard() { SelectClipRgn(dc_, previous_.get()); }
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;

private:
    HDC dc_;
    UniqueRegion previous_;
};

// Changes one setting of a DC for one scope through its setter, which returns the previous
// value, and puts that value back at the end.
template <auto Set, typename Value>
class DCSettingGuard {
public:
    DCSettingGuard(HDC dc, Value value) : dc_(dc), previous_(Set(dc, value)) {}
    ~DCSettingGuard() { Set(dc_, previous_); }
    DCSettingGuard(const DCSettingGuard&) = delete;
    DCSettingGuard& operator=(const DCSettingGuard&) = delete;

private:
    HDC dc_;
    Value previous_;
};

// Selects an object into a DC for one scope and puts the previous one back.
using SelectionGuard = DCSettingGuard<SelectObject, HGDIOBJ>;
using BackgroundModeGuard = DCSettingGuard<SetBkMode, int>;
using BackgroundColorGuard = DCSettingGuard<SetBkColor, COLORREF>;
using TextColorGuard = DCSettingGuard<SetTextColor, COLORREF>;
