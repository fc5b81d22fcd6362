// The platform's web-browser control: a host that embeds it in any parent window through COM
// (client site, in-place site and frame) and reports its navigations as events, and the
// framework control TWebBrowser built on it.
#pragma once

#include <functional>
#include <string>

#include <windows.h>
#include <exdisp.h>

#include "ComPtr.h"
#include "Controls.h"

// Called before the browser navigates (links, scripts and frames alike). URL is in GBK; setting
// Cancel stops the navigation. The four variants are passed as the control sent them.
using TWebBrowserBeforeNavigate2 = std::function<void(TObject* Sender, IDispatch* pDisp, const std::string& URL,
    const VARIANT& Flags, const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
    bool& Cancel)>;
// Called when a document (the page or one of its frames, told apart by pDisp) has loaded.
using TWebBrowserDocumentComplete = std::function<void(TObject* Sender, IDispatch* pDisp, const std::string& URL)>;

class TWebBrowserSite;
class TWebBrowserEvents;

class TWebBrowserHost {
public:
    // Sender is what the events report as their sender.
    explicit TWebBrowserHost(TObject* sender = nullptr);
    ~TWebBrowserHost();
    TWebBrowserHost(const TWebBrowserHost&) = delete;
    TWebBrowserHost& operator=(const TWebBrowserHost&) = delete;

    // Creates the control and activates it in place over bounds (client coordinates of parent).
    // COM must be initialised apartment-threaded on this thread. Throws EOleError.
    void Create(HWND parent, const RECT& bounds);
    // Disconnects the events and closes the control; safe to call when nothing was created.
    void Destroy();
    bool Created() const { return static_cast<bool>(browser_); }

    void SetBounds(const RECT& bounds);
    // Navigates to url (GBK) with no flags, target frame, post data or headers.
    void Navigate(const std::string& url);
    // The top-level document; empty before a document has loaded or without an HTML engine.
    TComPtr<IDispatch> Document() const;
    IWebBrowser2* Browser() const { return browser_.Get(); }
    // The DWebBrowserEvents2 sink advised on the control, for replaying events it would send.
    IDispatch* EventSink() const;

    // An exception from a handler goes back to the control as the event call's error.
    TWebBrowserBeforeNavigate2 OnBeforeNavigate2;
    TWebBrowserDocumentComplete OnDocumentComplete;

    // Site and event objects of every host still alive in the process (a leak check).
    static int LiveComObjects();

private:
    friend class TWebBrowserSite;
    friend class TWebBrowserEvents;
    void BeforeNavigate2(const DISPPARAMS& params);
    void DocumentComplete(const DISPPARAMS& params);

    TObject* sender_;
    HWND parent_ = nullptr;
    RECT bounds_ = {};
    TComPtr<TWebBrowserSite> site_;
    TComPtr<TWebBrowserEvents> events_;
    TComPtr<IOleObject> object_;
    TComPtr<IWebBrowser2> browser_;
    TComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
};

// Switches a loaded page's scroll bars off (its body's Scroll = "no"). A null document, or one
// without a body (not HTML, not parsed yet), is left alone. Throws EOleError if the body refuses.
void HideScrollBars(IDispatch* document);

// The browser as a framework control: the hosted control fills its window, is created with the
// window and closed when the window goes.
class TWebBrowser : public TWinControl {
    LEXDRILL_CLASS(TWebBrowser)
public:
    explicit TWebBrowser(TComponent* owner);

    // Creates the window (and so the control) first if need be.
    void Navigate(const std::string& url);
    TComPtr<IDispatch> Document() const { return host_.Document(); }
    const TWebBrowserHost& Host() const { return host_; }

    // An exception from a handler goes to the application's exception handler, as from any
    // other control's event.
    TWebBrowserBeforeNavigate2 OnBeforeNavigate2;
    TWebBrowserDocumentComplete OnDocumentComplete;

protected:
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    TWebBrowserHost host_;
};
