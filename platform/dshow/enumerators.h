// Enumerators over a snapshot taken when the enumerator was made: pins,
// filters and media types. A snapshot cannot go out of sync with its source.
#pragma once

#include <vector>

#include "platform/dshow/graph_interfaces.h"

// Enumerates reference-counted items (IPin, IBaseFilter) through `Interface`.
template <class Interface, class Item>
class CEnumSnapshot final : public CUnknown, public Interface {
public:
    explicit CEnumSnapshot(std::vector<ComPtr<Item>> items)
        : CUnknown("enumerator"), m_items(std::move(items))
    {
    }
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == Interface::iid) return GetInterface(static_cast<Interface*>(this), object);
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT Next(ULONG count, Item** out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && m_position < m_items.size(); ++n) m_items[m_position++].CopyTo(&out[n]);
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        m_position += count;
        if (m_position <= m_items.size()) return S_OK;
        m_position = m_items.size();
        return S_FALSE;
    }
    HRESULT Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT Clone(Interface** copy) override
    {
        if (!copy) return E_POINTER;
        auto* clone = new CEnumSnapshot(m_items);
        clone->m_position = m_position;
        return GetInterface(static_cast<Interface*>(clone), reinterpret_cast<void**>(copy));
    }

private:
    std::vector<ComPtr<Item>> m_items;
    size_t m_position = 0;
};

using CEnumPins = CEnumSnapshot<IEnumPins, IPin>;
using CEnumFilters = CEnumSnapshot<IEnumFilters, IBaseFilter>;

class CEnumMediaTypes final : public CUnknown, public IEnumMediaTypes {
public:
    explicit CEnumMediaTypes(std::vector<CMediaType> types);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMediaTypes** copy) override;

private:
    std::vector<CMediaType> m_types;
    size_t m_position = 0;
};
