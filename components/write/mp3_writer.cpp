#include "components/write/mp3_writer.h"

#include <array>

#include "components/component_ids.h"

namespace {

constexpr std::array kMp3Rates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

// The rate MP3 has that is nearest to `rate`.
int Mp3SampleRate(int rate)
{
    int best = kMp3Rates.front();
    for (int candidate : kMp3Rates)
        if (std::abs(candidate - rate) < std::abs(best - rate)) best = candidate;
    return best;
}

int64_t Mp3BitRate(int sampleRate, int channels)
{
    const int64_t perChannel = sampleRate >= 32000 ? 96000 : sampleRate >= 16000 ? 64000 : 32000;
    return perChannel * channels;
}

}  // namespace

struct CMp3Writer::Output {
    AvCodecContextPtr encoder;
    CAudioFrameQueue queue;
    CMuxedFile file;
    int stream = 0;
    int bytesPerFrame = 0;
};

CMp3Writer::CMp3Writer() : CAudioFileWriter("LAME MP3 writer", CLSID_LameMp3Writer) {}

CMp3Writer::~CMp3Writer() = default;

// Called with the filter lock held, from Pause.
HRESULT CMp3Writer::OnStartStreaming()
{
    RawAudioFormat format;
    HRESULT hr = BeginInput(&format);
    if (FAILED(hr)) return hr;
    const AVCodec* codec = avcodec_find_encoder_by_name("libmp3lame");
    if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;

    auto output = std::make_unique<Output>();
    output->encoder.reset(avcodec_alloc_context3(codec));
    AVCodecContext* encoder = output->encoder.get();
    if (!encoder) return E_OUTOFMEMORY;
    encoder->sample_rate = Mp3SampleRate(format.sampleRate);
    av_channel_layout_default(&encoder->ch_layout, std::min(format.channels, 2));
    encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    encoder->bit_rate = Mp3BitRate(encoder->sample_rate, encoder->ch_layout.nb_channels);
    encoder->time_base = AVRational{1, encoder->sample_rate};
    int error = avcodec_open2(encoder, codec, nullptr);
    if (error < 0) return HResultFromAv(error);

    hr = output->queue.Open(format, encoder);
    if (SUCCEEDED(hr)) hr = output->file.Create(FileName(), "mp3");
    if (SUCCEEDED(hr)) hr = output->file.AddStream(*encoder, &output->stream);
    if (FAILED(hr)) return hr;
    output->bytesPerFrame = format.BytesPerFrame();
    m_output = std::move(output);
    return S_OK;
}

HRESULT CMp3Writer::OnStopStreaming()
{
    m_output.reset();
    return S_OK;
}

HRESULT CMp3Writer::WriteAudio(const BYTE* data, LONG length)
{
    if (!m_output) return VFW_E_WRONG_STATE;
    std::vector<AvPacketPtr> packets;
    const HRESULT hr = m_output->queue.Encode(data, length / m_output->bytesPerFrame, &packets);
    return FAILED(hr) ? hr : WritePackets(packets);
}

HRESULT CMp3Writer::WritePackets(std::vector<AvPacketPtr>& packets)
{
    // The header goes in with the first data, so a write failure is one of
    // the run (EC_ERRORABORT), not of the pause.
    if (!m_output->file.HeaderWritten()) {
        const HRESULT hr = m_output->file.WriteHeader();
        if (FAILED(hr)) return hr;
    }
    for (auto& packet : packets) {
        const HRESULT hr = m_output->file.WritePacket(packet.get(), m_output->stream, m_output->encoder->time_base);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CMp3Writer::OnEndOfStream()
{
    if (!m_output) return VFW_E_WRONG_STATE;
    std::vector<AvPacketPtr> packets;
    HRESULT hr = m_output->queue.Finish(&packets);
    if (SUCCEEDED(hr)) hr = WritePackets(packets);
    return FAILED(hr) ? hr : m_output->file.Finish();
}
