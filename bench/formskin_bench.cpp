// Times a skinned window against the same window unskinned, on the client's own skin: one
// whole non-client paint of a 1280 x 800 window, and one live-resize step (the size messages,
// the frame metrics, the region and the paint) of a 1920 x 1080 window. Prints one line per
// case; each figure is the median of its runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "SkinTesting.h"
#include "Timing.h"

namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A pop-up with a caption: the platform does not hold it to the screen's size.
HWND MakeWindow(int width, int height)
{
    HWND w = CreateWindowExA(0, "FormSkinBench", "司法考试专用训练题库",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE,
                             0, 0, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(w);
    return w;
}

// One resize step as a live drag makes it: a new size, then everything it invalidated painted.
double ResizeStep(HWND w, int width, int height, int repeats)
{
    int step = 0;
    return MedianMilliseconds(
        [&] {
            const int d = (step++ % 2) * 8;
            SetWindowPos(w, nullptr, 0, 0, width + d, height + d, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        },
        repeats);
}

}  // namespace

int main()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "FormSkinBench";
    RegisterClassA(&wc);
    TComponent owner(nullptr);
    auto& data = *TComponent::Make<TSkinData>(&owner);
    LoadOwnSkin(data);

    HWND w = MakeWindow(1280, 800);
    auto& skin = SkinWindow(&owner, w, data);
    const double skinned = MedianMilliseconds([&] { skin.PaintNonClient(nullptr); }, 21);
    skin.Detach();
    const double native = MedianMilliseconds([&] { SendMessageA(w, WM_NCPAINT, 1, 0); }, 21);
    std::printf("non-client paint 1280x800: skinned %.2f ms, native %.2f ms, ratio %.1f\n", skinned, native,
                skinned / native);
    DestroyWindow(w);

    HWND plain = MakeWindow(1920, 1080);
    const double unskinnedStep = ResizeStep(plain, 1920, 1080, 21);
    DestroyWindow(plain);
    HWND big = MakeWindow(1920, 1080);
    SkinWindow(&owner, big, data);
    const double skinnedStep = ResizeStep(big, 1920, 1080, 21);
    std::printf("resize step 1920x1080: skinned %.2f ms, unskinned %.2f ms, ratio %.1f\n", skinnedStep,
                unskinnedStep, skinnedStep / unskinnedStep);
    DestroyWindow(big);
    return 0;
}
