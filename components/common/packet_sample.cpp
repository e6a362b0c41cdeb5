#include "components/common/packet_sample.h"

#include <cstring>

AVRational FrameTimeBase(REFERENCE_TIME timePerFrame)
{
    if (timePerFrame <= 0) return AVRational{1, 90000};
    AVRational timeBase;
    av_reduce(&timeBase.num, &timeBase.den, timePerFrame, UNITS, 65535);
    return timeBase;
}

HRESULT PacketToSample(const AVPacket& packet, AVRational timeBase, IMediaSample* sample)
{
    if (packet.size > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    std::memcpy(data, packet.data, static_cast<size_t>(packet.size));
    hr = sample->SetActualDataLength(packet.size);
    if (FAILED(hr)) return hr;

    const int64_t pts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (pts != AV_NOPTS_VALUE) {
        const REFERENCE_TIME start = ToMediaTime(pts, timeBase);
        const REFERENCE_TIME end = ToMediaTime(pts + packet.duration, timeBase);
        sample->SetTime(&start, &end);
    }
    if (packet.dts != AV_NOPTS_VALUE) {
        const LONGLONG dts = ToMediaTime(packet.dts, timeBase);
        sample->SetMediaTime(&dts, &dts);
    }
    sample->SetSyncPoint((packet.flags & AV_PKT_FLAG_KEY) != 0);
    return S_OK;
}

HRESULT SampleToPacket(IMediaSample* sample, AVRational timeBase, AVPacket* packet)
{
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const LONG length = sample->GetActualDataLength();
    if (length < 0) return E_INVALIDARG;
    const int error = av_new_packet(packet, length);
    if (error < 0) return HResultFromAv(error);
    if (length > 0) std::memcpy(packet->data, data, static_cast<size_t>(length));

    REFERENCE_TIME start = 0, end = 0;
    hr = sample->GetTime(&start, &end);
    if (SUCCEEDED(hr)) {
        packet->pts = FromMediaTime(start, timeBase);
        // S_OK means the end time is set as well.
        if (hr == S_OK && end > start) packet->duration = FromMediaTime(end, timeBase) - packet->pts;
    }
    LONGLONG dts = 0, dtsEnd = 0;
    packet->dts = SUCCEEDED(sample->GetMediaTime(&dts, &dtsEnd)) ? FromMediaTime(dts, timeBase) : packet->pts;
    if (sample->IsSyncPoint() == S_OK) packet->flags |= AV_PKT_FLAG_KEY;
    return S_OK;
}
