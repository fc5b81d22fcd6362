#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "Forms.h"
#include "HttpTestServer.h"
#include "IdAntiFreeze.h"
#include "IdHTTP.h"
#include "Layout.h"

#include <windows.h>
#include <winhttp.h>

namespace {

std::string Url(const std::string& path)
{
    return TestServerUrl(path);
}

std::string Digits(size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; ++i)
        text += static_cast<char>('0' + i % 10);
    return text;
}

// A message-only window that counts its timer ticks and the messages posted to it, and can act
// on a tick.
class TProbeWindow {
public:
    TProbeWindow()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LexdrillProbe";
        RegisterClassA(&windowClass);
        handle_ = CreateWindowA("LexdrillProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TProbeWindow() { DestroyWindow(handle_); }
    TProbeWindow(const TProbeWindow&) = delete;
    TProbeWindow& operator=(const TProbeWindow&) = delete;

    HWND Handle() const { return handle_; }
    void StartTimer(UINT interval) { SetTimer(handle_, 1, interval, nullptr); }
    void StopTimer() { KillTimer(handle_, 1); }

    int ticks = 0;
    int posted = 0;
    std::function<void(int tick)> onTick;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<TProbeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_TIMER) {
            ++self->ticks;
            if (self->onTick)
                self->onTick(self->ticks);
            return 0;
        }
        if (self && message == WM_APP) {
            ++self->posted;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND handle_ = nullptr;
};

}  // namespace

TEST(HttpGet, ReadsTheWholeBodyHoweverItsEndIsTold)
{
    TIdHTTP http(nullptr);
    EXPECT_EQ(http.Get(Url("/data?size=25")), Digits(25));
    EXPECT_EQ(http.Get(Url("/data?size=200000&mode=chunked")), Digits(200000));
    EXPECT_EQ(http.Get(Url("/data?size=70000&mode=close")), Digits(70000));
    EXPECT_EQ(http.Get(Url("/data?size=0")), "");
}

TEST(HttpGet, ToAStreamWritesTheBodyAtTheStreamsPosition)
{
    TIdHTTP http(nullptr);
    TMemoryStream stream;
    stream.WriteBuffer("head:", 5);
    http.Get(Url("/data?size=150000&mode=chunked"), stream);
    ASSERT_EQ(stream.Length(), 150005u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()), stream.Length()), "head:" + Digits(150000));
}

TEST(HttpGet, SendsTheStoredRequestHeaders)
{
    TIdHTTP http(nullptr);
    const std::string headers = http.Get(Url("/headers"));
    EXPECT_NE(headers.find("Accept: text/html, */*\n"), std::string::npos) << headers;
    EXPECT_NE(headers.find("User-Agent: Mozilla/3.0 (compatible; Indy Library)\n"), std::string::npos) << headers;
    EXPECT_NE(headers.find("Content-Type: text/html\n"), std::string::npos) << headers;

    http.UserAgent = "probe/1";
    http.Accept = "";
    const std::string changed = http.Get(Url("/headers"));
    EXPECT_NE(changed.find("User-Agent: probe/1\n"), std::string::npos) << changed;
    EXPECT_EQ(changed.find("Accept:"), std::string::npos) << changed;
}

TEST(HttpGet, KeepsCookiesPerComponent)
{
    TIdHTTP first(nullptr), second(nullptr), refusing(nullptr);
    refusing.AllowCookies = false;
    first.Get(Url("/data?cookie=pass=one"));
    refusing.Get(Url("/data?cookie=pass=three"));
    EXPECT_NE(first.Get(Url("/headers")).find("Cookie: pass=one\n"), std::string::npos);
    EXPECT_EQ(second.Get(Url("/headers")).find("Cookie"), std::string::npos);
    EXPECT_EQ(refusing.Get(Url("/headers")).find("Cookie"), std::string::npos);

    second.Get(Url("/data?cookie=pass=two"));
    EXPECT_NE(second.Get(Url("/headers")).find("Cookie: pass=two\n"), std::string::npos);
    EXPECT_NE(first.Get(Url("/headers")).find("Cookie: pass=one\n"), std::string::npos);
}

TEST(HttpGet, AnErrorStatusRaisesWithTheStatusLine)
{
    TIdHTTP http(nullptr);
    try {
        http.Get(Url("/nowhere"));
        FAIL() << "no exception";
    } catch (const EHttpStatusError& e) {
        EXPECT_EQ(e.Status(), 404);
        EXPECT_EQ(e.Message(), "HTTP/1.1 404 Not Found");
    }
    try {
        TMemoryStream stream;
        http.Get(Url("/data?size=10&status=500"), stream);
        FAIL() << "no exception";
    } catch (const EHttpStatusError& e) {
        EXPECT_EQ(e.Message(), "HTTP/1.1 500 Internal Server Error");
    }
}

TEST(HttpGet, FailuresToConnectOrReadRaise)
{
    TIdHTTP http(nullptr);
    EXPECT_THROW(http.Get("http://127.0.0.1:1/"), ENetError);
    EXPECT_THROW(http.Get("https://127.0.0.1/"), ENetError);
    EXPECT_THROW(http.Get("no address"), ENetError);
    // A body shorter than announced, also when the announcement is absurdly large, and a length
    // that is no number.
    EXPECT_THROW(http.Get(Url("/data?size=10&claim=1000")), ENetError);
    EXPECT_THROW(http.Get(Url("/data?size=10&claim=999999999999999")), ENetError);
    EXPECT_THROW(http.Get(Url("/data?size=10&claim=99999999999999999999999")), ENetError);
    EXPECT_THROW(http.Get(Url("/data?size=10&claim=-5")), ENetError);
    EXPECT_THROW(http.Get(Url("/data?size=10&claim=ten")), ENetError);
}

TEST(HttpGet, ARedirectIsAnErrorStatusAndIsNotFollowed)
{
    TIdHTTP http(nullptr);
    const std::string target = Url("/data?size=5");
    const std::string secure = "https" + target.substr(4);
    const std::pair<const char*, std::string> redirects[] = {{"302", target}, {"301", secure}, {"307", target}};
    for (const auto& [status, location] : redirects) {
        SetTestRoute("/moved", {{"status", status}, {"location", location}});
        try {
            http.Get(Url("/moved"));
            FAIL() << status << " to " << location << " was followed";
        } catch (const EHttpStatusError& e) {
            EXPECT_EQ(e.Status(), std::atoi(status));
        }
    }
}

TEST(HttpWork, ReportsTheAnnouncedLengthAndTheBytesSoFar)
{
    TIdHTTP http(nullptr);
    std::vector<int64_t> begins, counts;
    int ends = 0;
    http.OnWorkBegin = [&](TObject* sender, TWorkMode mode, int64_t max) {
        EXPECT_EQ(sender, &http);
        EXPECT_EQ(mode, TWorkMode::wmRead);
        begins.push_back(max);
    };
    http.OnWork = [&](TObject*, TWorkMode, int64_t count) { counts.push_back(count); };
    http.OnWorkEnd = [&](TObject*, TWorkMode) { ++ends; };

    http.Get(Url("/data?size=100000&stall=300"));
    ASSERT_EQ(begins, std::vector<int64_t>{100000});
    ASSERT_GE(counts.size(), 2u);  // half the body, a pause, the rest
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_EQ(counts.back(), 100000);
    EXPECT_EQ(ends, 1);

    begins.clear();
    counts.clear();
    http.Get(Url("/data?size=5000&mode=chunked"));
    EXPECT_EQ(begins, std::vector<int64_t>{0});
    EXPECT_EQ(counts.back(), 5000);

    EXPECT_THROW(http.Get(Url("/data?size=10&claim=20")), ENetError);
    EXPECT_EQ(begins.back(), 20);
    EXPECT_EQ(ends, 3);
}

TEST(AntiFreeze, TimersTickAndPostedMessagesArriveWhileARequestWaits)
{
    TIdAntiFreeze pump(nullptr);
    TIdHTTP http(nullptr);
    TProbeWindow probe;
    probe.onTick = [&](int tick) {
        if (tick == 1)
            PostMessageA(probe.Handle(), WM_APP, 0, 0);
    };
    probe.StartTimer(50);
    EXPECT_EQ(http.Get(Url("/data?size=10&delay=1000")), Digits(10));
    // The first tick is due 50 ms into a wait of a second, the message it posts right after it:
    // both come before the answer however busy the machine is.
    EXPECT_GE(probe.ticks, 1);
    EXPECT_EQ(probe.posted, 1);
}

// The local server ends with the process that started it, however that ends: here a child that
// starts one and ends at once, without a word to the server.
TEST(TestServer, EndsWithTheProcessThatStartedIt)
{
    // The child runs this test again from its start: it keeps what its parent set.
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string told = std::string(folder) + "lexdrill-server-" + std::to_string(GetCurrentProcessId()) + ".txt";
    if (!GetEnvironmentVariableA("LEXDRILL_SERVER_TOLD", nullptr, 0))
        SetEnvironmentVariableA("LEXDRILL_SERVER_TOLD", told.c_str());
    EXPECT_EXIT(
        {
            _putenv("LEXDRILL_TEST_HTTP_PORT=");  // a server of its own, not its parent's
            char path[MAX_PATH] = {};
            GetEnvironmentVariableA("LEXDRILL_SERVER_TOLD", path, sizeof path);
            std::ofstream(path) << TestServerPort() << "\n";
            ExitProcess(0);
        },
        testing::ExitedWithCode(0), "");
    int port = 0;
    ASSERT_TRUE(std::ifstream(told) >> port);
    DeleteFileA(told.c_str());
    TIdHTTP http(nullptr);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/headers";
    bool gone = false;
    for (int tries = 0; tries < 200 && !gone; ++tries) {
        try {
            http.Get(url);
            Sleep(100);
        } catch (const ENetError&) {
            gone = true;
        }
    }
    EXPECT_TRUE(gone) << "the server still answers 20 s after its program ended";
}

TEST(AntiFreeze, WithoutOneARequestBlocksTheThread)
{
    TIdHTTP http(nullptr);
    TProbeWindow probe;
    probe.StartTimer(20);
    PostMessageA(probe.Handle(), WM_APP, 0, 0);
    http.Get(Url("/data?size=10&delay=300"));
    EXPECT_EQ(probe.ticks, 0);
    EXPECT_EQ(probe.posted, 0);
}

TEST(AntiFreeze, AHandlerCanMakeAnotherRequestWhileOneWaits)
{
    TIdAntiFreeze pump(nullptr);
    TIdHTTP http(nullptr);
    TProbeWindow probe;
    std::string inner;
    probe.onTick = [&](int tick) {
        if (tick == 2) {
            probe.StopTimer();
            inner = http.Get(Url("/data?size=7"));
        }
    };
    probe.StartTimer(50);
    EXPECT_EQ(http.Get(Url("/data?size=12&delay=800")), Digits(12));
    EXPECT_EQ(inner, Digits(7));
}

// Closing the main window terminates the application; in a child process, since the
// application object cannot be revived afterwards.
TEST(AntiFreeze, ATerminatedApplicationAbandonsTheWaitingRequestSilently)
{
    TestServerPort();
    EXPECT_EXIT(
        {
            TIdAntiFreeze pump(nullptr);
            TIdHTTP http(nullptr);
            TProbeWindow probe;
            probe.onTick = [](int tick) {
                if (tick == 2)
                    Application->Terminate();
            };
            probe.StartTimer(50);
            const ULONGLONG start = GetTickCount64();
            try {
                http.Get(Url("/data?size=10&delay=5000"));
            } catch (const EAbort&) {
                ExitProcess(GetTickCount64() - start < 2500 ? 4 : 5);
            }
            ExitProcess(6);
        },
        testing::ExitedWithCode(4), "");
}

TEST(AntiFreeze, AHandlerCanEndTheProcessInTheMiddleOfARequest)
{
    TestServerPort();  // started here, so that this process ends it and the child shares it
    EXPECT_EXIT(
        {
            TIdAntiFreeze pump(nullptr);
            TIdHTTP http(nullptr);
            TProbeWindow probe;
            probe.onTick = [](int) { ExitProcess(3); };
            probe.StartTimer(100);
            http.Get(Url("/data?size=10&delay=20000"));
        },
        testing::ExitedWithCode(3), "");
}

namespace {

// Watches the read buffer that WinHTTP is given: whether the program frees it before WinHTTP has
// said that it lets go of the request (its handle is closing), when a read may still complete
// into it. The program's imports of WinHTTP are redirected through here.
struct TReadBufferWatch {
    std::atomic<void*> buffer{nullptr};
    std::atomic<bool> closing{false};
    std::atomic<int> freedBeforeClosing{0};
    std::atomic<int> freedAfterClosing{0};
    HANDLE closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WINHTTP_STATUS_CALLBACK callback = nullptr;
    decltype(&WinHttpReadData) readData = nullptr;
    decltype(&WinHttpSetStatusCallback) setStatusCallback = nullptr;
};
TReadBufferWatch* readBufferWatch = nullptr;

void NoteFreed(void* block)
{
    if (readBufferWatch && block && block == readBufferWatch->buffer.load())
        ++(readBufferWatch->closing ? readBufferWatch->freedAfterClosing : readBufferWatch->freedBeforeClosing);
}

void CALLBACK WatchingCallback(HINTERNET handle, DWORD_PTR context, DWORD status, void* info, DWORD length)
{
    if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING)
        readBufferWatch->closing = true;
    readBufferWatch->callback(handle, context, status, info, length);
    if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING)
        SetEvent(readBufferWatch->closed);
}

WINHTTP_STATUS_CALLBACK WINAPI WatchingSetStatusCallback(HINTERNET handle, WINHTTP_STATUS_CALLBACK callback,
                                                         DWORD flags, DWORD_PTR reserved)
{
    readBufferWatch->callback = callback;
    return readBufferWatch->setStatusCallback(handle, WatchingCallback, flags, reserved);
}

BOOL WINAPI WatchingReadData(HINTERNET request, void* buffer, DWORD size, DWORD* read)
{
    readBufferWatch->buffer = buffer;
    return readBufferWatch->readData(request, buffer, size, read);
}

// Points this program's import of function from winhttp.dll at replacement; returns the original.
void* RedirectImport(const char* function, void* replacement)
{
    void* const original = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("winhttp.dll"), function));
    auto* const base = reinterpret_cast<uint8_t*>(GetModuleHandleA(nullptr));
    const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        if (_stricmp(reinterpret_cast<const char*>(base + module->Name), "winhttp.dll") != 0)
            continue;
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); slot->u1.Function; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != original)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return original;
        }
    }
    return nullptr;
}

}  // namespace

// Replaced together, so that every block comes from and goes back to the same heap.
void* operator new(std::size_t size)
{
    if (void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    NoteFreed(block);
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void operator delete(void* block, std::size_t) noexcept
{
    NoteFreed(block);
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// "取消" or the close box while the body stalls: the request is abandoned with a read outstanding
// and WinHTTP may still complete it. Its buffer must outlive WinHTTP's hold on the request, and
// go with it.
TEST(AntiFreeze, AnAbandonedRequestKeepsItsReadBufferUntilWinHttpLetsGo)
{
    TestServerPort();
    EXPECT_EXIT(
        {
            static TReadBufferWatch watch;
            readBufferWatch = &watch;
            watch.setStatusCallback = reinterpret_cast<decltype(watch.setStatusCallback)>(
                RedirectImport("WinHttpSetStatusCallback", reinterpret_cast<void*>(WatchingSetStatusCallback)));
            watch.readData = reinterpret_cast<decltype(watch.readData)>(
                RedirectImport("WinHttpReadData", reinterpret_cast<void*>(WatchingReadData)));
            if (!watch.setStatusCallback || !watch.readData)
                ExitProcess(10);
            TIdAntiFreeze pump(nullptr);
            TIdHTTP http(nullptr);
            int64_t received = 0;
            http.OnWork = [&](TObject*, TWorkMode, int64_t count) { received = count; };
            TProbeWindow probe;
            probe.onTick = [&](int) {
                if (received > 0)
                    Application->Terminate();
            };
            probe.StartTimer(50);
            try {
                http.Get(Url("/data?size=200000&stall=8000"));
                ExitProcess(11);
            } catch (const EAbort&) {
            }
            if (received <= 0 || received >= 200000)
                ExitProcess(12);  // not abandoned in the middle of the body
            if (WaitForSingleObject(watch.closed, 30000) != WAIT_OBJECT_0)
                ExitProcess(13);
            ExitProcess(watch.freedBeforeClosing ? 14 : watch.freedAfterClosing == 1 ? 0 : 15);
        },
        testing::ExitedWithCode(0), "");
}

namespace {

class TLayoutRoot : public TComponent {
    LEXDRILL_CLASS(TLayoutRoot)
public:
    using TComponent::TComponent;
    TIdHTTP* IdHTTP1 = nullptr;
    TIdAntiFreeze* IdAntiFreeze1 = nullptr;
    int64_t max = -1;
    void IdHTTP1WorkBegin(TObject*, TWorkMode, int64_t AWorkCountMax) { max = AWorkCountMax; }
};

const TClassInfo& TLayoutRoot::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TLayoutRoot>("TLayoutRoot", TComponent::StaticClass())
        .Field("IdHTTP1", &TLayoutRoot::IdHTTP1)
        .Field("IdAntiFreeze1", &TLayoutRoot::IdAntiFreeze1)
        .Method("IdHTTP1WorkBegin", &TLayoutRoot::IdHTTP1WorkBegin)
        .Build();
    return info;
}

}  // namespace

TEST(HttpComponents, StoredLayoutsCreateThemWithTheirSettingsAndEvents)
{
    const std::string text = R"(TLayoutRoot Root {
        TIdHTTP IdHTTP1 {
            AllowCookies = False
            ContentType = "text/plain"
            ReadTimeout = 0
            OnWorkBegin = IdHTTP1WorkBegin
        }
        TIdAntiFreeze IdAntiFreeze1 {
            OnlyWhenIdle = False
        }
    })";
    TLayoutRoot root(nullptr);
    ApplyLayout(root, ParseLayout(text, "Root", {}, [](const std::string& s) { return s; }), "Root");
    ASSERT_TRUE(root.IdHTTP1 && root.IdAntiFreeze1);
    EXPECT_FALSE(root.IdHTTP1->AllowCookies);
    EXPECT_EQ(root.IdHTTP1->ContentType, "text/plain");
    EXPECT_EQ(root.IdHTTP1->UserAgent, "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_FALSE(root.IdAntiFreeze1->OnlyWhenIdle);
    EXPECT_EQ(root.IdAntiFreeze1->IdleTimeOut, 250);
    EXPECT_EQ(TIdAntiFreeze::Current(), root.IdAntiFreeze1);

    root.IdHTTP1->Get(Url("/data?size=42"));
    EXPECT_EQ(root.max, 42);
}
