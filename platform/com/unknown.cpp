#include "platform/com/unknown.h"

CUnknown::CUnknown(const char* objectName, CUnknown* lifetimeOwner)
    : m_objectName(objectName), m_lifetimeOwner(lifetimeOwner)
{
}

ULONG CUnknown::NonDelegatingAddRef()
{
    if (m_lifetimeOwner) return m_lifetimeOwner->NonDelegatingAddRef();
    return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG CUnknown::NonDelegatingRelease()
{
    if (m_lifetimeOwner) return m_lifetimeOwner->NonDelegatingRelease();
    const ULONG remaining = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (remaining == 0) {
        // Guards against a re-entrant AddRef/Release pair in the destructor.
        m_refCount.store(1, std::memory_order_relaxed);
        OnFinalRelease();
        delete this;
    }
    return remaining;
}
