// An owning COM interface pointer: one reference, released when the pointer goes away, so that
// every exit path of the code that holds it gives the reference back.
#pragma once

#include <cstddef>
#include <utility>

#include <unknwn.h>

template <class T> class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    // Shares an interface someone else holds: takes a reference of its own.
    explicit TComPtr(T* p) : p_(p)
    {
        if (p_)
            p_->AddRef();
    }
    TComPtr(const TComPtr& other) : TComPtr(other.p_) {}
    TComPtr(TComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~TComPtr() { Reset(); }

    TComPtr& operator=(TComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    // Takes over a reference the caller already owns (a new object, an out-parameter).
    static TComPtr Adopt(T* p)
    {
        TComPtr result;
        result.p_ = p;
        return result;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: drops the current reference and lets the callee store a new one.
    T** Put()
    {
        Reset();
        return &p_;
    }

    // Hands the reference to the caller, who must release it (an out-parameter of our own).
    T* Detach() { return std::exchange(p_, nullptr); }

    void Reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }

    // The same object through another interface; empty when it does not have it.
    template <class U> TComPtr<U> As() const
    {
        TComPtr<U> result;
        if (p_)
            p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.Put()));
        return result;
    }

private:
    T* p_ = nullptr;
};
