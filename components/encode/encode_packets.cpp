#include "components/encode/encode_packets.h"

HRESULT EncodeFrame(AVCodecContext* encoder, const AVFrame* frame, std::vector<AvPacketPtr>* packets)
{
    int error = avcodec_send_frame(encoder, frame);
    if (error < 0) return HResultFromAv(error);
    for (;;) {
        AvPacketPtr packet = MakePacket();
        if (!packet) return E_OUTOFMEMORY;
        error = avcodec_receive_packet(encoder, packet.get());
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return S_OK;
        if (error < 0) return HResultFromAv(error);
        packets->push_back(std::move(packet));
    }
}
