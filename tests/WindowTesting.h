// What the tests of the client's windows share: message boxes answered as a user would, the
// message loop turned while waiting, and the test server's log of page requests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Runs action while a second thread answers every message box of this process with OK; returns
// what the boxes said.
std::vector<std::string> MessageBoxesDuring(const std::function<void()>& action);

// Registers a window class of a test's own; false when it could not be.
bool RegisterTestClass(const char* name, WNDPROC proc, HCURSOR cursor, HBRUSH background = nullptr, UINT style = 0);
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

// The top-level windows of a class that this thread has on show, topmost first. Tests running
// beside this one share the desktop: a search by class alone can find their windows.
std::vector<HWND> ShownThreadWindows(const char* className);

// The pop-up menu windows ("#32768") of this thread on show.
std::vector<HWND> ShownMenuWindows();

// The first of them, or null.
HWND ShownMenuWindow();

// The requests that reached the server's pages so far, as "METHOD path".
std::vector<std::string> PageLog();
