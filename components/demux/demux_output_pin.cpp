#include "components/demux/demux_output_pin.h"

#include <algorithm>
#include <cstring>

#include "components/demux/demultiplexer.h"

namespace {

// Packets are copied into the allocator's buffers, so the buffers must hold
// the largest packet: an uncompressed picture is the most a video packet
// can sensibly be.
ALLOCATOR_PROPERTIES BuffersFor(const ContainerStream& stream)
{
    constexpr LONG kAudioBufferSize = 256 * 1024;
    constexpr LONG kMinimumVideoBufferSize = 1024 * 1024;
    if (stream.kind != ContainerStream::Kind::Video) return {32, kAudioBufferSize, 1, 0};
    const auto* info = stream.type.FormatAs<VIDEOINFOHEADER>();
    const LONG picture = info ? info->bmiHeader.biWidth * std::abs(info->bmiHeader.biHeight) * 3 : 0;
    return {8, std::max(kMinimumVideoBufferSize, picture), 1, 0};
}

}  // namespace

CDemuxOutputPin::CDemuxOutputPin(CDemultiplexer* filter, const ContainerStream& stream, REFERENCE_TIME duration)
    : CBaseOutputPin("demultiplexer output pin", filter, filter->FilterLock(), stream.pinName.c_str()),
      CSourceSeeking(duration),
      m_demultiplexer(filter),
      m_stream(stream)
{
    // Subpictures go straight to their decoder, which only keeps them: so
    // they arrive in file order with the video packets queued around them.
    if (stream.kind != ContainerStream::Kind::Subpicture)
        UseDeliveryQueue(static_cast<size_t>(BuffersFor(stream).cBuffers));
}

HRESULT CDemuxOutputPin::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IMediaSeeking::iid) return GetInterface(static_cast<IMediaSeeking*>(this), object);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, object);
}

HRESULT CDemuxOutputPin::CheckMediaType(const CMediaType* type)
{
    return type && *type == m_stream.type ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDemuxOutputPin::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = m_stream.type;
    return S_OK;
}

HRESULT CDemuxOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    ALLOCATOR_PROPERTIES wanted = BuffersFor(m_stream);
    wanted.cBuffers = std::max(wanted.cBuffers, request->cBuffers);
    wanted.cbBuffer = std::max(wanted.cbBuffer, request->cbBuffer);
    wanted.cbAlign = std::max<LONG>(1, request->cbAlign);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

HRESULT CDemuxOutputPin::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags)
{
    const HRESULT hr = CSourceSeeking::SetPositions(current, currentFlags, stop, stopFlags);
    if (FAILED(hr)) return hr;
    return m_demultiplexer->Reposition(StartPosition(), StopPosition());
}

StreamResult CDemuxOutputPin::DeliverPacket(const AVPacket& packet, const PacketTimes& times)
{
    return DeliverNewSample([&](IMediaSample* sample) {
        if (packet.size > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::memcpy(data, packet.data, static_cast<size_t>(packet.size));
        sample->SetActualDataLength(packet.size);
        if (times.start) {
            REFERENCE_TIME start = *times.start;
            REFERENCE_TIME end = start + times.duration.value_or(0);
            sample->SetTime(&start, times.duration ? &end : nullptr);
        }
        sample->SetSyncPoint((packet.flags & AV_PKT_FLAG_KEY) != 0);
        sample->SetPreroll(times.preroll);
        sample->SetDiscontinuity(times.discontinuity);
        return S_OK;
    });
}
