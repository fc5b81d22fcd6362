#include "IdHTTP.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "IdAntiFreeze.h"

namespace {

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string narrow(static_cast<size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

// The system's text for a WinHTTP or socket error code.
std::string ErrorText(DWORD error)
{
    char* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_FROM_HMODULE |
                        FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length = FormatMessageA(flags, GetModuleHandleA("winhttp.dll"), error, 0,
                                        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length ? Trim(std::string(text, length)) : std::string();
    LocalFree(text);
    return result.empty() ? Format("error %lu", error) : Format("%s (%lu)", result.c_str(), error);
}

[[noreturn]] void Fail(const std::string& what, DWORD error)
{
    throw ENetError(what + ": " + ErrorText(error));
}

struct THandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using THandle = std::unique_ptr<void, THandleCloser>;

struct TInternetCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using TInternetHandle = std::unique_ptr<void, TInternetCloser>;

// What WinHTTP's callback touches, on one of WinHTTP's own threads, and the buffer WinHTTP reads
// the body into. It lives until WinHTTP says no callback will follow, which for a request
// abandoned while its server stalls comes only when the server answers or the connection dies:
// the request's owner does not wait for that, and a read still outstanding then completes here.
struct TCallbackState {
    THandle stepDone{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    DWORD error = 0;  // of the last step, set before stepDone
    DWORD bytes = 0;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(65536);
    std::shared_ptr<TCallbackState> self;  // released by the last callback
};

// One asynchronous request. Each step is started here and completed by the callback, which sets
// the step's event; the GUI thread waits for it through the anti-freeze.
class TRequest {
public:
    TRequest(HINTERNET session, const std::string& url, const TIdHTTP& settings);

    // Sends the request and waits for the reply's headers.
    void Send();
    DWORD Status();
    std::string StatusLine();
    // The announced Content-Length, 0 when there is none; raises when it is not a number.
    int64_t ContentLength();
    // Reads what has arrived, up to the buffer's size, waiting for some; 0 at the end of the body.
    DWORD Read();
    // What the last Read gave.
    const uint8_t* Data() const { return state_->buffer.data(); }

private:
    static void CALLBACK Callback(HINTERNET handle, DWORD_PTR context, DWORD status, void* info, DWORD length);
    void Await(const char* step);
    std::wstring QueryText(DWORD what);

    std::string url_;
    std::shared_ptr<TCallbackState> state_ = std::make_shared<TCallbackState>();
    TInternetHandle connection_;
    TInternetHandle request_;
};

TRequest::TRequest(HINTERNET session, const std::string& url, const TIdHTTP& settings) : url_(url)
{
    if (!state_->stepDone)
        Fail("Cannot request " + url, GetLastError());
    const std::wstring wideUrl = Wide(url);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts))
        Fail("Not a valid address: " + url, GetLastError());
    if (parts.nScheme != INTERNET_SCHEME_HTTP)
        throw ENetError("Only http addresses can be requested: " + url);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);

    connection_.reset(WinHttpConnect(session, host.c_str(), parts.nPort, 0));
    if (!connection_)
        Fail("Cannot connect to " + url, GetLastError());
    request_.reset(WinHttpOpenRequest(connection_.get(), L"GET", path.empty() ? L"/" : path.c_str(), nullptr,
                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request_)
        Fail("Cannot request " + url, GetLastError());
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(state_.get());
    if (!WinHttpSetOption(request_.get(), WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context))
        Fail("Cannot request " + url, GetLastError());
    const DWORD notifications = WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES;
    if (WinHttpSetStatusCallback(request_.get(), Callback, notifications, 0) == WINHTTP_INVALID_STATUS_CALLBACK)
        Fail("Cannot request " + url, GetLastError());
    state_->self = state_;

    // The service answers its own plain http addresses itself: a redirect could only lead
    // elsewhere (another host, https), so it is not followed and fails as any status but 2xx.
    DWORD redirects = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    if (!WinHttpSetOption(request_.get(), WINHTTP_OPTION_REDIRECT_POLICY, &redirects, sizeof redirects))
        Fail("Cannot request " + url, GetLastError());
    if (!settings.AllowCookies) {
        DWORD disable = WINHTTP_DISABLE_COOKIES;
        WinHttpSetOption(request_.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);
    }
    // Both the wait for the reply's headers and each wait for body data count as reading.
    DWORD timeout = settings.ReadTimeout > 0 ? static_cast<DWORD>(settings.ReadTimeout) : INFINITE;
    WinHttpSetTimeouts(request_.get(), 0, 60000, 30000, static_cast<int>(timeout));
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeout, sizeof timeout);

    std::wstring headers;
    const auto add = [&headers](const wchar_t* name, const std::string& value) {
        if (!value.empty())
            headers += name + Wide(value) + L"\r\n";
    };
    add(L"Accept: ", settings.Accept);
    add(L"User-Agent: ", settings.UserAgent);
    add(L"Content-Type: ", settings.ContentType);
    const DWORD mode = WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE;
    if (!headers.empty() &&
        !WinHttpAddRequestHeaders(request_.get(), headers.c_str(), static_cast<DWORD>(headers.size()), mode))
        Fail("Cannot request " + url, GetLastError());
}

void CALLBACK TRequest::Callback(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD length)
{
    auto* state = reinterpret_cast<TCallbackState*>(context);
    if (!state)
        return;
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
        state->bytes = *static_cast<DWORD*>(info);
        break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
        state->bytes = length;
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        state->error = std::max<DWORD>(static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError, 1);
        break;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING: {
        const std::shared_ptr<TCallbackState> last = std::move(state->self);
        return;
    }
    default:
        return;
    }
    SetEvent(state->stepDone.get());
}

void TRequest::Await(const char* step)
{
    TIdAntiFreeze::Wait(state_->stepDone.get());
    if (state_->error)
        Fail(std::string(step) + " " + url_, state_->error);
}

void TRequest::Send()
{
    if (!WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                            reinterpret_cast<DWORD_PTR>(state_.get())))
        Fail("Cannot request " + url_, GetLastError());
    Await("Cannot request");
    if (!WinHttpReceiveResponse(request_.get(), nullptr))
        Fail("No reply from " + url_, GetLastError());
    Await("No reply from");
}

std::wstring TRequest::QueryText(DWORD what)
{
    DWORD size = 0;
    WinHttpQueryHeaders(request_.get(), what, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return {};
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1);
    if (!WinHttpQueryHeaders(request_.get(), what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
        return {};
    return std::wstring(text.data(), std::min<size_t>(size / sizeof(wchar_t), text.size()));
}

DWORD TRequest::Status()
{
    DWORD status = 0;
    DWORD size = sizeof status;
    WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    return status;
}

std::string TRequest::StatusLine()
{
    return Format("%s %lu %s", Narrow(QueryText(WINHTTP_QUERY_VERSION)).c_str(), Status(),
                  Narrow(QueryText(WINHTTP_QUERY_STATUS_TEXT)).c_str());
}

int64_t TRequest::ContentLength()
{
    const std::wstring text = QueryText(WINHTTP_QUERY_CONTENT_LENGTH);
    if (text.empty())
        return 0;
    if (!std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        throw ENetError("The reply from " + url_ + " announces an invalid length: " + Narrow(text));
    // A length beyond any real body still counts, so that the short body is noticed.
    int64_t length = 0;
    for (const wchar_t digit : text)
        length = length > (INT64_MAX - 9) / 10 ? INT64_MAX : length * 10 + (digit - L'0');
    return length;
}

DWORD TRequest::Read()
{
    if (!WinHttpQueryDataAvailable(request_.get(), nullptr))
        Fail("Cannot read the reply from " + url_, GetLastError());
    Await("Cannot read the reply from");
    if (state_->bytes == 0)
        return 0;
    std::vector<uint8_t>& buffer = state_->buffer;
    if (!WinHttpReadData(request_.get(), buffer.data(), std::min(state_->bytes, static_cast<DWORD>(buffer.size())),
                         nullptr))
        Fail("Cannot read the reply from " + url_, GetLastError());
    Await("Cannot read the reply from");
    return state_->bytes;
}

}  // namespace

const TClassInfo& TIdHTTP::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TIdHTTP>("TIdHTTP", TComponent::StaticClass())
        .Creatable()
        .Str("Accept", [](TIdHTTP& c, const std::string& v) { c.Accept = v; })
        .Str("UserAgent", [](TIdHTTP& c, const std::string& v) { c.UserAgent = v; })
        .Str("ContentType", [](TIdHTTP& c, const std::string& v) { c.ContentType = v; })
        .Bool("AllowCookies", [](const TIdHTTP& c) { return c.AllowCookies; },
              [](TIdHTTP& c, bool v) { c.AllowCookies = v; })
        .Int("ReadTimeout", [](TIdHTTP& c, int v) { c.ReadTimeout = v; })
        .Event("OnWorkBegin", &TIdHTTP::OnWorkBegin)
        .Event("OnWork", &TIdHTTP::OnWork)
        .Event("OnWorkEnd", &TIdHTTP::OnWorkEnd)
        .Build();
    return info;
}

// Stored layouts create the component by its class name.
[[maybe_unused]] static const bool registered = (RegisterComponentClass(TIdHTTP::StaticClass()), true);

void TIdHTTP::TSessionCloser::operator()(void* session) const
{
    WinHttpCloseHandle(session);
}

TIdHTTP::TIdHTTP(TComponent* owner)
    : TComponent(owner),
      session_(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                           WINHTTP_FLAG_ASYNC))
{
    if (!session_)
        Fail("Cannot start an HTTP session", GetLastError());
}

std::string TIdHTTP::Get(const std::string& url)
{
    std::string body;
    Fetch(url, [&body](const uint8_t* data, size_t size) { body.append(reinterpret_cast<const char*>(data), size); });
    return body;
}

void TIdHTTP::Get(const std::string& url, TStream& target)
{
    Fetch(url, [&target](const uint8_t* data, size_t size) { target.WriteBuffer(data, size); });
}

void TIdHTTP::Fetch(const std::string& url, const std::function<void(const uint8_t*, size_t)>& sink)
{
    TRequest request(session_.get(), url, *this);
    request.Send();
    const DWORD status = request.Status();
    if (status < 200 || status > 299)
        throw EHttpStatusError(static_cast<int>(status), request.StatusLine());

    const int64_t announced = request.ContentLength();
    if (OnWorkBegin)
        OnWorkBegin(this, TWorkMode::wmRead, announced);
    try {
        int64_t total = 0;
        while (const DWORD got = request.Read()) {
            sink(request.Data(), got);
            total += got;
            if (OnWork)
                OnWork(this, TWorkMode::wmRead, total);
        }
        if (announced > 0 && total < announced)
            throw ENetError(Format("The reply from %s ended after %lld of %lld bytes", url.c_str(),
                                   static_cast<long long>(total), static_cast<long long>(announced)));
    } catch (const std::bad_alloc&) {
        if (OnWorkEnd)
            OnWorkEnd(this, TWorkMode::wmRead);
        throw ENetError("The reply from " + url + " does not fit in memory");
    } catch (...) {
        if (OnWorkEnd)
            OnWorkEnd(this, TWorkMode::wmRead);
        throw;
    }
    if (OnWorkEnd)
        OnWorkEnd(this, TWorkMode::wmRead);
}
