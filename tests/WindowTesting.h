// What the tests of the client's windows share: message boxes answered as a user would, the
// message loop turned while waiting, and the test server's log of page requests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Runs action while a second thread answers every message box of this process with OK; returns
// what the boxes said.
std::vector<std::string> MessageBoxesDuring(const std::function<void()>& action);

// Registers a window class of a test's own; false when it could not be.
bool RegisterTestClass(const char* name, WNDPROC proc, HCURSOR cursor, HBRUSH background = nullptr, UINT style = 0);
// Window procedures of a bare MDI frame, whose client window is TestMdiClient, and of its children.
extern HWND TestMdiClient;
LRESULT CALLBACK TestMdiFrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TestMdiChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The platform's arrow cursor, for a class that shows it.
inline HCURSOR Arrow()
{
    return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
}

// Dispatches messages until done() or the time is up; false when the time ran out.
bool Pump(const std::function<bool()>& done, DWORD timeoutMs = 10000);
// Dispatches messages for ms milliseconds.
void Wait(DWORD ms);

// What a window shows at a point of its own DC (window coordinates), as it stands, and after a
// full repaint of the window and its children.
COLORREF Shown(HWND w, int x, int y);
COLORREF Seen(HWND w, int x, int y);

// A window-sized picture of a window, as its window DC shows it now, or as WM_PRINT with flags
// prints it onto a backdrop of one colour.
struct TWindowPicture {
    int Width = 0, Height = 0;
    std::vector<COLORREF> Pixels;  // rows top to bottom

    COLORREF At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    // How many pixels of rect (window coordinates, cut to both pictures) differ from other's.
    int Differences(const TWindowPicture& other, const RECT& rect) const;
};
TWindowPicture ShownPicture(HWND w);
TWindowPicture PrintedPicture(HWND w, LPARAM flags, COLORREF backdrop);
// Where a print of w falls short of what the screen shows, in the part of the window on the
// screen: the pixels inside the window's region unlike the screen's, and those outside it unlike
// the backdrop.
std::pair<int, int> PrintFaults(HWND w, const TWindowPicture& shown, const TWindowPicture& printed,
                                COLORREF backdrop);

// The top-level windows of a class that this thread has on show, topmost first. Tests running
// beside this one share the desktop: a search by class alone can find their windows.
std::vector<HWND> ShownThreadWindows(const char* className);

// The pop-up menu windows ("#32768") of this thread on show.
std::vector<HWND> ShownMenuWindows();

// The first of them, or null.
HWND ShownMenuWindow();

// The requests that reached the server's pages so far, as "METHOD path".
std::vector<std::string> PageLog();
