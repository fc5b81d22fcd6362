// Linked into test builds of the programs: the service's addresses point at the test server
// whose port the test that starts the program passes on in the environment, and a program started
// with a show command meets it as on Windows.
#include <windows.h>

#include <cstdlib>

#include "Sites.h"
#include "StartShowRule.h"
#include "SysUtils.h"

namespace {

[[maybe_unused]] const bool redirected = [] {
    if (const char* port = std::getenv("LEXDRILL_TEST_HTTP_PORT")) {
        const std::string local = Format("http://127.0.0.1:%d", std::atoi(port));
        ServiceSites() = {local, local, local};
    }
    return true;
}();

// The programs start each other hidden (WinExec(..., SW_HIDE)). Windows gives that command to a
// program's first show of an unowned window with a caption, Wine does not: here it does too, so
// a program that shows its window under these tests shows it on Windows.
[[maybe_unused]] const bool startShowApplied = [] {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW) {
        static TStartShowRule rule(startup.wShowWindow);
        return rule.Installed();
    }
    return false;
}();

}  // namespace
