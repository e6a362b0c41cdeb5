// CFileSink: IFileSinkFilter for a filter that writes one file.
//
// The filter derives from it beside CBaseFilter (its DECLARE_IUNKNOWN answers
// for this interface too) and hands it out from NonDelegatingQueryInterface.
// SetFileName takes a UTF-8 path (and optionally a type that GetCurFile gives
// back) and only records it; VFW_E_NOT_STOPPED unless the filter is stopped,
// since an open file keeps its name until it is closed. GetCurFile gives
// E_FAIL (and a null name) before a name was set.
//
// Threads: the application's thread, under the filter lock.
#pragma once

#include <string>

#include "platform/dshow/base_filter.h"
#include "platform/dshow/media_type.h"

class CFileSink : public IFileSinkFilter {
public:
    explicit CFileSink(CBaseFilter* filter) : m_filter(filter) {}

    HRESULT SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE* type) override;
    HRESULT GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type) override;

    // The path set; empty before SetFileName. Call with the filter lock held.
    const std::string& FileName() const
    {
        ASSERT_LOCK_HELD(*m_filter->FilterLock());
        return m_fileName;
    }

protected:
    ~CFileSink() = default;

private:
    CBaseFilter* const m_filter;
    std::string m_fileName;  // guarded by the filter lock
    CMediaType m_fileType;   // guarded by the filter lock
};
