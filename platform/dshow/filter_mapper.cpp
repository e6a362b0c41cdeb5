#include "platform/dshow/filter_mapper.h"

#include <algorithm>
#include <cctype>

#include "platform/dshow/plugin_control.h"

namespace {

bool TypeMatches(const RegisteredPinType& registered, const AM_MEDIA_TYPE& offered)
{
    return (registered.major == GUID_NULL || registered.major == offered.majortype) &&
           (registered.sub == GUID_NULL || registered.sub == offered.subtype);
}

bool AcceptsAny(const RegisteredFilter& filter, const std::vector<CMediaType>& types)
{
    if (types.empty()) return true;
    for (const auto& registered : filter.inputTypes)
        for (const auto& offered : types)
            if (TypeMatches(registered, offered)) return true;
    return false;
}

std::string Lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

template <class Entries>
void EraseClsid(Entries& entries, REFCLSID clsid)
{
    std::erase_if(entries, [&](const auto& entry) { return entry.second == clsid; });
}

}  // namespace

FilterMapper& FilterMapper::Instance()
{
    static FilterMapper mapper;
    return mapper;
}

void FilterMapper::RegisterFilter(RegisteredFilter filter)
{
    std::lock_guard lock(m_lock);
    std::erase_if(m_filters, [&](const RegisteredFilter& f) { return f.clsid == filter.clsid; });
    m_filters.push_back(std::move(filter));
}

void FilterMapper::UnregisterFilter(REFCLSID clsid)
{
    std::lock_guard lock(m_lock);
    std::erase_if(m_filters, [&](const RegisteredFilter& f) { return f.clsid == clsid; });
}

std::optional<RegisteredFilter> FilterMapper::Find(REFCLSID clsid) const
{
    std::lock_guard lock(m_lock);
    for (const auto& filter : m_filters)
        if (filter.clsid == clsid) return filter;
    return std::nullopt;
}

std::vector<RegisteredFilter> FilterMapper::Candidates(const std::vector<CMediaType>& types) const
{
    const auto& preferences = PluginPreferences::Instance();
    std::vector<RegisteredFilter> result;
    for (const auto& type : types) {
        const auto preferred = preferences.PreferredFor(type.subtype);
        if (!preferred || preferences.IsDisabled(*preferred)) continue;
        const bool listed = std::any_of(result.begin(), result.end(), [&](const auto& f) { return f.clsid == *preferred; });
        if (listed) continue;
        // A preferred decoder is tried even if its registration does not list the type.
        RegisteredFilter entry = Find(*preferred).value_or(RegisteredFilter{*preferred, "", MERIT_PREFERRED, {}});
        result.push_back(std::move(entry));
    }
    const size_t preferredCount = result.size();

    std::lock_guard lock(m_lock);
    for (const auto& filter : m_filters) {
        if (filter.merit <= MERIT_DO_NOT_USE || preferences.IsDisabled(filter.clsid)) continue;
        const bool listed = std::any_of(result.begin(), result.end(), [&](const auto& f) { return f.clsid == filter.clsid; });
        if (!listed && AcceptsAny(filter, types)) result.push_back(filter);
    }
    std::stable_sort(result.begin() + static_cast<long>(preferredCount), result.end(),
                     [](const auto& a, const auto& b) { return a.merit > b.merit; });
    return result;
}

void FilterMapper::RegisterProtocolSource(const std::string& scheme, REFCLSID clsid)
{
    std::lock_guard lock(m_lock);
    m_protocolSources.emplace_back(Lowercase(scheme), clsid);
}

void FilterMapper::RegisterExtensionSource(const std::string& extension, REFCLSID clsid)
{
    std::lock_guard lock(m_lock);
    m_extensionSources.emplace_back(Lowercase(extension), clsid);
}

void FilterMapper::UnregisterSource(REFCLSID clsid)
{
    std::lock_guard lock(m_lock);
    EraseClsid(m_protocolSources, clsid);
    EraseClsid(m_extensionSources, clsid);
}

std::optional<CLSID> FilterMapper::SourceFor(const std::string& path) const
{
    std::lock_guard lock(m_lock);
    const auto schemeEnd = path.find("://");
    if (schemeEnd != std::string::npos && schemeEnd > 0) {
        const std::string scheme = Lowercase(path.substr(0, schemeEnd));
        for (const auto& [registered, clsid] : m_protocolSources)
            if (registered == scheme) return clsid;
        return std::nullopt;
    }
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
    const std::string extension = Lowercase(path.substr(dot + 1));
    for (const auto& [registered, clsid] : m_extensionSources)
        if (registered == extension) return clsid;
    return std::nullopt;
}

ScopedFilterRegistration::ScopedFilterRegistration(RegisteredFilter filter) : m_clsid(filter.clsid)
{
    auto& mapper = FilterMapper::Instance();
    m_previous = mapper.Find(m_clsid);
    mapper.RegisterFilter(std::move(filter));
}

ScopedFilterRegistration::~ScopedFilterRegistration()
{
    auto& mapper = FilterMapper::Instance();
    if (m_previous)
        mapper.RegisterFilter(std::move(*m_previous));
    else
        mapper.UnregisterFilter(m_clsid);
}
