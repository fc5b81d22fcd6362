#include "HttpTestServer.h"

#include <windows.h>
#include <winhttp.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "SysUtils.h"

namespace {

const char* const PortVariable = "LEXDRILL_TEST_HTTP_PORT";
bool startedHere = false;

// Wine's own path converters; this server exists only for tests under Wine.
template <class Fn> Fn WineFunction(const char* name)
{
    const auto function =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
    if (!function)
        throw std::runtime_error(std::string("not running under Wine: no ") + name);
    return function;
}

std::wstring DosPath(const char* unixPath)
{
    WCHAR* converted = WineFunction<WCHAR*(CDECL*)(const char*)>("wine_get_dos_file_name")(unixPath);
    std::wstring path = converted ? converted : L"";
    HeapFree(GetProcessHeap(), 0, converted);
    return path;
}

std::string UnixPath(const std::wstring& dosPath)
{
    char* converted = WineFunction<char*(CDECL*)(const WCHAR*)>("wine_get_unix_file_name")(dosPath.c_str());
    std::string path = converted ? converted : "";
    HeapFree(GetProcessHeap(), 0, converted);
    return path;
}

std::wstring FromUnix(const std::string& path)
{
    std::wstring wide(path.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// Wine starts a Linux program named by CreateProcess but hands it no standard handles and no
// process handle, so the port comes back through a file.
int StartServer()
{
    WCHAR folder[MAX_PATH], portFile[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"lxh", 0, portFile))
        throw std::runtime_error("no temporary file for the server's port");
    // Arguments reach the Linux program as they are written: Unix paths.
    std::wstring command = L"\"" + DosPath(LEXDRILL_PYTHON) + L"\" \"" + FromUnix(LEXDRILL_HTTP_SERVER) +
                                 L"\" --port-file \"" + FromUnix(UnixPath(portFile)) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error(Format("cannot start the test server (%lu)", GetLastError()));
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);

    int port = 0;
    for (int tries = 0; tries < 500 && port == 0; ++tries) {
        std::ifstream file{std::filesystem::path(portFile)};
        if (!(file >> port))
            Sleep(20);
    }
    DeleteFileW(portFile);
    if (port <= 0 || port > 65535)
        throw std::runtime_error("the test server did not tell its port");
    startedHere = true;
    return port;
}

const auto closeHandle = [](HINTERNET handle) { WinHttpCloseHandle(handle); };
using InternetHandle = std::unique_ptr<void, decltype(closeHandle)>;

// A request of the server, its response's headers received.
struct TOpenRequest {
    InternetHandle session{nullptr, closeHandle}, connection{nullptr, closeHandle}, request{nullptr, closeHandle};
};

TOpenRequest Open(int port, const std::string& path)
{
    const std::wstring widePath(path.begin(), path.end());
    TOpenRequest open;
    open.session.reset(WinHttpOpen(L"test", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
    if (open.session)
        open.connection.reset(WinHttpConnect(open.session.get(), L"127.0.0.1", static_cast<INTERNET_PORT>(port), 0));
    if (open.connection)
        open.request.reset(WinHttpOpenRequest(open.connection.get(), L"GET", widePath.c_str(), nullptr, nullptr, nullptr, 0));
    if (!open.request || !WinHttpSendRequest(open.request.get(), nullptr, 0, nullptr, 0, 0, 0) ||
        !WinHttpReceiveResponse(open.request.get(), nullptr))
        throw std::runtime_error("the test server did not answer " + path);
    return open;
}

}  // namespace

int TestServerPort()
{
    static const int port = [] {
        if (const char* inherited = std::getenv(PortVariable))
            return std::atoi(inherited);
        const int started = StartServer();
        // Held open until this process ends, however it ends: the server ends with it.
        static const TOpenRequest hold = Open(started, "/hold");
        SetEnvironmentVariableA(PortVariable, std::to_string(started).c_str());
        return started;
    }();
    return port;
}

std::string TestServerUrl(const std::string& path)
{
    return Format("http://127.0.0.1:%d%s", TestServerPort(), path.c_str());
}

namespace {

// A plain synchronous request, its body: setting up and cleaning up should not depend on the
// component under test.
std::string Request(const std::string& path)
{
    const TOpenRequest open = Open(TestServerPort(), path);
    std::string body;
    char buffer[4096];
    DWORD read = 0;
    while (WinHttpReadData(open.request.get(), buffer, sizeof buffer, &read) && read > 0)
        body.append(buffer, read);
    return body;
}

std::string Encoded(const std::string& text)
{
    std::string encoded;
    for (const unsigned char c : text)
        encoded += std::isalnum(c) ? std::string(1, static_cast<char>(c)) : Format("%%%02X", c);
    return encoded;
}

}  // namespace

void SetTestRoute(const std::string& path, const std::vector<std::pair<std::string, std::string>>& parameters)
{
    std::string query = "/set?path=" + Encoded(path);
    for (const auto& [name, value] : parameters)
        query += "&" + name + "=" + Encoded(value);
    Request(query);
}

std::vector<std::string> RoutedRequests()
{
    std::istringstream body(Request("/routed"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(body, line);)
        lines.push_back(line);
    return lines;
}

std::string ServerPath(const std::string& dosPath)
{
    return UnixPath(std::wstring(dosPath.begin(), dosPath.end()));
}

void StopTestServer()
{
    if (!startedHere)
        return;
    try {
        Request("/quit");
    } catch (const std::runtime_error&) {
        // the server ends by itself later
    }
    startedHere = false;
}
