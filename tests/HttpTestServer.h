// The local HTTP server of the network tests (http_server.py), one per test process.
#pragma once

#include <string>

// Port of the server, started on first use. A process started by this one (a death test's
// child) finds the port in the environment and shares the server instead of starting another.
int TestServerPort();
// "http://127.0.0.1:<port>" followed by path.
std::string TestServerUrl(const std::string& path);
// Ends the server if this process started it.
void StopTestServer();
