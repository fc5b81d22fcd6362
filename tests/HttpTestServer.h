// The local HTTP server of the network tests (http_server.py), one per test process.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Port of the server, started on first use; the server ends with the process that started it.
// A process started by this one (a death test's child) finds the port in the environment and
// shares the server instead of starting another.
int TestServerPort();
// "http://127.0.0.1:<port>" followed by path.
std::string TestServerUrl(const std::string& path);
// Answers later requests for path as /data answers the given parameters (name, value), for
// this process and the programs it starts.
void SetTestRoute(const std::string& path, const std::vector<std::pair<std::string, std::string>>& parameters);
// The requests for routes set by SetTestRoute that reached the server so far, in the order they
// arrived, as "GET path?query": logged on arrival, before the route's delay.
std::vector<std::string> RoutedRequests();
// The Unix path of a file of this Wine process, as the server opens it.
std::string ServerPath(const std::string& dosPath);
// Ends the server if this process started it.
void StopTestServer();
