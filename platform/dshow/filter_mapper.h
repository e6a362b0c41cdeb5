// The filter mapper: which registered filters intelligent connect may use,
// what their inputs take, how much they are worth (merit), and which source
// filter reads an address scheme or a file extension.
//
// Components describe themselves here at start-up, next to registering their
// class for CoCreateInstance. Tests may register and remove filters freely.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/dshow/media_type.h"

struct RegisteredPinType {
    GUID major;  // GUID_NULL: any
    GUID sub;    // GUID_NULL: any
};

struct RegisteredFilter {
    CLSID clsid;
    std::string name;  // the name it gets in a graph
    DWORD merit;
    std::vector<RegisteredPinType> inputTypes;
};

class FilterMapper {
public:
    static FilterMapper& Instance();

    // Adds or replaces the filter with the same class id.
    void RegisterFilter(RegisteredFilter filter);
    void UnregisterFilter(REFCLSID clsid);
    std::optional<RegisteredFilter> Find(REFCLSID clsid) const;

    // The filters worth trying after an output offering `types`: the decoder
    // preferred for one of their sub types first, then every filter above
    // MERIT_DO_NOT_USE whose inputs take one of the types, by merit. Disabled
    // filters are left out. With no types offered, every filter qualifies.
    std::vector<RegisteredFilter> Candidates(const std::vector<CMediaType>& types) const;

    // Sources: "http" for "http://..." addresses; extensions without the dot,
    // matched without regard to case.
    void RegisterProtocolSource(const std::string& scheme, REFCLSID clsid);
    void RegisterExtensionSource(const std::string& extension, REFCLSID clsid);
    void UnregisterSource(REFCLSID clsid);
    // The source for a path or address, if one is registered for it.
    std::optional<CLSID> SourceFor(const std::string& path) const;

private:
    mutable std::mutex m_lock;
    std::vector<RegisteredFilter> m_filters;
    std::vector<std::pair<std::string, CLSID>> m_protocolSources;
    std::vector<std::pair<std::string, CLSID>> m_extensionSources;
};

// Registers a filter for one scope (a test's converter), then removes it
// again or restores the registration it replaced.
class ScopedFilterRegistration {
public:
    explicit ScopedFilterRegistration(RegisteredFilter filter);
    ~ScopedFilterRegistration();
    ScopedFilterRegistration(const ScopedFilterRegistration&) = delete;
    ScopedFilterRegistration& operator=(const ScopedFilterRegistration&) = delete;

private:
    CLSID m_clsid;
    std::optional<RegisteredFilter> m_previous;
};
