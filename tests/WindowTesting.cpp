#include "WindowTesting.h"

#include <atomic>
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
