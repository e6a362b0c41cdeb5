#include "components/decode/mpeg2_decoder.h"

#include <deque>
#include <new>

#include "components/component_ids.h"
#include "components/decode/subpicture_overlay.h"

namespace {

// How long pictures wait for a subpicture that comes late in the stream.
constexpr REFERENCE_TIME kSubpictureLead = UNITS;

// DVD subpictures, decoded into the decoder's overlay as they arrive.
class CSubpictureInputPin final : public CBaseInputPin {
public:
    CSubpictureInputPin(CBaseFilter* filter, FilterMutex* lock, SubpictureOverlay* overlay)
        : CBaseInputPin("subpicture input pin", filter, lock, "SubPicture In"), m_overlay(overlay)
    {
    }

    HRESULT CheckMediaType(const CMediaType* type) override
    {
        return type->subtype == MEDIASUBTYPE_DVD_SUBPICTURE ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }

    // The subpicture stream's thread.
    HRESULT Receive(IMediaSample* sample) override
    {
        HRESULT hr = CBaseInputPin::Receive(sample);
        if (hr != S_OK) return hr;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        REFERENCE_TIME start, end;
        const bool timed = SUCCEEDED(sample->GetTime(&start, &end));
        hr = m_overlay->Add(data, sample->GetActualDataLength(), timed ? std::optional(start) : std::nullopt);
        return Settle(StreamResult::Own(hr));
    }

    HRESULT EndFlush() override
    {
        m_overlay->Reset();
        return CBaseInputPin::EndFlush();
    }

private:
    SubpictureOverlay* const m_overlay;
};

class CMpeg2Decoder final : public CVideoDecoder {
public:
    explicit CMpeg2Decoder(const std::vector<AVCodecID>& codecs)
        : CVideoDecoder(CLSID_Mpeg2Decoder, codecs), m_subpicture(this, &m_filterLock, &m_overlay)
    {
    }

    int GetPinCount() override { return 3; }
    CBasePin* GetPin(int index) override
    {
        switch (index) {
        case 0: return Input();
        case 1: return &m_subpicture;
        case 2: return Output();
        default: return nullptr;
        }
    }

    // Before the demultiplexer starts: nothing of an earlier run shows.
    HRESULT StartStreaming() override
    {
        m_overlay.Reset();
        m_held.clear();
        return CVideoDecoder::StartStreaming();
    }

    HRESULT StopStreaming() override
    {
        m_held.clear();
        return CVideoDecoder::StopStreaming();
    }

    HRESULT EndFlush() override
    {
        {
            std::lock_guard lock(m_receiveLock);
            m_held.clear();
        }
        return CVideoDecoder::EndFlush();
    }

protected:
    StreamResult DeliverFrame(const AVFrame& frame, REFERENCE_TIME start) override
    {
        if (!m_subpicture.IsConnected()) return CVideoDecoder::DeliverFrame(frame, start);
        AvFramePtr held(av_frame_clone(&frame));
        if (!held) return StreamResult::Own(E_OUTOFMEMORY);
        m_held.push_back({std::move(held), start});
        while (m_held.back().start - m_held.front().start >= kSubpictureLead) {
            const StreamResult result = DeliverHeld();
            if (!result.Ok()) return result;
        }
        return StreamResult::Own(S_OK);
    }

    StreamResult Drained() override
    {
        while (!m_held.empty()) {
            const StreamResult result = DeliverHeld();
            if (!result.Ok()) return result;
        }
        return CVideoDecoder::Drained();
    }

    void DrawOnPicture(BYTE* picture, const RawVideoFormat& format, REFERENCE_TIME start) override
    {
        if (format.pixelFormat == AV_PIX_FMT_YUV420P) m_overlay.Blend(picture, format.width, format.height, start);
    }

private:
    struct HeldFrame {
        AvFramePtr frame;
        REFERENCE_TIME start;
    };

    StreamResult DeliverHeld()
    {
        const HeldFrame held = std::move(m_held.front());
        m_held.pop_front();
        return CVideoDecoder::DeliverFrame(*held.frame, held.start);
    }

    SubpictureOverlay m_overlay;  // before the pin that feeds it
    CSubpictureInputPin m_subpicture;
    std::deque<HeldFrame> m_held;  // streaming lock held
};

}  // namespace

HRESULT CreateMpeg2Decoder(const std::vector<AVCodecID>& codecs, REFIID riid, void** object)
{
    return QueryNewObject(new (std::nothrow) CMpeg2Decoder(codecs), riid, object);
}
