// CoCreateInstance over a process-wide registry of classes.
//
// Components register their classes by an explicit call at start-up; tests can
// remove a class or put a fake in its place, so "this component is missing" is
// something a test can arrange.
#pragma once

#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <unordered_map>

#include "platform/com/unknown.h"

using DWORD = uint32_t;

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr DWORD CLSCTX_ALL =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// Makes a new object and hands out the interface `riid` on it.
using ClassFactory = std::function<HRESULT(REFIID riid, void** object)>;

class ClassRegistry {
public:
    static ClassRegistry& Instance();

    // Adds the class, or replaces it; an empty factory removes it. Returns the
    // factory it replaced, if any.
    std::optional<ClassFactory> Register(REFCLSID clsid, ClassFactory factory);
    // Returns the removed factory, if the class was registered.
    std::optional<ClassFactory> Unregister(REFCLSID clsid);
    bool IsRegistered(REFCLSID clsid) const;

    HRESULT CreateInstance(REFCLSID clsid, REFIID riid, void** object) const;

private:
    mutable std::mutex m_lock;
    std::unordered_map<CLSID, ClassFactory> m_classes;
};

// Puts `factory` in place of a class for one scope (a test's fake or a
// missing component), then restores what was there.
class ScopedClassOverride {
public:
    // An empty factory removes the class for the scope.
    ScopedClassOverride(REFCLSID clsid, ClassFactory factory);
    ~ScopedClassOverride();
    ScopedClassOverride(const ScopedClassOverride&) = delete;
    ScopedClassOverride& operator=(const ScopedClassOverride&) = delete;

private:
    CLSID m_clsid;
    std::optional<ClassFactory> m_previous;
};

// Hands out `riid` on a newly made object; the object is deleted if it
// lacks the interface. `instance` may be nullptr (out of memory).
HRESULT QueryNewObject(CUnknown* instance, REFIID riid, void** object);

// The factory of a CUnknown-derived class with a default constructor.
template <class T>
HRESULT CreateComObject(REFIID riid, void** object)
{
    return QueryNewObject(new (std::nothrow) T(), riid, object);
}

// Only in-process creation without aggregation exists here: an outer object
// gives CLASS_E_NOAGGREGATION, an unknown class REGDB_E_CLASSNOTREG.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object);
