// IUnknown and CUnknown: interface identity and reference counting.
//
// Interfaces are abstract structs that name their IID as `iid`. Objects are
// CUnknown-derived classes that list their interfaces in
// NonDelegatingQueryInterface and add DECLARE_IUNKNOWN wherever they inherit a
// new interface. Counts are atomic, so any thread may AddRef and Release.
#pragma once

#include <atomic>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

struct IUnknown {
    static constexpr IID iid = MakeGuid("{00000000-0000-0000-C000-000000000046}");
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;  // objects end through Release, never delete
};

inline constexpr IID IID_IUnknown = IUnknown::iid;

struct IPersist : IUnknown {
    static constexpr IID iid = MakeGuid("{0000010C-0000-0000-C000-000000000046}");
    virtual HRESULT GetClassID(CLSID* classId) = 0;

protected:
    ~IPersist() = default;
};

inline constexpr IID IID_IPersist = IPersist::iid;

// The IID of an interface type, for templates.
template <class Interface>
constexpr const IID& IidOf()
{
    return Interface::iid;
}

// Hands out `object` as the exact interface pointer asked for, with a reference.
template <class Interface>
HRESULT GetInterface(Interface* object, void** out)
{
    if (!out) return E_POINTER;
    *out = object;
    object->AddRef();
    return S_OK;
}

// Typed QueryInterface on any interface pointer.
template <class Interface>
HRESULT QueryInterfaceAs(IUnknown* object, Interface** out)
{
    if (!object || !out) return E_POINTER;
    return object->QueryInterface(Interface::iid, reinterpret_cast<void**>(out));
}

class CUnknown {
public:
    // An object whose lifetime belongs to another (a pin to its filter) passes
    // that owner; its AddRef and Release then count on the owner.
    explicit CUnknown(const char* objectName, CUnknown* lifetimeOwner = nullptr);
    virtual ~CUnknown() = default;
    CUnknown(const CUnknown&) = delete;
    CUnknown& operator=(const CUnknown&) = delete;

    // Hands out each interface the object implements, and E_NOINTERFACE otherwise.
    virtual HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) = 0;
    ULONG NonDelegatingAddRef();
    // Deletes the object when its own count reaches zero.
    ULONG NonDelegatingRelease();

    const char* ObjectName() const { return m_objectName; }

protected:
    // The last reference went, and the object is still whole: a place for
    // work that needs the most derived class, such as joining threads that
    // run its code. Destruction follows.
    virtual void OnFinalRelease() {}

private:
    const char* m_objectName;
    CUnknown* m_lifetimeOwner;
    std::atomic<ULONG> m_refCount{0};
};

#define DECLARE_IUNKNOWN                                                        \
    HRESULT QueryInterface(REFIID riid, void** object) override                 \
    {                                                                           \
        if (!object) return E_POINTER;                                          \
        return NonDelegatingQueryInterface(riid, object);                      \
    }                                                                           \
    ULONG AddRef() override { return NonDelegatingAddRef(); }                   \
    ULONG Release() override { return NonDelegatingRelease(); }
