// Real mouse and key input for the tests of skinned windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "WindowTesting.h"

inline void CALLBACK EndMenuNow(HWND, UINT, UINT_PTR, DWORD)
{
    EndMenu();
}

// Real mouse and key input: xdotool, run as a Linux program, one gesture at a time, while this
// thread turns the message loop (so that modal loops, a caption drag or a menu, run). Wine's own
// input injection warps the X pointer and can report a stale position while a button is held.
struct TInput {
    std::string steps;
    POINT last{-1, -1};     // where the pointer ends
    bool buttonDown = false;
    DWORD menuTimeout = 1500;  // a menu still open this long after the start is closed

    TInput& Do(const std::string& step)
    {
        steps += " " + step + " sleep 0.06";
        return *this;
    }
    TInput& MoveTo(HWND w, int x, int y)
    {
        RECT r;
        GetWindowRect(w, &r);
        last = POINT{r.left + x, r.top + y};
        return Do("mousemove " + std::to_string(last.x) + " " + std::to_string(last.y));
    }
    TInput& Down()
    {
        buttonDown = true;
        return Do("mousedown 1");
    }
    TInput& Up()
    {
        buttonDown = false;
        return Do("mouseup 1");
    }
    TInput& Click() { return Do("click 1"); }
    // Paced so that the first click's move loop (a press on the caption starts one) has ended.
    TInput& DoubleClick() { return Do("click 1 sleep 0.2 click 1"); }
    TInput& Key(const std::string& keys) { return Do("key " + keys); }
    TInput& KeyDown(const std::string& key) { return Do("keydown " + key); }
    TInput& KeyUp(const std::string& key) { return Do("keyup " + key); }
    void Run()
    {
        // A menu the gesture opens and fails to close would hold the test in its loop.
        const UINT_PTR closer = SetTimer(nullptr, 0, menuTimeout, EndMenuNow);
        // The Linux program has no process handle here: it leaves a file when done.
        const std::string marker = "/tmp/lexdrill-input-" + std::to_string(GetCurrentProcessId());
        std::string command = "Z:\\bin\\sh -c \"xdotool" + steps + "; touch " + marker + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        if (process.hProcess)
            CloseHandle(process.hProcess);
        if (process.hThread)
            CloseHandle(process.hThread);
        std::string dosMarker = "Z:" + marker;
        std::replace(dosMarker.begin(), dosMarker.end(), '/', '\\');
        EXPECT_TRUE(Pump([&] { return GetFileAttributesA(dosMarker.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        DeleteFileA(dosMarker.c_str());
        // Wine takes the X events in a little later: on until the pointer and the button are
        // where the gesture left them.
        EXPECT_TRUE(Pump([&] {
            POINT p;
            GetCursorPos(&p);
            const bool down = GetAsyncKeyState(VK_LBUTTON) < 0;
            return (last.x < 0 || (p.x == last.x && p.y == last.y)) && down == buttonDown;
        }));
        Pump([] { return false; }, 100);
        KillTimer(nullptr, closer);
        steps.clear();
    }
};
