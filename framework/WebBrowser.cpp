#include "WebBrowser.h"

#include <exception>

#include <exdispid.h>

#include "Forms.h"
#include "OleAuto.h"

namespace {

int liveObjects = 0;

const bool registered = [] {
    RegisterComponentClass(TWebBrowser::StaticClass());
    return true;
}();

// Runs a handler of a TWebBrowser event; its exceptions are reported like those of any control.
template <class F, class... A> void Fire(const F& handler, A&&... args)
{
    if (!handler)
        return;
    try {
        handler(args...);
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
}

// Reference counting shared by the objects handed to the control. They delete themselves on
// their last Release, because the control may keep them after the host has let go of its own
// references; the host detaches them first so that late calls find no host.
class TComObject {
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

protected:
    TComObject() { ++liveObjects; }
    virtual ~TComObject() { --liveObjects; }

    ULONG AddRefImpl() { return ++refs_; }
    ULONG ReleaseImpl()
    {
        const ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

private:
    ULONG refs_ = 1;  // the creator's reference
};

// Event arguments that the control passes by reference come behind VT_BYREF|VT_VARIANT.
const VARIANT& ValueOf(const VARIANT& arg)
{
    return arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal ? *arg.pvarVal : arg;
}

std::string TextOf(const VARIANT& arg)
{
    const VARIANT& value = ValueOf(arg);
    return value.vt == VT_BSTR ? WideToGbk(std::wstring(value.bstrVal, SysStringLen(value.bstrVal))) : std::string();
}

IDispatch* DispatchOf(const VARIANT& arg)
{
    const VARIANT& value = ValueOf(arg);
    return value.vt == VT_DISPATCH ? value.pdispVal : nullptr;
}

}  // namespace

// The container side of the embedding: one object is client site, in-place site and frame, and
// answers the control's ambient property requests with "not supported" (its defaults apply).
class TWebBrowserSite final : public TComObject, public IOleClientSite, public IOleInPlaceSite,
                              public IOleInPlaceFrame, public IDispatch {
public:
    explicit TWebBrowserSite(TWebBrowserHost& host) : host_(&host) {}
    void Detach() { host_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        IUnknown* found = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            found = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            found = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            found = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IDispatch)
            found = static_cast<IDispatch*>(this);
        *out = found;
        if (!found)
            return E_NOINTERFACE;
        found->AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override
    {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of both the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override
    {
        *window = host_ ? host_->parent_ : nullptr;
        return host_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return host_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                  RECT* clip, OLEINPLACEFRAMEINFO* info) override
    {
        *document = nullptr;
        if (!host_) {
            *frame = nullptr;
            return E_FAIL;
        }
        *frame = this;
        AddRef();  // the caller's reference
        *position = host_->bounds_;
        *clip = host_->bounds_;
        info->fMDIApp = FALSE;
        info->hwndFrame = host_->parent_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(const RECT* position) override
    {
        if (!host_)
            return E_FAIL;
        try {
            host_->SetBounds(*position);
        } catch (const EOleError& e) {
            return e.ErrorCode();
        }
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no toolbars, menus or status line to share.
    STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(const BORDERWIDTHS*) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }

    // IDispatch: ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    TWebBrowserHost* host_;
};

// The DWebBrowserEvents2 sink advised on the control.
class TWebBrowserEvents final : public TComObject, public DWebBrowserEvents2 {
public:
    explicit TWebBrowserEvents(TWebBrowserHost& host) : host_(&host) {}
    void Detach() { host_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<DWebBrowserEvents2*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO* error,
                        UINT*) override
    {
        // A handler may destroy the host, which unadvises and releases this sink mid-call.
        const TComPtr<TWebBrowserEvents> keepAlive(this);
        if (!host_ || !params)
            return S_OK;
        // Exceptions must not unwind into the control: they go back as the call's error.
        try {
            if (id == DISPID_BEFORENAVIGATE2)
                host_->BeforeNavigate2(*params);
            else if (id == DISPID_DOCUMENTCOMPLETE)
                host_->DocumentComplete(*params);
        } catch (const std::exception& e) {
            if (error) {
                *error = {};
                error->scode = E_FAIL;
                error->bstrDescription = SysAllocString(GbkToWide(e.what()).c_str());
            }
            return DISP_E_EXCEPTION;
        }
        return S_OK;
    }

private:
    TWebBrowserHost* host_;
};

TWebBrowserHost::TWebBrowserHost(TObject* sender) : sender_(sender)
{
}

TWebBrowserHost::~TWebBrowserHost()
{
    Destroy();
}

int TWebBrowserHost::LiveComObjects()
{
    return liveObjects;
}

void TWebBrowserHost::Create(HWND parent, const RECT& bounds)
{
    Destroy();
    parent_ = parent;
    bounds_ = bounds;
    try {
        // Both objects delete themselves on their last Release.
        site_ = TComPtr<TWebBrowserSite>::Adopt(new TWebBrowserSite(*this));
        events_ = TComPtr<TWebBrowserEvents>::Adopt(new TWebBrowserEvents(*this));

        OleCheck(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  object_.ReceiveVoid()),
                 "CoCreateInstance(WebBrowser)");
        IOleClientSite* site = site_.Get();
        OleCheck(object_->SetClientSite(site), "IOleObject::SetClientSite");

        TComPtr<IConnectionPointContainer> points = object_.As<IConnectionPointContainer>();
        if (!points)
            throw EOleError("IConnectionPointContainer", E_NOINTERFACE);
        OleCheck(points->FindConnectionPoint(DIID_DWebBrowserEvents2, connection_.Receive()),
                 "FindConnectionPoint(DWebBrowserEvents2)");
        OleCheck(connection_->Advise(static_cast<DWebBrowserEvents2*>(events_.Get()), &cookie_),
                 "IConnectionPoint::Advise");

        OleCheck(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, parent, &bounds_),
                 "IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)");
        browser_ = object_.As<IWebBrowser2>();
        if (!browser_)
            throw EOleError("IWebBrowser2", E_NOINTERFACE);
    } catch (...) {
        Destroy();
        throw;
    }
}

void TWebBrowserHost::Destroy()
{
    if (cookie_) {
        connection_->Unadvise(cookie_);
        cookie_ = 0;
    }
    connection_.Reset();
    if (events_) {
        events_->Detach();
        events_.Reset();
    }
    browser_.Reset();
    if (object_) {
        if (TComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>())
            inPlace->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    if (site_) {
        site_->Detach();
        site_.Reset();
    }
    parent_ = nullptr;
}

IDispatch* TWebBrowserHost::EventSink() const
{
    return events_.Get();
}

void TWebBrowserHost::SetBounds(const RECT& bounds)
{
    bounds_ = bounds;
    if (!object_)
        return;
    if (TComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>())
        OleCheck(inPlace->SetObjectRects(&bounds_, &bounds_), "IOleInPlaceObject::SetObjectRects");
}

void TWebBrowserHost::Navigate(const std::string& url)
{
    if (!browser_)
        throw Exception("Navigate: the web browser has not been created");
    // The first navigation reports its events inside the call, and a handler may destroy us.
    const TComPtr<IWebBrowser2> browser = browser_;
    const TBStr address(GbkToWide(url));
    VARIANT empty;  // VT_EMPTY owns nothing, so it needs no clearing
    VariantInit(&empty);
    OleCheck(browser->Navigate(address.Get(), &empty, &empty, &empty, &empty), "IWebBrowser2::Navigate");
}

TComPtr<IDispatch> TWebBrowserHost::Document() const
{
    TComPtr<IDispatch> document;
    if (browser_ && FAILED(browser_->get_Document(document.Receive())))
        document.Reset();
    return document;
}

void TWebBrowserHost::BeforeNavigate2(const DISPPARAMS& params)
{
    // Arguments arrive last first: pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel.
    const VARIANT* arg = params.rgvarg;
    if (params.cArgs != 7 || arg[0].vt != (VT_BYREF | VT_BOOL) || !arg[0].pboolVal)
        return;
    VARIANT_BOOL* cancelFlag = arg[0].pboolVal;
    bool cancel = *cancelFlag != VARIANT_FALSE;
    if (OnBeforeNavigate2)
        OnBeforeNavigate2(sender_, DispatchOf(arg[6]), TextOf(arg[5]), ValueOf(arg[4]), ValueOf(arg[3]),
                          ValueOf(arg[2]), ValueOf(arg[1]), cancel);
    *cancelFlag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

void TWebBrowserHost::DocumentComplete(const DISPPARAMS& params)
{
    // pDisp, URL, last first.
    if (params.cArgs == 2 && OnDocumentComplete)
        OnDocumentComplete(sender_, DispatchOf(params.rgvarg[1]), TextOf(params.rgvarg[0]));
}

void HideScrollBars(IDispatch* document)
{
    if (!document)
        return;
    TOleVariant body;
    if (FAILED(GetDispProperty(document, L"Body", body)) || body.Get().vt != VT_DISPATCH || !body.Get().pdispVal)
        return;
    OleCheck(SetDispProperty(body.Get().pdispVal, L"Scroll", TOleVariant::Text(L"no").Get()), "setting the body's Scroll");
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TWebBrowser::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TWebBrowser>("TWebBrowser", TWinControl::StaticClass())
        .Creatable()
        .Event("OnBeforeNavigate2", &TWebBrowser::OnBeforeNavigate2)
        .Event("OnDocumentComplete", &TWebBrowser::OnDocumentComplete)
        .Build();
    return info;
}

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner), host_(this)
{
    SetBounds(0, 0, 300, 150);
    host_.OnBeforeNavigate2 = [this](auto&&... args) { Fire(OnBeforeNavigate2, args...); };
    host_.OnDocumentComplete = [this](auto&&... args) { Fire(OnDocumentComplete, args...); };
}

void TWebBrowser::Navigate(const std::string& url)
{
    HandleNeeded();
    host_.Navigate(url);
}

void TWebBrowser::CreateWnd()
{
    TWinControl::CreateWnd();
    host_.Create(Handle(), WinRect(ClientRect()));
}

void TWebBrowser::WndProc(TMessage& message)
{
    // The control's window is a child of ours: close the control while its window still exists.
    if (message.Msg == WM_DESTROY)
        host_.Destroy();
    TWinControl::WndProc(message);
    if (message.Msg == WM_SIZE)
        host_.SetBounds(WinRect(ClientRect()));
}
