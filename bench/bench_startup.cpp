// Times the client's start, from the process's creation to its main window shown and painted,
// skinned against the same build with skinning off, each in processes of its own, alternating;
// the skin's load (decode, description, images) through the engine's reader beside the platform's
// INI functions, alternating; and, given a second skin file, the switch of the client's seven
// windows to it and back. Prints one line per measure.
//
// Run with the second skin's path, or without arguments. A run with "skinned" or "plain" is one
// start, whose time in tenths of a millisecond is its exit code.
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
#include "IniFiles.h"
#include "PlatformSkinLoad.h"
#include "Sites.h"
#include "SkinRead.h"
#include "Timing.h"
#include "U_About.h"
#include "Unit1.h"
#include "Unit7.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "dalishang.h"
#include "jiameng.h"
#include "zxks.h"

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

// Creates the client with its pages asked of an address where nothing answers (the panes and the
// version check fail at once, in every run alike), its database message box answered.
void CreateClientAnswered()
{
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
}

int OneStart(bool skinned)
{
    CreateClientAnswered();
    // The component's switch as the stored layout gives it, without the timer's delay.
    SkinManage->FActive = skinned;
    Form10->Show();
    Drain([skinned] {
        TWinSkinForm* formSkin = SkinManage->FindFormSkin(Form10->Handle());
        return !skinned || (formSkin && formSkin->SkinState() == fssSkinned);
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

struct TSpread {
    double median, low, high;
};

TSpread SpreadOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {Median(times), times.front(), times.back()};
}

void PrintSpread(const char* what, const TSpread& t)
{
    std::printf("  %-44s median %7.2f ms (%.2f to %.2f)\n", what, t.median, t.low, t.high);
}

// Milliseconds of one call of work.
double Timed(const std::function<void()>& work)
{
    const double start = ClockMs();
    work();
    return ClockMs() - start;
}

// The skin's load both ways, alternating, and the engine's load in its parts: the container's
// decode, the description without images (a container reader that holds none), and the rest.
void SkinLoads()
{
    HRSRC found = FindResourceA(nullptr, "Index.SkinData1.skin", reinterpret_cast<LPCSTR>(RT_RCDATA));
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    TMemoryStream stored, file;
    stored.WriteBuffer(bytes, SizeofResource(nullptr, found));
    file.WriteBuffer(bytes + 4, SizeofResource(nullptr, found) - 4);
    std::string description;
    ExtractDescription(file, description);

    constexpr int runs = 21;
    std::vector<double> engine, platform, decode, text;
    for (int i = 0; i < runs; ++i) {
        engine.push_back(Timed([&] {
            TSkinData data(nullptr);
            stored.SetPosition(0);
            data.ReadSkinStream(stored);
        }));
        platform.push_back(Timed([&] {
            TSkinData data(nullptr);
            file.SetPosition(0);
            LoadSkinThroughPlatform(data, file);
        }));
        decode.push_back(Timed([&] {
            TSkinReader reader;
            file.SetPosition(0);
            reader.LoadFromStream(file);
        }));
        TSkinData data(nullptr);
        TSkinReader noImages;
        text.push_back(Timed([&] { data.ParseDescription(TMemIniFile(description), noImages); }));
    }
    // A component's construction (its glyph resource) is in both loads alike.
    std::vector<double> construction;
    for (int i = 0; i < runs; ++i)
        construction.push_back(Timed([] { TSkinData data(nullptr); }));
    std::printf("skin load (decode, description, images), %d runs alternating, in a new component:\n", runs);
    PrintSpread("engine's in-memory reader (aim 15 ms or less)", SpreadOf(engine));
    PrintSpread("platform's INI functions (the former path)", SpreadOf(platform));
    PrintSpread("of the engine's: the container's decode", SpreadOf(decode));
    PrintSpread("of the engine's: the description, no images", SpreadOf(text));
    PrintSpread("a component's construction and destruction", SpreadOf(construction));
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// What a switch costs the platform alone: plain windows of the seven forms' sizes, with as many
// child windows each, resized with a frame change and given a new region each, twice (the frame
// of a new skin and back), then painted. A switch cannot take less than this.
std::vector<double> PlatformPart(const std::vector<TCustomForm*>& forms)
{
    WNDCLASSA plain{};
    plain.lpfnWndProc = DefWindowProcA;
    plain.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    plain.lpszClassName = "BenchPlainForm";
    RegisterClassA(&plain);
    std::vector<UniqueWindow> windows;
    for (TCustomForm* form : forms) {
        RECT r;
        GetWindowRect(form->Handle(), &r);
        int children = 0;
        EnumChildWindows(form->Handle(), CountChild, reinterpret_cast<LPARAM>(&children));
        windows.emplace_back(CreateWindowExA(0, plain.lpszClassName, "plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                             r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                                             nullptr, nullptr, nullptr));
        for (int i = 0; i < children; ++i)
            CreateWindowExA(0, "BUTTON", "child", WS_CHILD | WS_VISIBLE, 8 + 24 * (i % 10), 8 + 24 * (i / 10),
                            20, 20, windows.back().get(), nullptr, nullptr, nullptr);
    }
    Drain([] { return true; });
    const auto reshape = [&](int grow) {
        for (const UniqueWindow& window : windows) {
            RECT r;
            GetWindowRect(window.get(), &r);
            const int w = r.right - r.left + grow, h = r.bottom - r.top + grow;
            SetWindowPos(window.get(), nullptr, 0, 0, w, h,
                         SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
            SetWindowRgn(window.get(), CreateRectRgn(0, 0, w, h), TRUE);
        }
        Drain([] { return true; });
    };
    std::vector<double> times;
    for (int i = 0; i < 11; ++i)
        times.push_back(Timed([&] {
            reshape(4);
            reshape(-4);
        }));
    return times;
}

// The switch of the client's seven windows to the second skin and back through SkinFile and
// the manager's reload, as the second-skin test makes it.
void SkinSwitch(const char* secondSkin)
{
    CreateClientAnswered();
    SkinManage->FActive = true;
    const std::vector<TCustomForm*> forms{Form10, Form1, xzks, Form7, About, Tjiameng, TDailishang};
    for (TCustomForm* form : forms)
        form->Show();
    Drain([] { return SkinManage->FindFormSkin(Form10->Handle()) != nullptr; });

    // The client's own skin as a file, for the way back.
    HRSRC found = FindResourceA(nullptr, "Index.SkinData1.skin", reinterpret_cast<LPCSTR>(RT_RCDATA));
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string own = std::string(folder) + "bench-own.skin";
    TMemoryStream file;
    file.WriteBuffer(bytes + 4, SizeofResource(nullptr, found) - 4);
    file.SaveToFile(own);

    int changes = 0;
    TSkinData* data = Form10->SkinData1;
    data->OnSkinChanged = [&changes](TObject*) { ++changes; };
    const auto load = [&](const std::string& path) {
        const int before = changes;
        data->SetSkinFile(path);
        SkinManage->SetMode(smReload, 1);
        Drain([&] { return changes > before; });
    };
    std::vector<double> times;
    for (int i = 0; i < 11; ++i)
        times.push_back(Timed([&] {
            load(secondSkin);
            load(own);
        }));
    DeleteFileA(own.c_str());
    std::printf("the client's seven windows to the second skin and back, 11 runs:\n");
    PrintSpread("switch and back (aim 0.3 s or less)", SpreadOf(times));
    PrintSpread("the platform's part: plain windows alike", SpreadOf(PlatformPart(forms)));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "skinned") == 0 || std::strcmp(argv[1], "plain") == 0))
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
    std::printf("start to main window shown, median of %d: skinning off %.1f ms, skinned %.1f ms, ratio %.2f"
                " (aim 1.08 or less)\n", runs, p, s, s / p);
    SkinLoads();
    if (argc > 1)
        SkinSwitch(argv[1]);
    return 0;
}
