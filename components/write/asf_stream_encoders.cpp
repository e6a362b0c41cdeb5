#include "components/write/asf_stream_encoders.h"

#include <algorithm>
#include <cmath>

#include "components/common/picture_converter.h"
#include "components/encode/audio_frame_queue.h"
#include "components/encode/encode_packets.h"

namespace {

// Opens `codecName` on a context that `configure` has filled in.
template <class Configure>
HRESULT OpenCodec(const char* codecName, Configure configure, AvCodecContextPtr* codec)
{
    const AVCodec* found = avcodec_find_encoder_by_name(codecName);
    if (!found) return VFW_E_NO_ACCEPTABLE_TYPES;
    AvCodecContextPtr context(avcodec_alloc_context3(found));
    if (!context) return E_OUTOFMEMORY;
    configure(context.get());
    const int error = avcodec_open2(context.get(), found, nullptr);
    if (error < 0) return HResultFromAv(error);
    *codec = std::move(context);
    return S_OK;
}

int QuantiserForQuality(int quality) { return std::clamp(static_cast<int>(std::lround(31 - quality * 0.29)), 2, 31); }

class CAsfVideoEncoder final : public CAsfStreamEncoder {
public:
    HRESULT Open(const RawVideoFormat& input, const WmVideoStream& stream)
    {
        m_input = input;
        const AVRational rate = av_d2q(double(UNITS) / double(stream.timePerFrame), 65535);
        HRESULT hr = OpenCodec(
            "wmv2",
            [&](AVCodecContext* codec) {
                codec->width = stream.width;
                codec->height = stream.height;
                codec->pix_fmt = AV_PIX_FMT_YUV420P;
                codec->sample_aspect_ratio = AVRational{1, 1};
                codec->time_base = av_inv_q(rate);
                codec->framerate = rate;
                codec->max_b_frames = 0;
                codec->gop_size = stream.maxKeyFrameSpacing > 0
                                      ? static_cast<int>(std::max<int64_t>(
                                            1, av_rescale_q(stream.maxKeyFrameSpacing, kMediaTimeBase, codec->time_base)))
                                      : 12;
                if (stream.vbrQuality) {
                    codec->flags |= AV_CODEC_FLAG_QSCALE;
                    codec->global_quality = FF_QP2LAMBDA * QuantiserForQuality(*stream.vbrQuality);
                } else {
                    codec->bit_rate = stream.bitRate;
                }
            },
            &m_codec);
        if (FAILED(hr)) return hr;
        return m_letterbox.Open(input, stream.width, stream.height);
    }

    HRESULT Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets) override
    {
        BYTE* data = nullptr;
        HRESULT hr = sample->GetPointer(&data);
        if (FAILED(hr)) return hr;
        AvFramePtr frame;
        hr = m_letterbox.Scale(data, sample->GetActualDataLength(), &frame);
        if (FAILED(hr)) return hr;

        REFERENCE_TIME start = m_heldStop, stop = 0;
        const HRESULT timed = sample->GetTime(&start, &stop);
        if (FAILED(timed)) start = m_heldStop;
        if (timed != S_OK) stop = start + FrameDuration();
        const int64_t slot = ToSlot(start);
        if (m_held) {
            hr = EmitHeld(slot, packets);
            if (FAILED(hr)) return hr;
        } else {
            m_nextSlot = slot;
        }
        m_held = std::move(frame);
        m_heldStop = stop;
        return S_OK;
    }

    HRESULT Finish(std::vector<AvPacketPtr>* packets) override
    {
        if (m_held) {
            // The only frame of a short stream is shown once at least.
            const int64_t end = std::max(ToSlot(m_heldStop), m_nextSlot + (m_emitted ? 0 : 1));
            const HRESULT hr = EmitHeld(end, packets);
            if (FAILED(hr)) return hr;
            m_held.reset();
        }
        return EncodeFrame(m_codec.get(), nullptr, packets);
    }

private:
    int64_t ToSlot(REFERENCE_TIME time) const { return av_rescale_q(time, kMediaTimeBase, m_codec->time_base); }
    REFERENCE_TIME FrameDuration() const
    {
        return m_input.timePerFrame > 0 ? m_input.timePerFrame : av_rescale_q(1, m_codec->time_base, kMediaTimeBase);
    }

    // Shows the held frame in every output slot before `endSlot`.
    HRESULT EmitHeld(int64_t endSlot, std::vector<AvPacketPtr>* packets)
    {
        for (; m_nextSlot < endSlot; ++m_nextSlot) {
            // The encoder keeps a reference to what it is given; the held
            // frame may be shown again, so it gets its own.
            AvFramePtr shown = MakeFrame();
            if (!shown) return E_OUTOFMEMORY;
            const int error = av_frame_ref(shown.get(), m_held.get());
            if (error < 0) return HResultFromAv(error);
            shown->pts = m_nextSlot;
            shown->quality = m_codec->global_quality;
            shown->pict_type = AV_PICTURE_TYPE_NONE;
            const HRESULT hr = EncodeFrame(m_codec.get(), shown.get(), packets);
            if (FAILED(hr)) return hr;
            m_emitted = true;
        }
        return S_OK;
    }

    RawVideoFormat m_input;
    CLetterbox m_letterbox;
    AvFramePtr m_held;              // the latest input frame, not yet shown everywhere
    REFERENCE_TIME m_heldStop = 0;  // where it ends
    int64_t m_nextSlot = 0;         // the next output frame's pts
    bool m_emitted = false;
};

class CAsfAudioEncoder final : public CAsfStreamEncoder {
public:
    HRESULT Open(const RawAudioFormat& input, const WmAudioStream& stream)
    {
        m_bytesPerFrame = input.BytesPerFrame();
        const HRESULT hr = OpenCodec(
            "wmav2",
            [&](AVCodecContext* codec) {
                codec->sample_rate = stream.sampleRate;
                av_channel_layout_default(&codec->ch_layout, stream.channels);
                codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
                codec->bit_rate = stream.bitRate;
                codec->time_base = AVRational{1, stream.sampleRate};
            },
            &m_codec);
        return FAILED(hr) ? hr : m_queue.Open(input, m_codec.get());
    }

    HRESULT Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets) override
    {
        if (!m_started) {
            REFERENCE_TIME start, stop;
            if (SUCCEEDED(sample->GetTime(&start, &stop)))
                m_queue.SetStartPts(std::max<int64_t>(0, FromMediaTime(start, m_codec->time_base)));
            m_started = true;
        }
        BYTE* data = nullptr;
        HRESULT hr = sample->GetPointer(&data);
        if (FAILED(hr)) return hr;
        return m_queue.Encode(data, sample->GetActualDataLength() / m_bytesPerFrame, packets);
    }

    HRESULT Finish(std::vector<AvPacketPtr>* packets) override { return m_queue.Finish(packets); }

private:
    CAudioFrameQueue m_queue;
    int m_bytesPerFrame = 0;
    bool m_started = false;
};

}  // namespace

HRESULT CreateAsfVideoEncoder(const RawVideoFormat& input, const WmVideoStream& stream,
                              std::unique_ptr<CAsfStreamEncoder>* encoder)
{
    auto created = std::make_unique<CAsfVideoEncoder>();
    const HRESULT hr = created->Open(input, stream);
    if (SUCCEEDED(hr)) *encoder = std::move(created);
    return hr;
}

HRESULT CreateAsfAudioEncoder(const RawAudioFormat& input, const WmAudioStream& stream,
                              std::unique_ptr<CAsfStreamEncoder>* encoder)
{
    auto created = std::make_unique<CAsfAudioEncoder>();
    const HRESULT hr = created->Open(input, stream);
    if (SUCCEEDED(hr)) *encoder = std::move(created);
    return hr;
}
