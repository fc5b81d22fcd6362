// Linked into test builds of the programs: the service's addresses point at the test server
// whose port the test that starts the program passes on in the environment.
#include <cstdlib>

#include "Sites.h"
#include "SysUtils.h"

namespace {

[[maybe_unused]] const bool redirected = [] {
    if (const char* port = std::getenv("LEXDRILL_TEST_HTTP_PORT")) {
        const std::string local = Format("http://127.0.0.1:%d", std::atoi(port));
        ServiceSites() = {local, local, local};
    }
    return true;
}();

}  // namespace
