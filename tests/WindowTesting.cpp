#include "WindowTesting.h"

#include <algorithm>
#include <atomic>
#include <sstream>
#include <thread>

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

std::vector<std::string> PageLog()
{
    TIdHTTP http(nullptr);
    std::istringstream body(http.Get(TestServerUrl("/log")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(body, line);)
        lines.push_back(line);
    return lines;
}

TUsage Usage()
{
    TUsage usage{static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)),
                 static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)), 0};
    if (usage.gdi == 0)
        for (ULONG_PTR h = 1; h < 0x10000; ++h)
            usage.gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
    if (usage.user == 0)
        for (ULONG_PTR h = 1; h < 0x10000; ++h) {
            DWORD process = 0;
            const auto window = reinterpret_cast<HWND>(h);
            usage.user += (IsWindow(window) && GetWindowThreadProcessId(window, &process) &&
                           process == GetCurrentProcessId()) ||
                          IsMenu(reinterpret_cast<HMENU>(h));
        }
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                usage.heap += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return usage;
}
