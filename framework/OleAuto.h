// Errors coming back from COM, and late-bound property access by name for objects known only
// through IDispatch.
#pragma once

#include <string>

#include "ComPtr.h"
#include "SysUtils.h"

// A failed COM call; the message names the call and its HRESULT.
class EOleError : public Exception {
public:
    EOleError(const std::string& call, HRESULT result);
    HRESULT ErrorCode() const { return code_; }

private:
    HRESULT code_;
};

// Throws EOleError when result is a failure.
void OleCheck(HRESULT result, const char* call);

// Reads or writes a property of an automation object by name.
[[nodiscard]] HRESULT GetDispProperty(IDispatch* object, const wchar_t* name, TOleVariant& value);
[[nodiscard]] HRESULT SetDispProperty(IDispatch* object, const wchar_t* name, const VARIANT& value);
