// IModuleConfig, the parameter interface of the codec components, and
// CModuleConfig, the parameter store a component builds it on.
//
// A configuration is: optionally SetDefState, then SetValue per parameter,
// then CommitChanges, which applies the values set since the last commit.
// A component lists the parameters it knows and how each is checked; an
// unknown parameter or a value of the wrong type is refused at SetValue.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "components/component_interfaces.h"
#include "platform/dshow/pin_interfaces.h"


// One parameter a component takes: its default and what values are valid.
struct ModuleParameter {
    VARTYPE type;  // VT_I4 or VT_UI4 values are both taken for integer parameters
    VARIANT defaultValue;
    // Returns false for a value the component cannot use.
    std::function<bool(const VARIANT&)> isValid;
};

// The store behind a component's IModuleConfig. Thread-safe; the component
// reads committed values when it starts streaming or connects.
class CModuleConfig final : public IModuleConfig {
public:
    // `owner` answers QueryInterface and counts references for this object.
    CModuleConfig(IUnknown* owner, REFCLSID clsid, std::map<GUID, ModuleParameter> parameters);
    ~CModuleConfig();

    HRESULT QueryInterface(REFIID riid, void** object) override { return m_owner->QueryInterface(riid, object); }
    ULONG AddRef() override { return m_owner->AddRef(); }
    ULONG Release() override { return m_owner->Release(); }

    HRESULT GetClassID(CLSID* classId) override;
    HRESULT IsDirty() override;
    HRESULT Load(IStream*) override { return E_NOTIMPL; }
    HRESULT Save(IStream*, BOOL) override { return E_NOTIMPL; }
    HRESULT GetSizeMax(uint64_t*) override { return E_NOTIMPL; }

    HRESULT SetValue(const GUID* parameter, const VARIANT* value) override;
    HRESULT GetValue(const GUID* parameter, VARIANT* value) override;
    HRESULT GetParamConfig(const GUID*, void**) override { return E_NOTIMPL; }
    HRESULT IsSupported(const GUID* parameter) override;
    HRESULT SetDefState() override;
    HRESULT EnumParams(long* count, GUID* parameters) override;
    HRESULT CommitChanges(VARIANT* reason) override;
    HRESULT DeclineChanges() override;
    HRESULT SaveToRegistry(void*, LPCOLESTR, BOOL) override { return E_NOTIMPL; }
    HRESULT LoadFromRegistry(void*, LPCOLESTR, BOOL) override { return E_NOTIMPL; }
    HRESULT RegisterForNotifies(IUnknown*) override { return E_NOTIMPL; }
    HRESULT UnregisterFromNotifies(IUnknown*) override { return E_NOTIMPL; }

    // The committed value as an integer (VT_I4 or VT_UI4 read as 32 bits).
    int32_t Int(const GUID& parameter) const;
    double Real(const GUID& parameter) const;

private:
    IUnknown* const m_owner;
    const CLSID m_clsid;
    const std::map<GUID, ModuleParameter> m_parameters;
    mutable std::mutex m_lock;
    std::map<GUID, VARIANT> m_committed;
    std::map<GUID, VARIANT> m_pending;
};

// Parameter kinds most components use.
ModuleParameter IntegerParameter(int32_t defaultValue, int32_t minimum, int32_t maximum);
ModuleParameter RealParameter(double defaultValue, double minimum, double maximum);
// Any integer value is taken and kept (a value the component does not act on).
ModuleParameter AcceptedParameter(int32_t defaultValue);
