#include "OleAuto.h"

#include <new>

namespace {

const UINT gbkCodePage = 936;

DISPID DispIdOf(IDispatch* object, const wchar_t* name, HRESULT& result)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

}  // namespace

EOleError::EOleError(const std::string& call, HRESULT result)
    : Exception(Format("%s failed (0x%08lX)", call.c_str(), static_cast<unsigned long>(result))),
      code_(result)
{
}

void OleCheck(HRESULT result, const char* call)
{
    if (FAILED(result))
        throw EOleError(call, result);
}

std::wstring GbkToWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(gbkCodePage, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(gbkCodePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string WideToGbk(const wchar_t* text, size_t length)
{
    if (!text || length == 0)
        return {};
    const int size = static_cast<int>(length);
    std::string narrow(static_cast<size_t>(
        WideCharToMultiByte(gbkCodePage, 0, text, size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(gbkCodePage, 0, text, size, narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr);
    return narrow;
}

TOleVariant::TOleVariant(const wchar_t* text)
{
    VariantInit(this);
    bstrVal = SysAllocString(text);
    if (!bstrVal)
        throw std::bad_alloc();
    vt = VT_BSTR;
}

HRESULT GetDispProperty(IDispatch* object, const wchar_t* name, TOleVariant& value)
{
    HRESULT result;
    DISPID id = DispIdOf(object, name, result);
    if (FAILED(result))
        return result;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VariantClear(&value);
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
}

HRESULT SetDispProperty(IDispatch* object, const wchar_t* name, const VARIANT& value)
{
    HRESULT result;
    DISPID id = DispIdOf(object, name, result);
    if (FAILED(result))
        return result;
    // A property put passes its value as the one named argument DISPID_PROPERTYPUT.
    DISPID putId = DISPID_PROPERTYPUT;
    VARIANT argument = value;
    DISPPARAMS params = {&argument, &putId, 1, 1};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}
