#include "components/wav_writer.h"

#include "components/component_ids.h"
#include "components/format_change.h"
#include "components/wav_header.h"

CWavWriter::CWavWriter() : CBaseRenderer("WAV writer", CLSID_WavWriter, "In"), CFileSink(this) {}

HRESULT CWavWriter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IFileSinkFilter::iid) return GetInterface(static_cast<IFileSinkFilter*>(this), object);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, object);
}

HRESULT CWavWriter::CheckMediaType(const CMediaType* type)
{
    return ReadRawAudioType(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// Called with the filter lock held, from Pause.
HRESULT CWavWriter::OnStartStreaming()
{
    const auto format = ReadRawAudioType(Input()->CurrentMediaType());
    if (!format) return VFW_E_NOT_CONNECTED;
    std::unique_ptr<COutputFile> file;
    const HRESULT hr = COutputFile::Create(FileName(), &file);
    if (FAILED(hr)) return hr;
    m_file = std::move(file);
    m_format = *format;
    m_startedType = Input()->CurrentMediaType();
    m_headerSize = WavHeader(*format, 0).size();
    m_dataBytes = 0;
    m_headerWritten = false;
    return S_OK;
}

HRESULT CWavWriter::WriteHeader()
{
    const auto header = WavHeader(m_format, m_dataBytes);
    const HRESULT hr = m_file->WriteAt(0, header.data(), header.size());
    m_headerWritten = SUCCEEDED(hr);
    return hr;
}

HRESULT CWavWriter::OnStopStreaming()
{
    auto file = std::move(m_file);
    return file ? file->Close() : S_OK;
}

HRESULT CWavWriter::DoRenderSample(IMediaSample* sample)
{
    if (!m_file) return VFW_E_WRONG_STATE;
    HRESULT hr = CheckNoFormatChange(sample, m_startedType);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const LONG length = sample->GetActualDataLength();
    if (length < 0) return E_INVALIDARG;
    // A provisional header first, so even a cut-off file reads as WAV.
    if (!m_headerWritten && FAILED(hr = WriteHeader())) return hr;
    hr = m_file->WriteAt(m_headerSize + m_dataBytes, data, static_cast<size_t>(length));
    if (FAILED(hr)) return hr;
    m_dataBytes += static_cast<uint64_t>(length);
    return S_OK;
}

HRESULT CWavWriter::OnEndOfStream()
{
    if (!m_file) return VFW_E_WRONG_STATE;
    if (m_dataBytes & 1) {
        const BYTE pad = 0;
        const HRESULT hr = m_file->WriteAt(m_headerSize + m_dataBytes, &pad, 1);
        if (FAILED(hr)) return hr;
    }
    const HRESULT hr = WriteHeader();
    return FAILED(hr) ? hr : m_file->Sync();
}
