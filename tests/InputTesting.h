// Real mouse and key input for the tests of skinned windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "WindowTesting.h"

// A timer procedure that closes whatever menu holds the thread in its loop.
inline void CALLBACK EndMenuNow(HWND, UINT, UINT_PTR, DWORD)
{
    EndMenu();
}

// Real mouse and key input: xdotool, run as a Linux program, one gesture at a time, while this
// thread turns the message loop (so that modal loops, a caption drag or a menu, run). Wine's own
// input injection warps the X pointer and can report a stale position while a button is held.
// A gesture waits between its steps for conditions of this thread (Until), never for a fixed
// time: on a loaded machine a menu can take far longer to open than a user would wait.
struct TInput {
    std::string script;     // the steps so far, as shell commands
    std::string steps;      // xdotool steps not yet in the script
    std::vector<std::function<bool()>> conditions;
    POINT last{-1, -1};     // where the pointer ends
    bool buttonDown = false;
    DWORD menuTimeout = 1500;  // a menu still open this long after the gesture has ended is closed

    TInput& Do(const std::string& step)
    {
        steps += " " + step + " sleep 0.06";
        return *this;
    }
    // The gesture goes on once done() holds (checked by a timer, which ticks in modal loops too),
    // or after 20 s; then the test fails.
    TInput& Until(std::function<bool()> done)
    {
        const std::string marker = Marker(std::to_string(conditions.size()));
        Flush();
        script += "touch " + marker + "-at; w=0; while [ ! -e " + marker + " ] && [ $w -lt 2000 ]; do sleep 0.01; w=$((w+1)); done; ";
        conditions.push_back(std::move(done));
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
    // The second click comes once the first has been taken in whole: a press on a caption starts
    // a move loop, which must have ended. (The two clicks make a double click as far apart as
    // their input events are, however long the wait between them takes to be seen.)
    TInput& DoubleClick()
    {
        return Click().Until([] {
            GUITHREADINFO thread{};
            thread.cbSize = sizeof thread;
            return GetGUIThreadInfo(GetCurrentThreadId(), &thread) && !(thread.flags & GUI_INMOVESIZE) &&
                   !thread.hwndCapture && GetAsyncKeyState(VK_LBUTTON) >= 0 && HIWORD(GetQueueStatus(QS_INPUT)) == 0;
        }).Click();
    }
    TInput& Key(const std::string& keys) { return Do("key " + keys); }
    TInput& KeyDown(const std::string& key) { return Do("keydown " + key); }
    TInput& KeyUp(const std::string& key) { return Do("keyup " + key); }
    void Run()
    {
        Flush();
        const std::string end = Marker("end");
        script += "touch " + end;
        running = this;
        next = 0;
        endedAt = 0;
        const UINT_PTR ticker = SetTimer(nullptr, 0, 20, Tick);
        // The Linux program has no process handle here: it leaves a file when done.
        std::string command = "Z:\\bin\\sh -c \"" + script + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        if (process.hProcess)
            CloseHandle(process.hProcess);
        if (process.hThread)
            CloseHandle(process.hThread);
        EXPECT_TRUE(Pump([&] { return Exists(end); }, 30000 * static_cast<DWORD>(conditions.size() + 1)));
        // Wine takes the X events in a little later: on until the pointer and the button are
        // where the gesture left them.
        POINT p{};
        bool down = false;
        EXPECT_TRUE(Pump([&] {
            GetCursorPos(&p);
            down = GetAsyncKeyState(VK_LBUTTON) < 0;
            return (last.x < 0 || (p.x == last.x && p.y == last.y)) && down == buttonDown;
        })) << "the pointer at " << p.x << "," << p.y << " for " << last.x << "," << last.y << ", the button "
            << (down ? "down" : "up") << " for " << (buttonDown ? "down" : "up");
        KillTimer(nullptr, ticker);
        running = nullptr;
        EXPECT_EQ(next, conditions.size()) << "a condition of the gesture never held";
        for (size_t i = 0; i < conditions.size(); ++i) {
            Remove(Marker(std::to_string(i)));
            Remove(Marker(std::to_string(i)) + "-at");
        }
        Remove(end);
        // Until the input the gesture made has reached this thread's windows.
        Pump([] { return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0; });
        script.clear();
        conditions.clear();
        gesture = ++gestures;
    }

private:
    static inline thread_local TInput* running = nullptr;
    static inline unsigned gestures = 0;
    unsigned gesture = ++gestures;  // this gesture's number in the process
    size_t next = 0;       // the first condition not yet met
    DWORD endedAt = 0;     // when the gesture was seen ended

    void Flush()
    {
        if (!steps.empty())
            script += "xdotool" + steps + "; ";
        steps.clear();
    }
    // The gesture's files are named for this process's id and start, and the gesture's number:
    // the platform reuses process ids, and a program that ended inside a gesture leaves its
    // files (and perhaps its script, still running) behind.
    std::string Marker(const std::string& name) const
    {
        static const std::string process = [] {
            FILETIME created{}, exited{}, kernel{}, user{};
            GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
            const auto start = (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
            return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(start);
        }();
        return "/tmp/lexdrill-input-" + process + "-" + std::to_string(gesture) + "-" + name;
    }
    static std::string Dos(std::string path)
    {
        std::replace(path.begin(), path.end(), '/', '\\');
        return "Z:" + path;
    }
    static bool Exists(const std::string& path)
    {
        return GetFileAttributesA(Dos(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static void Remove(const std::string& path) { DeleteFileA(Dos(path).c_str()); }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TInput* input = running;
        if (!input)
            return;
        // A condition counts only once the gesture waits for it.
        const std::string marker = input->Marker(std::to_string(input->next));
        if (input->next < input->conditions.size() && Exists(marker + "-at") && input->conditions[input->next]()) {
            HANDLE file = CreateFileA(Dos(marker).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
            ++input->next;
        }
        // A menu the gesture opened and left open would hold the test in its loop.
        if (!input->endedAt && Exists(input->Marker("end")))
            input->endedAt = GetTickCount();
        if (input->endedAt && GetTickCount() - input->endedAt > input->menuTimeout)
            EndMenu();
    }
};
