#include "OleAuto.h"

namespace {

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

HRESULT GetDispProperty(IDispatch* object, const wchar_t* name, TOleVariant& value)
{
    HRESULT result;
    const DISPID id = DispIdOf(object, name, result);
    if (FAILED(result))
        return result;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.Receive(), nullptr,
                          nullptr);
}

HRESULT SetDispProperty(IDispatch* object, const wchar_t* name, const VARIANT& value)
{
    HRESULT result;
    const DISPID id = DispIdOf(object, name, result);
    if (FAILED(result))
        return result;
    // A property put passes its value as the one named argument DISPID_PROPERTYPUT.
    DISPID putId = DISPID_PROPERTYPUT;
    VARIANT argument = value;  // a shallow copy: Invoke only reads it
    DISPPARAMS params = {&argument, &putId, 1, 1};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}
