// Finding and answering the windows of programs under test: message boxes ("#32770") and the
// buttons of a window, in this process or in others that a test picks.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TMessageBoxSeen {
    std::string caption;
    std::string text;
};

// Whether a window's process is one the test watches.
using TProcessFilter = std::function<bool(DWORD processId)>;

inline TProcessFilter ThisProcess()
{
    return [](DWORD processId) { return processId == GetCurrentProcessId(); };
}

struct TWindowSearch {
    const TProcessFilter* watched;  // top-level windows only
    std::string className;
    std::string text;  // any text when empty
    HWND found = nullptr;
};

// The text as the system keeps it: asking the window instead would wait on its thread, which may
// be the one waiting for the caller.
inline std::string WindowText(HWND hwnd)
{
    wchar_t text[512] = {};
    const int length = InternalGetWindowText(hwnd, text, 512);
    std::string narrow(static_cast<size_t>(length) * 2, '\0');
    narrow.resize(static_cast<size_t>(
        WideCharToMultiByte(936, 0, text, length, narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr)));
    return narrow;
}

inline bool WindowMatches(HWND hwnd, const TWindowSearch& search)
{
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return search.className == cls && (search.text.empty() || search.text == WindowText(hwnd));
}

inline BOOL CALLBACK FindTopWindowProc(HWND hwnd, LPARAM data)
{
    auto& search = *reinterpret_cast<TWindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (IsWindowVisible(hwnd) && (*search.watched)(pid) && WindowMatches(hwnd, search)) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

inline BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM data)
{
    auto& search = *reinterpret_cast<TWindowSearch*>(data);
    if (WindowMatches(hwnd, search)) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

inline BOOL CALLBACK StaticTextProc(HWND child, LPARAM out)
{
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (std::string(cls) == "Static" && !WindowText(child).empty())
        *reinterpret_cast<std::string*>(out) = WindowText(child);
    return TRUE;
}

// The first visible top-level window of a watched process whose class, and text when one is
// given, match; nullptr when there is none.
inline HWND FindTopWindow(const TProcessFilter& watched, const std::string& className, const std::string& text = "")
{
    TWindowSearch search{&watched, className, text};
    EnumWindows(FindTopWindowProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The child window of parent with this class and text; nullptr when there is none.
inline HWND FindChild(HWND parent, const std::string& className, const std::string& text)
{
    TWindowSearch search{nullptr, className, text};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a message box: its static control with text.
inline std::string MessageBoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, StaticTextProc, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Waits up to timeoutMs for condition, checking every 20 ms.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

// Answers every message box of the watched processes with OK while it lives, from a thread of
// its own, and records what each said.
class TMessageBoxAnswerer {
public:
    explicit TMessageBoxAnswerer(TProcessFilter watched = ThisProcess())
        : watched_(std::move(watched)), thread_([this] { Run(); })
    {
    }
    ~TMessageBoxAnswerer()
    {
        done_ = true;
        thread_.join();
    }
    TMessageBoxAnswerer(const TMessageBoxAnswerer&) = delete;
    TMessageBoxAnswerer& operator=(const TMessageBoxAnswerer&) = delete;

    std::vector<TMessageBoxSeen> Seen()
    {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const TMessageBoxSeen& seen : Seen())
            texts.push_back(seen.text);
        return texts;
    }

private:
    void Run()
    {
        while (!done_) {
            if (HWND box = FindTopWindow(watched_, "#32770")) {
                {
                    std::lock_guard lock(mutex_);
                    seen_.push_back({WindowText(box), MessageBoxText(box)});
                }
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                // Counted once: wait until it has gone.
                WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
            }
            Sleep(30);
        }
    }

    TProcessFilter watched_;
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    std::vector<TMessageBoxSeen> seen_;
    std::thread thread_;
};

