#include "components/common/module_config.h"

#include <cstring>

namespace {

bool IsInteger(const VARIANT& value) { return value.vt == VT_I4 || value.vt == VT_UI4; }

VARIANT MakeInt(int32_t number)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

VARIANT MakeReal(double number)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R8;
    value.dblVal = number;
    return value;
}

// Reads an integer VARIANT as signed 32 bits (a VT_UI4 0xFFFFF44B is -2997).
int32_t AsInt(const VARIANT& value)
{
    int32_t number;
    std::memcpy(&number, &value.ulVal, sizeof number);
    return number;
}

}  // namespace

ModuleParameter IntegerParameter(int32_t defaultValue, int32_t minimum, int32_t maximum)
{
    return {VT_I4, MakeInt(defaultValue), [=](const VARIANT& v) {
                return IsInteger(v) && AsInt(v) >= minimum && AsInt(v) <= maximum;
            }};
}

ModuleParameter RealParameter(double defaultValue, double minimum, double maximum)
{
    return {VT_R8, MakeReal(defaultValue), [=](const VARIANT& v) {
                return v.vt == VT_R8 && v.dblVal >= minimum && v.dblVal <= maximum;
            }};
}

ModuleParameter AcceptedParameter(int32_t defaultValue)
{
    return {VT_I4, MakeInt(defaultValue), [](const VARIANT& v) { return IsInteger(v); }};
}

CModuleConfig::CModuleConfig(IUnknown* owner, REFCLSID clsid, std::map<GUID, ModuleParameter> parameters)
    : m_owner(owner), m_clsid(clsid), m_parameters(std::move(parameters))
{
    SetDefState();
    CommitChanges(nullptr);
}

CModuleConfig::~CModuleConfig() = default;

HRESULT CModuleConfig::GetClassID(CLSID* classId)
{
    if (!classId) return E_POINTER;
    *classId = m_clsid;
    return S_OK;
}

HRESULT CModuleConfig::IsDirty()
{
    std::lock_guard lock(m_lock);
    return m_pending.empty() ? S_FALSE : S_OK;
}

HRESULT CModuleConfig::SetValue(const GUID* parameter, const VARIANT* value)
{
    if (!parameter || !value) return E_POINTER;
    const auto it = m_parameters.find(*parameter);
    if (it == m_parameters.end()) return E_NOTIMPL;
    if (!it->second.isValid(*value)) return E_INVALIDARG;
    std::lock_guard lock(m_lock);
    m_pending[*parameter] = *value;
    return S_OK;
}

HRESULT CModuleConfig::GetValue(const GUID* parameter, VARIANT* value)
{
    if (!parameter || !value) return E_POINTER;
    std::lock_guard lock(m_lock);
    const auto it = m_committed.find(*parameter);
    if (it == m_committed.end()) return E_NOTIMPL;
    *value = it->second;
    return S_OK;
}

HRESULT CModuleConfig::IsSupported(const GUID* parameter)
{
    if (!parameter) return E_POINTER;
    return m_parameters.contains(*parameter) ? S_OK : S_FALSE;
}

HRESULT CModuleConfig::SetDefState()
{
    std::lock_guard lock(m_lock);
    for (const auto& [guid, description] : m_parameters) m_pending[guid] = description.defaultValue;
    return S_OK;
}

HRESULT CModuleConfig::EnumParams(long* count, GUID* parameters)
{
    if (!count) return E_POINTER;
    if (!parameters) {
        *count = static_cast<long>(m_parameters.size());
        return S_OK;
    }
    long written = 0;
    for (const auto& entry : m_parameters) {
        if (written >= *count) break;
        parameters[written++] = entry.first;
    }
    *count = written;
    return S_OK;
}

HRESULT CModuleConfig::CommitChanges(VARIANT* reason)
{
    if (reason) VariantInit(reason);
    std::lock_guard lock(m_lock);
    for (const auto& [guid, value] : m_pending) m_committed[guid] = value;
    m_pending.clear();
    return S_OK;
}

HRESULT CModuleConfig::DeclineChanges()
{
    std::lock_guard lock(m_lock);
    m_pending.clear();
    return S_OK;
}

int32_t CModuleConfig::Int(const GUID& parameter) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_committed.find(parameter);
    if (it == m_committed.end()) return 0;
    return it->second.vt == VT_R8 ? static_cast<int32_t>(it->second.dblVal) : AsInt(it->second);
}

double CModuleConfig::Real(const GUID& parameter) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_committed.find(parameter);
    if (it == m_committed.end()) return 0;
    return it->second.vt == VT_R8 ? it->second.dblVal : AsInt(it->second);
}
