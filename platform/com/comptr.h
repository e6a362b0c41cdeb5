// ComPtr: owns exactly one reference to a COM interface.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "platform/com/unknown.h"

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(T* object) : m_object(object) { AddRefHeld(); }
    ComPtr(const ComPtr& other) : m_object(other.m_object) { AddRefHeld(); }
    ComPtr(ComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other)
    {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(T* object)
    {
        ComPtr(object).Swap(*this);
        return *this;
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // For out-parameters: drops the held reference and lets the callee fill in a new one.
    T** ReleaseAndGetAddressOf()
    {
        Reset();
        return &m_object;
    }
    void** ReleaseAndGetVoidAddress() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

    // Takes over a reference that the caller already owns.
    void Attach(T* object)
    {
        Reset();
        m_object = object;
    }
    // Gives the held reference to the caller.
    T* Detach() { return std::exchange(m_object, nullptr); }

    void Reset()
    {
        if (T* old = std::exchange(m_object, nullptr)) old->Release();
    }

    void Swap(ComPtr& other) noexcept { std::swap(m_object, other.m_object); }

    // A new reference for an out-parameter; E_POINTER for a null target.
    HRESULT CopyTo(T** out) const
    {
        if (!out) return E_POINTER;
        *out = m_object;
        if (m_object) m_object->AddRef();
        return S_OK;
    }

    template <class U>
    HRESULT As(ComPtr<U>* out) const
    {
        if (!m_object) return E_POINTER;
        // Query into a temporary: `out` may be this very pointer, holding the
        // only reference, which releasing it first would destroy.
        ComPtr<U> result;
        const HRESULT hr = m_object->QueryInterface(U::iid, result.ReleaseAndGetVoidAddress());
        *out = std::move(result);
        return hr;
    }
    // Empty when the interface is missing.
    template <class U>
    ComPtr<U> As() const
    {
        ComPtr<U> result;
        As(&result);
        return result;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.m_object == b.m_object; }
    friend bool operator==(const ComPtr& a, const T* b) { return a.m_object == b; }

private:
    void AddRefHeld()
    {
        if (m_object) m_object->AddRef();
    }

    T* m_object = nullptr;
};

// IID and void** for the interface behind `pp`: CoCreateInstance(id, nullptr,
// CLSCTX_ALL, IID_PPV_ARGS(ptr.ReleaseAndGetAddressOf())).
#define IID_PPV_ARGS(pp) \
    IidOf<std::remove_pointer_t<std::remove_reference_t<decltype(*(pp))>>>(), reinterpret_cast<void**>(pp)
