// Times the client's start, from the process's creation to its main window shown and painted,
// skinned against the same build with skinning off, each in processes of its own, alternating;
// and the skin's load (decode, description, images) on its own. Prints one line per measure.
//
// Run without arguments. A run with "skinned" or "plain" is one start, whose time in tenths of a
// millisecond is its exit code.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Client.h"
#include "Forms.h"
#include "Index.h"
#include "Sites.h"
#include "Timing.h"
#include "WinSkinForm.h"

namespace {

double ClockMs()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<double>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000.0;
}

double ProcessCreated()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return static_cast<double>((static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime) /
           10000.0;
}

// The client's database message box, answered as soon as it shows.
BOOL CALLBACK AnswerBox(HWND hwnd, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (process == GetCurrentProcessId() && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd))
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Dispatches until nothing is left to do, painting included.
void Drain(const std::function<bool()>& done)
{
    for (;;) {
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!any && done())
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

int OneStart(bool skinned)
{
    // Nothing answers there: the panes and the version check fail at once, in both runs alike.
    ServiceSites() = {"http://127.0.0.1:9", "http://127.0.0.1:9", "http://127.0.0.1:9"};
    std::atomic<bool> done{false};
    std::thread answerer([&] {
        while (!done) {
            EnumWindows(AnswerBox, 0);
            Sleep(1);
        }
    });
    CreateClient();
    done = true;
    answerer.join();
    // The component's switch as the stored layout gives it, without the timer's delay.
    SkinManage->FActive = skinned;
    Form10->Show();
    Drain([skinned] {
        TWinSkinForm* formSkin = SkinManage->FindFormSkin(Form10->Handle());
        return !skinned || (formSkin && formSkin->FSkinState == fssSkinned);
    });
    GdiFlush();
    const double elapsed = ClockMs() - ProcessCreated();
    if (skinned != (SkinManage->FindFormSkin(Form10->Handle()) != nullptr))
        return 0;
    return static_cast<int>(elapsed * 10);
}

double RunChild(const char* mode)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string command = std::string("\"") + path + "\" " + mode;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code / 10.0;
}

double SkinLoad()
{
    HRSRC found = FindResourceA(nullptr, "Index.SkinData1.skin", reinterpret_cast<LPCSTR>(RT_RCDATA));
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    TMemoryStream stored;
    stored.WriteBuffer(bytes, SizeofResource(nullptr, found));
    std::vector<double> times;
    for (int i = 0; i < 21; ++i) {
        TSkinData data(nullptr);
        stored.SetPosition(0);
        const double start = ClockMs();
        data.ReadSkinStream(stored);
        times.push_back(ClockMs() - start);
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        ExitProcess(static_cast<UINT>(OneStart(std::strcmp(argv[1], "skinned") == 0)));

    constexpr int runs = 7;
    std::vector<double> skinned, plain;
    for (int i = 0; i < runs; ++i) {
        plain.push_back(RunChild("plain"));
        skinned.push_back(RunChild("skinned"));
    }
    for (const auto* times : {&plain, &skinned})
        if (std::count(times->begin(), times->end(), 0.0))
            std::printf("a start failed\n");
    const double p = Median(plain), s = Median(skinned);
    std::printf("start to main window shown, median of %d: skinning off %.1f ms, skinned %.1f ms, ratio %.2f\n",
                runs, p, s, s / p);
    std::printf("skin load (decode, description, images), median of 21: %.2f ms\n", SkinLoad());
    return 0;
}
