#include "tests/support/raw_media_filters.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace testing_media {

namespace {

HRESULT SetBuffers(IMemAllocator* allocator, LONG count, LONG size)
{
    ALLOCATOR_PROPERTIES wanted{count, size, 1, 0};
    ALLOCATOR_PROPERTIES actual;
    return allocator->SetProperties(&wanted, &actual);
}

// One output pin that offers a single media type and IMediaSeeking.
class CGeneratedStream : public CSourceStream, public CSourceSeeking {
public:
    CGeneratedStream(CSource* filter, CMediaType type, REFERENCE_TIME duration, LONG bufferSize)
        : CSourceStream("generated stream", filter, "Out"),
          CSourceSeeking(duration),
          m_type(std::move(type)),
          m_bufferSize(bufferSize)
    {
    }
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IMediaSeeking::iid) return GetInterface(static_cast<IMediaSeeking*>(this), object);
        return CSourceStream::NonDelegatingQueryInterface(riid, object);
    }
    HRESULT CheckMediaType(const CMediaType* type) override { return *type == m_type ? S_OK : S_FALSE; }
    HRESULT GetMediaType(int position, CMediaType* type) override
    {
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        *type = m_type;
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES*) override
    {
        return SetBuffers(allocator, 4, m_bufferSize);
    }

protected:
    const CMediaType m_type;
    const LONG m_bufferSize;
};

class CRawVideoStream final : public CGeneratedStream {
public:
    CRawVideoStream(CSource* filter, const RawVideoFormat& format, int frameCount)
        : CGeneratedStream(filter, RawVideoType(format), frameCount * format.timePerFrame, RawFrameSize(format)),
          m_format(format),
          m_frameCount(frameCount)
    {
    }

    HRESULT OnThreadStartPlay() override
    {
        m_next = 0;
        return S_OK;
    }

    HRESULT FillBuffer(IMediaSample* sample) override
    {
        if (m_next >= m_frameCount) return S_FALSE;
        AvFramePtr frame = MakeFrame();
        frame->format = m_format.pixelFormat;
        frame->width = m_format.width;
        frame->height = m_format.height;
        if (av_frame_get_buffer(frame.get(), 0) < 0) return E_OUTOFMEMORY;
        Paint(frame.get(), m_next);
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const HRESULT hr = PackFrame(*frame, data, sample->GetSize());
        if (FAILED(hr)) return hr;
        sample->SetActualDataLength(RawFrameSize(m_format));
        REFERENCE_TIME start = m_next * m_format.timePerFrame, end = start + m_format.timePerFrame;
        sample->SetTime(&start, &end);
        sample->SetSyncPoint(TRUE);
        ++m_next;
        return S_OK;
    }

private:
    // A diagonal gradient that moves with the frame number (planar YUV only).
    static void Paint(AVFrame* frame, int number)
    {
        for (int y = 0; y < frame->height; ++y)
            for (int x = 0; x < frame->width; ++x)
                frame->data[0][y * frame->linesize[0] + x] = static_cast<uint8_t>(x + y + 3 * number);
        for (int plane = 1; plane < 3 && frame->data[plane]; ++plane)
            for (int y = 0; y < (frame->height + 1) / 2; ++y)
                std::memset(frame->data[plane] + y * frame->linesize[plane], 96 + 64 * (plane - 1), (frame->width + 1) / 2);
    }

    const RawVideoFormat m_format;
    const int m_frameCount;
    int m_next = 0;
};

class CRawAudioStream final : public CGeneratedStream {
public:
    static constexpr int kFramesPerBuffer = 1024;

    CRawAudioStream(CSource* filter, const RawAudioFormat& format, double seconds)
        : CGeneratedStream(filter, RawAudioType(format), static_cast<REFERENCE_TIME>(seconds * UNITS),
                           kFramesPerBuffer * format.BytesPerFrame()),
          m_format(format),
          m_totalFrames(static_cast<int64_t>(seconds * format.sampleRate))
    {
    }

    HRESULT OnThreadStartPlay() override
    {
        m_position = 0;
        return S_OK;
    }

    HRESULT FillBuffer(IMediaSample* sample) override
    {
        if (m_position >= m_totalFrames) return S_FALSE;
        const int frames = static_cast<int>(std::min<int64_t>(kFramesPerBuffer, m_totalFrames - m_position));
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        for (int i = 0; i < frames; ++i) {
            const double value = 0.5 * std::sin(2 * M_PI * 440.0 * static_cast<double>(m_position + i) / m_format.sampleRate);
            for (int channel = 0; channel < m_format.channels; ++channel) {
                BYTE* at = data + (i * m_format.channels + channel) * av_get_bytes_per_sample(m_format.sampleFormat);
                if (m_format.sampleFormat == AV_SAMPLE_FMT_FLT) {
                    const float f = static_cast<float>(value);
                    std::memcpy(at, &f, sizeof f);
                } else {
                    const int16_t s = static_cast<int16_t>(value * 32767);
                    std::memcpy(at, &s, sizeof s);
                }
            }
        }
        sample->SetActualDataLength(frames * m_format.BytesPerFrame());
        REFERENCE_TIME start = m_position * UNITS / m_format.sampleRate;
        REFERENCE_TIME end = (m_position + frames) * UNITS / m_format.sampleRate;
        sample->SetTime(&start, &end);
        sample->SetSyncPoint(TRUE);
        m_position += frames;
        return S_OK;
    }

private:
    const RawAudioFormat m_format;
    const int64_t m_totalFrames;
    int64_t m_position = 0;
};

class CBlankSampleStream final : public CGeneratedStream {
public:
    CBlankSampleStream(CSource* filter, const CMediaType& type, int count, LONG size, REFERENCE_TIME duration)
        : CGeneratedStream(filter, type, std::max(count, 0) * duration, size),
          m_count(count),
          m_duration(duration)
    {
    }

    HRESULT OnThreadStartPlay() override
    {
        m_next = 0;
        return S_OK;
    }

    HRESULT FillBuffer(IMediaSample* sample) override
    {
        if (m_count < 0) {
            // Nothing to wait on but the graph's next command.
            while (!CheckRequest(nullptr)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return VFW_E_WRONG_STATE;
        }
        if (m_next >= m_count) return S_FALSE;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::memset(data, 0, static_cast<size_t>(m_bufferSize));
        sample->SetActualDataLength(m_bufferSize);
        REFERENCE_TIME start = m_next * m_duration, end = start + m_duration;
        sample->SetTime(&start, &end);
        sample->SetSyncPoint(TRUE);
        ++m_next;
        return S_OK;
    }

private:
    const int m_count;
    const REFERENCE_TIME m_duration;
    int m_next = 0;
};

}  // namespace

CBlankSampleSource::CBlankSampleSource(const CMediaType& type, int count, LONG size, REFERENCE_TIME duration)
    : CSource("blank sample source", CLSID_BlankSampleSource)
{
    AddPin(std::make_unique<CBlankSampleStream>(this, type, count, size, duration));
}

CRawVideoSource::CRawVideoSource(const RawVideoFormat& format, int frameCount)
    : CSource("raw video source", CLSID_RawVideoSource)
{
    AddPin(std::make_unique<CRawVideoStream>(this, format, frameCount));
}

CRawAudioSource::CRawAudioSource(const RawAudioFormat& format, double seconds)
    : CSource("raw audio source", CLSID_RawAudioSource)
{
    AddPin(std::make_unique<CRawAudioStream>(this, format, seconds));
}

CCollectingSink::CCollectingSink(const GUID& major) : CBaseRenderer("collecting sink", CLSID_CollectingSink), m_major(major) {}

HRESULT CCollectingSink::CheckMediaType(const CMediaType* type)
{
    return m_major == GUID_NULL || type->majortype == m_major ? S_OK : S_FALSE;
}

HRESULT CCollectingSink::DoRenderSample(IMediaSample* sample)
{
    ReceivedSample received;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    received.bytes.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(sample->GetActualDataLength()));
    REFERENCE_TIME start, end;
    const HRESULT timed = sample->GetTime(&start, &end);
    if (SUCCEEDED(timed)) received.start = start;
    if (timed == S_OK) received.end = end;
    received.syncPoint = sample->IsSyncPoint() == S_OK;
    std::lock_guard lock(m_lock);
    m_samples.push_back(std::move(received));
    return S_OK;
}

std::vector<ReceivedSample> CCollectingSink::Samples()
{
    std::lock_guard lock(m_lock);
    return m_samples;
}

CMediaType CCollectingSink::ConnectedType() { return Input()->CurrentMediaType(); }

}  // namespace testing_media
