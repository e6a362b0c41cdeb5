#include "platform/com/class_registry.h"

ClassRegistry& ClassRegistry::Instance()
{
    static ClassRegistry registry;
    return registry;
}

std::optional<ClassFactory> ClassRegistry::Register(REFCLSID clsid, ClassFactory factory)
{
    // Kept out of the map: CreateInstance would throw calling it.
    if (!factory) return Unregister(clsid);
    std::lock_guard lock(m_lock);
    std::optional<ClassFactory> previous;
    if (auto it = m_classes.find(clsid); it != m_classes.end()) previous = std::move(it->second);
    m_classes[clsid] = std::move(factory);
    return previous;
}

std::optional<ClassFactory> ClassRegistry::Unregister(REFCLSID clsid)
{
    std::lock_guard lock(m_lock);
    auto it = m_classes.find(clsid);
    if (it == m_classes.end()) return std::nullopt;
    ClassFactory removed = std::move(it->second);
    m_classes.erase(it);
    return removed;
}

bool ClassRegistry::IsRegistered(REFCLSID clsid) const
{
    std::lock_guard lock(m_lock);
    return m_classes.contains(clsid);
}

HRESULT ClassRegistry::CreateInstance(REFCLSID clsid, REFIID riid, void** object) const
{
    ClassFactory factory;
    {
        std::lock_guard lock(m_lock);
        auto it = m_classes.find(clsid);
        if (it == m_classes.end()) return REGDB_E_CLASSNOTREG;
        factory = it->second;
    }
    // Called without the lock: a constructor may create further objects.
    return factory(riid, object);
}

ScopedClassOverride::ScopedClassOverride(REFCLSID clsid, ClassFactory factory) : m_clsid(clsid)
{
    auto& registry = ClassRegistry::Instance();
    m_previous = factory ? registry.Register(clsid, std::move(factory)) : registry.Unregister(clsid);
}

ScopedClassOverride::~ScopedClassOverride()
{
    auto& registry = ClassRegistry::Instance();
    if (m_previous)
        registry.Register(m_clsid, std::move(*m_previous));
    else
        registry.Unregister(m_clsid);
}

HRESULT QueryNewObject(CUnknown* instance, REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!instance) return E_OUTOFMEMORY;
    instance->NonDelegatingAddRef();
    const HRESULT hr = instance->NonDelegatingQueryInterface(riid, object);
    instance->NonDelegatingRelease();
    return hr;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    return ClassRegistry::Instance().CreateInstance(clsid, riid, object);
}
