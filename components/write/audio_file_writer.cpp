#include "components/write/audio_file_writer.h"

#include "components/write/format_change.h"

CAudioFileWriter::CAudioFileWriter(const char* objectName, REFCLSID clsid)
    : CBaseRenderer(objectName, clsid, "In"), CFileSink(this)
{
}

HRESULT CAudioFileWriter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IFileSinkFilter::iid) return GetInterface(static_cast<IFileSinkFilter*>(this), object);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, object);
}

HRESULT CAudioFileWriter::CheckMediaType(const CMediaType* type)
{
    return ReadRawAudioType(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioFileWriter::BeginInput(RawAudioFormat* format)
{
    const auto connected = ReadRawAudioType(Input()->CurrentMediaType());
    if (!connected) return VFW_E_NOT_CONNECTED;
    *format = *connected;
    m_startedType = Input()->CurrentMediaType();
    return S_OK;
}

HRESULT CAudioFileWriter::DoRenderSample(IMediaSample* sample)
{
    HRESULT hr = CheckNoFormatChange(sample, m_startedType);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const LONG length = sample->GetActualDataLength();
    if (length < 0) return E_INVALIDARG;
    return WriteAudio(data, length);
}
