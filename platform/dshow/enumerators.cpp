#include "platform/dshow/enumerators.h"

CEnumMediaTypes::CEnumMediaTypes(std::vector<CMediaType> types)
    : CUnknown("media type enumerator"), m_types(std::move(types))
{
}

HRESULT CEnumMediaTypes::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IEnumMediaTypes::iid)
        return GetInterface(static_cast<IEnumMediaTypes*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched)
{
    if (!types || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    for (; n < count && m_position < m_types.size(); ++n) {
        types[n] = CreateMediaType(&m_types[m_position]);
        if (!types[n]) break;
        ++m_position;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

HRESULT CEnumMediaTypes::Skip(ULONG count)
{
    m_position += count;
    if (m_position <= m_types.size()) return S_OK;
    m_position = m_types.size();
    return S_FALSE;
}

HRESULT CEnumMediaTypes::Reset()
{
    m_position = 0;
    return S_OK;
}

HRESULT CEnumMediaTypes::Clone(IEnumMediaTypes** copy)
{
    if (!copy) return E_POINTER;
    auto* clone = new CEnumMediaTypes(m_types);
    clone->m_position = m_position;
    return GetInterface(static_cast<IEnumMediaTypes*>(clone), reinterpret_cast<void**>(copy));
}
