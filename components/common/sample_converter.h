// Audio conversion with libswresample, in one place:
// - OpenResampler: an initialised resampler between two formats, used by
//   SampleConverter, the sample-rate converter and the encoders' audio
//   frame queue.
// - SampleConverter: audio of any FFmpeg sample layout, rate and channel
//   layout into interleaved raw audio (media_format's layout). Shared by
//   the audio decoders (whatever a decoder's frames hold, the negotiated
//   type comes out) and the audio format converter.
//
// Not thread-safe: one streaming thread uses an instance.
#pragma once

#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "components/common/ffmpeg_support.h"
#include "components/common/media_format.h"

// One side of a resampler.
struct ResamplerSide {
    const AVChannelLayout* layout;
    AVSampleFormat format;
    int sampleRate;
};
HRESULT OpenResampler(const ResamplerSide& from, const ResamplerSide& to, SwrContextPtr* resampler);

struct AudioSource {
    const uint8_t* const* planes;  // one plane when interleaved
    int frames;
    AVSampleFormat format;
    int sampleRate;
    const AVChannelLayout* layout;
};

class SampleConverter {
public:
    SampleConverter() = default;
    ~SampleConverter();
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;

    // Appends the converted audio frames to `out`. With the same rate on
    // both sides every frame comes out at once.
    HRESULT Convert(const AudioSource& source, const RawAudioFormat& target, std::vector<uint8_t>* out);

private:
    HRESULT Configure(const AudioSource& source, const RawAudioFormat& target);

    SwrContextPtr m_context;
    // What m_context converts.
    AVSampleFormat m_fromFormat = AV_SAMPLE_FMT_NONE;
    int m_fromRate = 0;
    AVChannelLayout m_fromLayout{};
    RawAudioFormat m_target;
};

// A channel layout with a known order for `channels` channels (FFmpeg's default one).
AVChannelLayout DefaultLayout(int channels);
