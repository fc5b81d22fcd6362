// A scriptable object of a test's own: named properties and a record of every call. It lives
// on the stack, so its count only shows whether every reference it handed out came back.
// Beside it, the call a browser control makes on its event sink when a document has loaded.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "OleAuto.h"

class FakeDispatch : public IDispatch {
public:
    std::map<std::wstring, DISPID> names;
    std::map<DISPID, IDispatch*> objects;        // properties that return an object (null allowed)
    std::vector<std::pair<DISPID, std::wstring>> puts;
    std::vector<DISPID> invoked;
    ULONG refs = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* name, UINT, LCID, DISPID* id) override
    {
        auto found = names.find(name[0]);
        if (found == names.end())
            return DISP_E_UNKNOWNNAME;
        *id = found->second;
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        invoked.push_back(id);
        if (flags == DISPATCH_PROPERTYPUT) {
            if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT ||
                params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR)
                return DISP_E_PARAMNOTOPTIONAL;
            puts.emplace_back(id, params->rgvarg[0].bstrVal);
            return S_OK;
        }
        auto object = objects.find(id);
        if (result && object != objects.end()) {
            result->vt = VT_DISPATCH;
            result->pdispVal = object->second;
            if (object->second)
                object->second->AddRef();
        }
        return S_OK;
    }
};

// Without an HTML engine the control never completes a document: the tests send the sink the
// call the control would make.
inline HRESULT SendDocumentComplete(IDispatch* sink, IDispatch* pDisp, const wchar_t* url, EXCEPINFO* error = nullptr)
{
    const TBStr text(url);
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = text.Get();
    VARIANT args[2];
    args[0].vt = VT_BYREF | VT_VARIANT;  // last argument first: URL, then pDisp
    args[0].pvarVal = &value;
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = pDisp;
    DISPPARAMS params = {args, nullptr, 2, 0};
    return sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, error, nullptr);
}
