// A scriptable object of a test's own: named properties and a record of every call. It lives
// on the stack, so its count only shows whether every reference it handed out came back.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

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
