// Preferred and disabled filters for this process, and the plugin control
// object (CLSID_DirectShowPluginControl) through which the program sets them.
#pragma once

#include <mutex>
#include <optional>
#include <vector>

#include "platform/dshow/graph_interfaces.h"

class PluginPreferences {
public:
    static PluginPreferences& Instance();

    std::optional<CLSID> PreferredFor(REFGUID subType) const;
    // nullopt removes the preference.
    void SetPreferred(REFGUID subType, std::optional<CLSID> clsid);
    std::optional<std::pair<GUID, CLSID>> PreferredAt(size_t index) const;

    bool IsDisabled(REFCLSID clsid) const;
    void SetDisabled(REFCLSID clsid, bool disabled);
    std::optional<CLSID> DisabledAt(size_t index) const;

    // Back to no preferences at all (tests).
    void Clear();

private:
    mutable std::mutex m_lock;
    std::vector<std::pair<GUID, CLSID>> m_preferred;  // in the order they were set
    std::vector<CLSID> m_disabled;
};

class CPluginControl final : public CUnknown, public IAMPluginControl {
public:
    CPluginControl();
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT GetPreferredClsid(REFGUID subType, CLSID* clsid) override;
    HRESULT GetPreferredClsidByIndex(DWORD index, GUID* subType, CLSID* clsid) override;
    HRESULT SetPreferredClsid(REFGUID subType, const CLSID* clsid) override;
    HRESULT IsDisabled(REFCLSID clsid) override;
    HRESULT GetDisabledByIndex(DWORD index, CLSID* clsid) override;
    HRESULT SetDisabled(REFCLSID clsid, BOOL disabled) override;
};
