// Owners for COM interface pointers, BSTRs and VARIANTs, so every reference and allocation the
// platform hands out is released on every path, exceptions included.
#pragma once

#include <utility>

#include <windows.h>
#include <oleauto.h>

#include <string>

// Holds one reference to a COM interface.
template <class T> class TComPtr {
public:
    TComPtr() = default;
    // Shares an interface someone else holds: takes a reference of its own.
    explicit TComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    // Takes over a reference the caller already owns (a new object of our own).
    static TComPtr Adopt(T* p)
    {
        TComPtr result;
        result.p_ = p;
        return result;
    }
    TComPtr(const TComPtr& other) : p_(other.p_) { if (p_) p_->AddRef(); }
    TComPtr(TComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    TComPtr& operator=(TComPtr other) noexcept { std::swap(p_, other.p_); return *this; }
    ~TComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    void Reset()
    {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }
    // For out parameters: drops what is held and lets the callee store a new reference.
    T** Receive() { Reset(); return &p_; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // The same object through another interface; empty when it does not have that one.
    template <class U> TComPtr<U> As() const
    {
        TComPtr<U> result;
        if (p_)
            p_->QueryInterface(__uuidof(U), result.ReceiveVoid());
        return result;
    }

private:
    T* p_ = nullptr;
};

class TBStr {
public:
    TBStr() = default;
    explicit TBStr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    TBStr(const TBStr&) = delete;
    TBStr& operator=(const TBStr&) = delete;
    ~TBStr() { SysFreeString(b_); }

    BSTR Get() const { return b_; }
    BSTR* Receive() { SysFreeString(std::exchange(b_, nullptr)); return &b_; }
    std::wstring Text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

class TOleVariant {
public:
    TOleVariant() { VariantInit(&v_); }
    TOleVariant(const TOleVariant&) = delete;
    TOleVariant& operator=(const TOleVariant&) = delete;
    ~TOleVariant() { VariantClear(&v_); }

    static TOleVariant Text(const std::wstring& text)
    {
        TOleVariant v;
        v.v_.vt = VT_BSTR;
        v.v_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return v;
    }
    // Takes its own reference to the object.
    static TOleVariant Object(IDispatch* object)
    {
        TOleVariant v;
        v.v_.vt = VT_DISPATCH;
        v.v_.pdispVal = object;
        object->AddRef();
        return v;
    }
    // An optional argument left out.
    static TOleVariant Missing()
    {
        TOleVariant v;
        v.v_.vt = VT_ERROR;
        v.v_.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }

    // Interfaces take VARIANT by value: they get a shallow copy that this object still owns.
    const VARIANT& Get() const { return v_; }
    // For out parameters: clears what is held and lets the callee store a new value.
    VARIANT* Receive() { VariantClear(&v_); return &v_; }

private:
    TOleVariant(TOleVariant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }

    VARIANT v_;
};
