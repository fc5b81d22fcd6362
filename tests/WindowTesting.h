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

// Dispatches messages until done() or the time is up; false when the time ran out.
bool Pump(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// The pop-up menu windows ("#32768") of this thread that are on show, topmost first. Tests
// running beside this one share the desktop: a search by class alone can find their menus.
std::vector<HWND> ShownMenuWindows();

// The first of them, or null.
HWND ShownMenuWindow();

// The requests that reached the server's pages so far, as "METHOD path".
std::vector<std::string> PageLog();
