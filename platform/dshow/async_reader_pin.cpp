#include "platform/dshow/async_reader_pin.h"

#include <limits>

CAsyncReaderPin::CAsyncReaderPin(CBaseFilter* filter, CAsyncByteSource* source)
    : CAsyncOutputPinBase("async reader output pin", filter, filter->FilterLock(), "Output", PINDIR_OUTPUT),
      m_source(source)
{
}

HRESULT CAsyncReaderPin::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IAsyncReader::iid) return GetInterface(static_cast<IAsyncReader*>(this), object);
    return CBasePin::NonDelegatingQueryInterface(riid, object);
}

HRESULT CAsyncReaderPin::CheckMediaType(const CMediaType* type)
{
    if (!type) return E_POINTER;
    if (type->majortype != MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
    const GUID offered = m_source->OfferedType().subtype;
    if (offered != GUID_NULL && type->subtype != offered && type->subtype != GUID_NULL)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CAsyncReaderPin::GetMediaType(int position, CMediaType* type)
{
    if (!type) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = m_source->OfferedType();
    return S_OK;
}

HRESULT CAsyncReaderPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer)
{
    if (position < 0 || length < 0 || position > std::numeric_limits<LONGLONG>::max() - length)
        return E_INVALIDARG;
    if (!buffer && length > 0) return E_POINTER;
    return m_source->Read(position, length, buffer);
}

HRESULT CAsyncReaderPin::Length(LONGLONG* total, LONGLONG* available)
{
    if (!total || !available) return E_POINTER;
    return m_source->Size(total, available);
}

HRESULT CAsyncReaderPin::BeginReaderFlush()
{
    m_source->SetFlushing(true);
    return S_OK;
}

HRESULT CAsyncReaderPin::EndReaderFlush()
{
    m_source->SetFlushing(false);
    return S_OK;
}

CMediaType OfferedStreamType(const AM_MEDIA_TYPE* loadType)
{
    const bool typed = loadType && loadType->majortype == MEDIATYPE_Stream;
    CMediaType type(MEDIATYPE_Stream, typed ? loadType->subtype : GUID_NULL);
    type.formattype = FORMAT_None;
    return type;
}

HRESULT HandOutCurFile(const std::string& name, const CMediaType& offered, LPOLESTR* fileName, AM_MEDIA_TYPE* type)
{
    *fileName = CoTaskStrDup(name.c_str());
    if (!*fileName) return E_OUTOFMEMORY;
    if (type) {
        const HRESULT hr = CopyMediaType(type, &offered);
        if (FAILED(hr)) {
            CoTaskMemFree(*fileName);
            *fileName = nullptr;
            return hr;
        }
    }
    return S_OK;
}
