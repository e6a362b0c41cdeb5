#include "platform/dshow/plugin_control.h"

#include <algorithm>

PluginPreferences& PluginPreferences::Instance()
{
    static PluginPreferences preferences;
    return preferences;
}

std::optional<CLSID> PluginPreferences::PreferredFor(REFGUID subType) const
{
    std::lock_guard lock(m_lock);
    for (const auto& [sub, clsid] : m_preferred)
        if (sub == subType) return clsid;
    return std::nullopt;
}

void PluginPreferences::SetPreferred(REFGUID subType, std::optional<CLSID> clsid)
{
    std::lock_guard lock(m_lock);
    auto it = std::find_if(m_preferred.begin(), m_preferred.end(), [&](const auto& p) { return p.first == subType; });
    if (!clsid) {
        if (it != m_preferred.end()) m_preferred.erase(it);
    } else if (it != m_preferred.end()) {
        it->second = *clsid;
    } else {
        m_preferred.emplace_back(subType, *clsid);
    }
}

std::optional<std::pair<GUID, CLSID>> PluginPreferences::PreferredAt(size_t index) const
{
    std::lock_guard lock(m_lock);
    if (index >= m_preferred.size()) return std::nullopt;
    return m_preferred[index];
}

bool PluginPreferences::IsDisabled(REFCLSID clsid) const
{
    std::lock_guard lock(m_lock);
    return std::find(m_disabled.begin(), m_disabled.end(), clsid) != m_disabled.end();
}

void PluginPreferences::SetDisabled(REFCLSID clsid, bool disabled)
{
    std::lock_guard lock(m_lock);
    auto it = std::find(m_disabled.begin(), m_disabled.end(), clsid);
    if (disabled && it == m_disabled.end()) m_disabled.push_back(clsid);
    if (!disabled && it != m_disabled.end()) m_disabled.erase(it);
}

std::optional<CLSID> PluginPreferences::DisabledAt(size_t index) const
{
    std::lock_guard lock(m_lock);
    if (index >= m_disabled.size()) return std::nullopt;
    return m_disabled[index];
}

void PluginPreferences::Clear()
{
    std::lock_guard lock(m_lock);
    m_preferred.clear();
    m_disabled.clear();
}

CPluginControl::CPluginControl() : CUnknown("plugin control") {}

HRESULT CPluginControl::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IAMPluginControl::iid)
        return GetInterface(static_cast<IAMPluginControl*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CPluginControl::GetPreferredClsid(REFGUID subType, CLSID* clsid)
{
    if (!clsid) return E_POINTER;
    const auto preferred = PluginPreferences::Instance().PreferredFor(subType);
    *clsid = preferred.value_or(GUID_NULL);
    return preferred ? S_OK : S_FALSE;
}

HRESULT CPluginControl::GetPreferredClsidByIndex(DWORD index, GUID* subType, CLSID* clsid)
{
    if (!subType || !clsid) return E_POINTER;
    const auto entry = PluginPreferences::Instance().PreferredAt(index);
    if (!entry) return HRESULT_FROM_WIN32(259);  // ERROR_NO_MORE_ITEMS
    *subType = entry->first;
    *clsid = entry->second;
    return S_OK;
}

HRESULT CPluginControl::SetPreferredClsid(REFGUID subType, const CLSID* clsid)
{
    PluginPreferences::Instance().SetPreferred(subType, clsid ? std::optional<CLSID>(*clsid) : std::nullopt);
    return S_OK;
}

HRESULT CPluginControl::IsDisabled(REFCLSID clsid)
{
    return PluginPreferences::Instance().IsDisabled(clsid) ? S_OK : S_FALSE;
}

HRESULT CPluginControl::GetDisabledByIndex(DWORD index, CLSID* clsid)
{
    if (!clsid) return E_POINTER;
    const auto entry = PluginPreferences::Instance().DisabledAt(index);
    if (!entry) return HRESULT_FROM_WIN32(259);  // ERROR_NO_MORE_ITEMS
    *clsid = *entry;
    return S_OK;
}

HRESULT CPluginControl::SetDisabled(REFCLSID clsid, BOOL disabled)
{
    PluginPreferences::Instance().SetDisabled(clsid, disabled != 0);
    return S_OK;
}
