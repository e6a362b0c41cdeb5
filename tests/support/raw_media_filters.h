// Test filters that speak the components' media formats: sources of raw
// video (a moving picture) and raw audio (a tone) of a chosen size and
// length, a source of blank samples of any type, and a sink that keeps
// every sample it receives.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "components/common/media_format.h"
#include "platform/dshow/base_renderer.h"
#include "platform/dshow/source.h"
#include "platform/dshow/source_seeking.h"

namespace testing_media {

inline constexpr CLSID CLSID_RawVideoSource = MakeGuid("{A0000003-0000-4000-8000-000000000001}");
inline constexpr CLSID CLSID_RawAudioSource = MakeGuid("{A0000003-0000-4000-8000-000000000002}");
inline constexpr CLSID CLSID_CollectingSink = MakeGuid("{A0000003-0000-4000-8000-000000000003}");
inline constexpr CLSID CLSID_BlankSampleSource = MakeGuid("{A0000003-0000-4000-8000-000000000004}");

// Frames of `format` (I420 unless said otherwise), numbered from 0, with
// times n * timePerFrame; the pin "Out" offers IMediaSeeking.
class CRawVideoSource final : public CSource {
public:
    CRawVideoSource(const RawVideoFormat& format, int frameCount);
};

// `seconds` of a 440 Hz tone in `format`, in buffers of 1024 audio frames.
class CRawAudioSource final : public CSource {
public:
    CRawAudioSource(const RawAudioFormat& format, double seconds);
};

// `count` samples of `type`, each `size` zero bytes lasting `duration`, all
// sync points. A negative count sends nothing and keeps the stream open
// until the graph stops: an input that never starts.
class CBlankSampleSource final : public CSource {
public:
    CBlankSampleSource(const CMediaType& type, int count, LONG size, REFERENCE_TIME duration);
};

struct ReceivedSample {
    std::string bytes;
    std::optional<REFERENCE_TIME> start, end;
    bool syncPoint;
};

// Takes any type of `major` (GUID_NULL: anything).
class CCollectingSink final : public CBaseRenderer {
public:
    explicit CCollectingSink(const GUID& major = GUID_NULL);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;

    std::vector<ReceivedSample> Samples();
    CMediaType ConnectedType();

private:
    GUID m_major;
    std::mutex m_lock;
    std::vector<ReceivedSample> m_samples;
};

}  // namespace testing_media
