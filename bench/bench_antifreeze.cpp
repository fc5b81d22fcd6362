// What a request's wait costs the GUI thread: posted messages dispatched per second and the
// delay from post to dispatch, first in the application's idle message loop, then while a slow
// request waits through the anti-freeze, in the same run.
#include <cstdio>

#include "Forms.h"
#include "HttpTestServer.h"
#include "IdAntiFreeze.h"
#include "IdHTTP.h"

namespace {

// Another thread posts one message, waits until the GUI thread has dispatched it, and posts the
// next: messages arrive from outside as input does, one at a time. (A handler that posts its own
// next message would keep any dispatch-until-empty loop, the application's included, busy for
// ever.)
struct TPingPong {
    HWND window = nullptr;
    HANDLE handled = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    volatile bool running = false;
    long long count = 0;
    double delaySum = 0;  // microseconds
    LARGE_INTEGER posted = {};
    LARGE_INTEGER frequency = {};
};

TPingPong ping;

DWORD WINAPI Poster(void*)
{
    while (ping.running) {
        QueryPerformanceCounter(&ping.posted);
        PostMessageA(ping.window, WM_APP, 0, 0);
        WaitForSingleObject(ping.handled, INFINITE);
    }
    return 0;
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_APP)
        return DefWindowProcA(window, message, wParam, lParam);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    ping.delaySum += static_cast<double>(now.QuadPart - ping.posted.QuadPart) * 1e6 /
                     static_cast<double>(ping.frequency.QuadPart);
    ++ping.count;
    SetEvent(ping.handled);
    return 0;
}

struct TResult {
    double perSecond;
    double delay;
};

template <class Run> TResult Measure(Run run)
{
    ping.count = 0;
    ping.delaySum = 0;
    ping.running = true;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    HANDLE poster = CreateThread(nullptr, 0, Poster, nullptr, 0, nullptr);
    run();
    ping.running = false;
    QueryPerformanceCounter(&end);
    // The poster may be waiting for one last dispatch.
    while (WaitForSingleObject(poster, 0) == WAIT_TIMEOUT)
        Application->ProcessMessages();
    CloseHandle(poster);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) /
                           static_cast<double>(ping.frequency.QuadPart);
    return {static_cast<double>(ping.count) / seconds, ping.delaySum / static_cast<double>(ping.count)};
}

}  // namespace

int main()
{
    QueryPerformanceFrequency(&ping.frequency);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.lpszClassName = "LexdrillBench";
    RegisterClassA(&windowClass);
    ping.window = CreateWindowA("LexdrillBench", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    const int milliseconds = 2000;
    const TResult idle = Measure([] {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        while (GetTickCount64() < end)
            Application->HandleMessage();
    });
    TIdAntiFreeze pump(nullptr);
    TIdHTTP http(nullptr);
    const std::string url = TestServerUrl("/data?size=10&delay=" + std::to_string(milliseconds));
    const TResult waiting = Measure([&] { http.Get(url); });
    StopTestServer();

    std::printf("idle message loop:      %10.0f messages/s, %7.1f us from post to dispatch\n", idle.perSecond,
                idle.delay);
    std::printf("waiting on a request:   %10.0f messages/s, %7.1f us from post to dispatch\n", waiting.perSecond,
                waiting.delay);
    std::printf("ratio waiting / idle:   %10.2f throughput, %7.2f delay\n", waiting.perSecond / idle.perSecond,
                waiting.delay / idle.delay);
    return 0;
}
