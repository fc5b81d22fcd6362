// Strings and values crossing into COM, errors coming back from it, and late-bound property
// access by name for objects known only through IDispatch.
#pragma once

#include <string>

#include <oaidl.h>

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

// Text in the GBK code page (936) to UTF-16 and back, whatever the system's ANSI code page is.
std::wstring GbkToWide(const std::string& text);
std::string WideToGbk(const wchar_t* text, size_t length);

// A VARIANT that clears itself; it is a VARIANT, so it goes straight to COM calls.
struct TOleVariant : VARIANT {
    TOleVariant() { VariantInit(this); }
    explicit TOleVariant(const wchar_t* text);
    ~TOleVariant() { VariantClear(this); }
    TOleVariant(const TOleVariant&) = delete;
    TOleVariant& operator=(const TOleVariant&) = delete;
};

// Reads or writes a property of an automation object by name.
[[nodiscard]] HRESULT GetDispProperty(IDispatch* object, const wchar_t* name, TOleVariant& value);
[[nodiscard]] HRESULT SetDispProperty(IDispatch* object, const wchar_t* name, const VARIANT& value);
