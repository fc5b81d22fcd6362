// What the tests of the client's windows share: message boxes answered as a user would, the
// message loop turned while waiting, the test server's log of page requests, and what the
// process holds.
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

// The requests that reached the server's pages so far, as "METHOD path".
std::vector<std::string> PageLog();

// What the process holds. GetGuiResources answers 0 under Wine: there the GDI objects are
// counted by their 16-bit handle values, which Wine accepts for any live object, and the
// windows and menus of this process likewise.
struct TUsage {
    long gdi;
    long user;
    size_t heap;  // bytes in use in the process's heaps
};
TUsage Usage();
