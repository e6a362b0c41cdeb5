#include "platform/dshow/file_sink.h"

HRESULT CFileSink::SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE* type)
{
    if (!fileName) return E_POINTER;
    if (!*fileName) return E_INVALIDARG;
    std::lock_guard lock(*m_filter->FilterLock());
    if (!m_filter->IsStopped()) return VFW_E_NOT_STOPPED;
    m_fileName = fileName;
    m_fileType = type ? CMediaType(*type) : CMediaType();
    return S_OK;
}

HRESULT CFileSink::GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type)
{
    if (!fileName) return E_POINTER;
    std::lock_guard lock(*m_filter->FilterLock());
    *fileName = nullptr;
    if (m_fileName.empty()) return E_FAIL;
    *fileName = CoTaskStrDup(m_fileName.c_str());
    if (!*fileName) return E_OUTOFMEMORY;
    if (type) {
        const HRESULT hr = CopyMediaType(type, &m_fileType);
        if (FAILED(hr)) {
            CoTaskMemFree(*fileName);
            *fileName = nullptr;
            return hr;
        }
    }
    return S_OK;
}
