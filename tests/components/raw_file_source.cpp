#include "tests/components/raw_file_source.h"

#include <fstream>

namespace mp4_testing {

namespace {

class CRawFileStream final : public CSourceStream {
public:
    CRawFileStream(CSource* filter, const CMediaType& type, const std::string& path, LONG chunkBytes,
                   REFERENCE_TIME chunkDuration)
        : CSourceStream("raw file stream", filter, "Out"),
          m_type(type),
          m_path(path),
          m_chunkBytes(chunkBytes),
          m_chunkDuration(chunkDuration)
    {
    }

    HRESULT CheckMediaType(const CMediaType* type) override { return *type == m_type ? S_OK : S_FALSE; }
    HRESULT GetMediaType(int position, CMediaType* type) override
    {
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        *type = m_type;
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES*) override
    {
        ALLOCATOR_PROPERTIES wanted{4, m_chunkBytes, 1, 0}, actual;
        return allocator->SetProperties(&wanted, &actual);
    }
    HRESULT OnThreadStartPlay() override
    {
        m_file = std::ifstream(m_path, std::ios::binary);
        m_next = 0;
        return m_file ? S_OK : E_FAIL;
    }
    HRESULT FillBuffer(IMediaSample* sample) override
    {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        m_file.read(reinterpret_cast<char*>(data), m_chunkBytes);
        const auto read = static_cast<LONG>(m_file.gcount());
        if (read <= 0) return S_FALSE;
        sample->SetActualDataLength(read);
        REFERENCE_TIME start = m_next * m_chunkDuration, end = start + m_chunkDuration * read / m_chunkBytes;
        sample->SetTime(&start, &end);
        sample->SetSyncPoint(TRUE);
        ++m_next;
        return S_OK;
    }

private:
    const CMediaType m_type;
    const std::string m_path;
    const LONG m_chunkBytes;
    const REFERENCE_TIME m_chunkDuration;
    std::ifstream m_file;
    int64_t m_next = 0;
};

}  // namespace

CRawFileSource::CRawFileSource(const CMediaType& type, const std::string& path, LONG chunkBytes,
                               REFERENCE_TIME chunkDuration)
    : CSource("raw file source", CLSID_RawFileSource)
{
    AddPin(std::make_unique<CRawFileStream>(this, type, path, chunkBytes, chunkDuration));
}

CRawFileSource* RawVideoFile(const RawVideoFormat& format, const std::string& path)
{
    return new CRawFileSource(RawVideoType(format), path, RawFrameSize(format), format.timePerFrame);
}

}  // namespace mp4_testing
