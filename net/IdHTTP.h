// HTTP client component over the platform's WinHTTP: plain http GETs that block the caller while
// the process-wide TIdAntiFreeze keeps the GUI thread's messages flowing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Streams.h"

// A request that could not be made or whose reply could not be read.
class ENetError : public Exception {
public:
    using Exception::Exception;
};

// The server answered with a status other than 2xx; the message is the status line.
class EHttpStatusError : public ENetError {
public:
    EHttpStatusError(int status, const std::string& statusLine) : ENetError(statusLine), status_(status) {}
    int Status() const { return status_; }

private:
    int status_;
};

enum class TWorkMode { wmRead, wmWrite };

// Counts are bytes; the maximum is the announced Content-Length, 0 when the reply announces none.
using TWorkBeginEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCountMax)>;
using TWorkEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCount)>;
using TWorkEndEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode)>;

class TIdHTTP : public TComponent {
    LEXDRILL_CLASS(TIdHTTP)
public:
    explicit TIdHTTP(TComponent* owner);

    // The reply body of a GET of url ("http://host[:port]/path").
    std::string Get(const std::string& url);
    // Writes the reply body of a GET of url to target as it arrives.
    void Get(const std::string& url, TStream& target);

    // Published request settings.
    std::string Accept = "text/html, */*";
    std::string UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
    std::string ContentType = "text/html";
    bool AllowCookies = true;  // kept in this component's own session, shared with no other
    int ReadTimeout = 0;       // milliseconds to wait for reply data; 0 waits without limit

    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

private:
    void Fetch(const std::string& url, const std::function<void(const uint8_t*, size_t)>& sink);

    struct TSessionCloser {
        void operator()(void* session) const;
    };
    std::unique_ptr<void, TSessionCloser> session_;  // holds this component's cookies
};
