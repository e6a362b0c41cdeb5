#include "components/write/wav_writer.h"

#include "components/component_ids.h"
#include "components/write/wav_header.h"

CWavWriter::CWavWriter() : CAudioFileWriter("WAV writer", CLSID_WavWriter) {}

HRESULT CWavWriter::CheckMediaType(const CMediaType* type)
{
    const auto format = ReadRawAudioType(*type);
    const bool integerPcm =
        format && (format->sampleFormat == AV_SAMPLE_FMT_S16 || format->sampleFormat == AV_SAMPLE_FMT_U8);
    return integerPcm ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// Called with the filter lock held, from Pause.
HRESULT CWavWriter::OnStartStreaming()
{
    RawAudioFormat format;
    HRESULT hr = BeginInput(&format);
    if (FAILED(hr)) return hr;
    std::unique_ptr<COutputFile> file;
    hr = COutputFile::Create(FileName(), &file);
    if (FAILED(hr)) return hr;
    m_file = std::move(file);
    m_format = format;
    m_headerSize = WavHeader(format, 0).size();
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

HRESULT CWavWriter::WriteAudio(const BYTE* data, LONG length)
{
    if (!m_file) return VFW_E_WRONG_STATE;
    // A provisional header first, so even a cut-off file reads as WAV.
    HRESULT hr = m_headerWritten ? S_OK : WriteHeader();
    if (FAILED(hr)) return hr;
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
