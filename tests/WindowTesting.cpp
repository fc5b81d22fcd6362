#include "WindowTesting.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <sstream>
#include <thread>

#include "GdiHandles.h"
#include "HttpTestServer.h"
#include "IdHTTP.h"

namespace {

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM found)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindMessageText(HWND child, LPARAM out)
{
    char cls[32] = {}, text[512] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    if (std::string(cls) == "Static" && text[0])
        *reinterpret_cast<std::string*>(out) = text;
    return TRUE;
}

}  // namespace

std::vector<std::string> MessageBoxesDuring(const std::function<void()>& action)
{
    std::vector<std::string> texts;
    std::atomic<bool> done{false};
    std::thread closer([&] {
        while (!done) {
            HWND box = nullptr;
            EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&box));
            if (!box) {
                Sleep(20);
                continue;
            }
            std::string text;
            EnumChildWindows(box, FindMessageText, reinterpret_cast<LPARAM>(&text));
            texts.push_back(text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 200 && IsWindow(box); ++i)
                Sleep(10);
        }
    });
    action();
    done = true;
    closer.join();
    return texts;
}

bool RegisterTestClass(const char* name, WNDPROC proc, HCURSOR cursor, HBRUSH background, UINT style)
{
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

HWND TestMdiClient = nullptr;

LRESULT CALLBACK TestMdiFrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefFrameProcA(hwnd, TestMdiClient, msg, wParam, lParam);
}

LRESULT CALLBACK TestMdiChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcA(hwnd, msg, wParam, lParam);
}

bool Pump(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void Wait(DWORD ms)
{
    Pump([] { return false; }, ms);
}

COLORREF Shown(HWND w, int x, int y)
{
    const WindowDC dc(w, GetWindowDC(w));
    return GetPixel(dc.Get(), x, y);
}

COLORREF Seen(HWND w, int x, int y)
{
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Shown(w, x, y);
}

namespace {

// A picture of w's size drawn by draw into a DC over a 32-bit bitmap of it.
TWindowPicture Picture(HWND w, const std::function<void(HDC, const RECT&)>& draw)
{
    RECT r;
    GetWindowRect(w, &r);
    TWindowPicture picture;
    picture.Width = r.right - r.left;
    picture.Height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.Width, -picture.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueDC dc = CreateMemoryDC();
    if (!bitmap || !dc)
        return picture;
    {
        const SelectionGuard selected(dc.get(), bitmap.get());
        draw(dc.get(), RECT{0, 0, picture.Width, picture.Height});
    }
    const auto* pixels = static_cast<const uint32_t*>(bits);
    picture.Pixels.reserve(static_cast<size_t>(picture.Width) * picture.Height);
    for (size_t i = 0; i < static_cast<size_t>(picture.Width) * picture.Height; ++i)
        picture.Pixels.push_back(RGB(pixels[i] >> 16 & 0xFF, pixels[i] >> 8 & 0xFF, pixels[i] & 0xFF));
    return picture;
}

}  // namespace

int TWindowPicture::Differences(const TWindowPicture& other, const RECT& rect) const
{
    int count = 0;
    for (int y = std::max(0L, rect.top); y < std::min<LONG>({rect.bottom, Height, other.Height}); ++y)
        for (int x = std::max(0L, rect.left); x < std::min<LONG>({rect.right, Width, other.Width}); ++x)
            count += At(x, y) != other.At(x, y);
    return count;
}

TWindowPicture ShownPicture(HWND w)
{
    return Picture(w, [w](HDC dc, const RECT& all) {
        const WindowDC window(w, GetWindowDC(w));
        BitBlt(dc, 0, 0, all.right, all.bottom, window.Get(), 0, 0, SRCCOPY);
    });
}

std::pair<int, int> PrintFaults(HWND w, const TWindowPicture& shown, const TWindowPicture& printed,
                                COLORREF backdrop)
{
    RECT window;
    GetWindowRect(w, &window);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(w, region.get()) == ERROR)
        SetRectRgn(region.get(), 0, 0, shown.Width, shown.Height);
    // A window DC shows nothing of the window past the screen's edges.
    const int right = std::min(shown.Width, GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(window.left));
    const int bottom = std::min(shown.Height, GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(window.top));
    std::pair<int, int> faults;
    for (int y = std::max(0, static_cast<int>(-window.top)); y < std::min(bottom, printed.Height); ++y)
        for (int x = std::max(0, static_cast<int>(-window.left)); x < std::min(right, printed.Width); ++x) {
            if (PtInRegion(region.get(), x, y))
                faults.first += printed.At(x, y) != shown.At(x, y);
            else
                faults.second += printed.At(x, y) != backdrop;
        }
    return faults;
}

TWindowPicture PrintedPicture(HWND w, LPARAM flags, COLORREF backdrop)
{
    return Picture(w, [&](HDC dc, const RECT& all) {
        const UniqueBrush brush(CreateSolidBrush(backdrop));
        FillRect(dc, &all, brush.get());
        SendMessageA(w, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
    });
}

namespace {
struct TShownSearch {
    const char* className;
    std::vector<HWND> found;
};

// A named procedure: a lambda does not convert to a 32-bit stdcall one.
BOOL CALLBACK CollectShown(HWND window, LPARAM search)
{
    auto& s = *reinterpret_cast<TShownSearch*>(search);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == s.className && IsWindowVisible(window))
        s.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> ShownThreadWindows(const char* className)
{
    TShownSearch search{className, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ShownMenuWindows()
{
    return ShownThreadWindows("#32768");
}

HWND ShownMenuWindow()
{
    const std::vector<HWND> menus = ShownMenuWindows();
    return menus.empty() ? nullptr : menus.front();
}

std::vector<std::string> PageLog()
{
    TIdHTTP http(nullptr);
    std::istringstream body(http.Get(TestServerUrl("/log")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(body, line);)
        lines.push_back(line);
    return lines;
}
