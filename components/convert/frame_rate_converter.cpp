#include "components/convert/frame_rate_converter.h"

#include <algorithm>
#include <cstdlib>

#include "components/common/sample_delivery.h"
#include "components/component_ids.h"

namespace {

constexpr int32_t kMaxHundredths = 24000;
// A gap in the input longer than this is not filled with copies of one
// frame: broken time stamps must not make the output endless.
constexpr REFERENCE_TIME kMaxFill = 60 * UNITS;

std::map<GUID, ModuleParameter> FrameRateParameters()
{
    ModuleParameter rate = IntegerParameter(0, -kMaxHundredths, kMaxHundredths);
    rate.isValid = [inRange = rate.isValid](const VARIANT& value) {
        return inRange(value) && (value.lVal == 0 || std::abs(value.lVal) >= 100);
    };
    return {{component_params::FrameRate, rate}};
}

}  // namespace

AVRational FrameRateFromHundredths(int32_t hundredths)
{
    if (hundredths > 0) return av_make_q(hundredths, 100);
    if (hundredths < 0) return av_make_q((-hundredths + 50) / 100 * 1000, 1001);
    return AVRational{0, 1};
}

CFrameRateConverter::CFrameRateConverter()
    : CTransformFilter("frame-rate converter", CLSID_FrameRateConverter),
      m_config(static_cast<IBaseFilter*>(this), CLSID_FrameRateConverter, FrameRateParameters())
{
}

HRESULT CFrameRateConverter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IModuleConfig::iid) return GetInterface(static_cast<IModuleConfig*>(&m_config), object);
    return CTransformFilter::NonDelegatingQueryInterface(riid, object);
}

RawVideoFormat CFrameRateConverter::OutputFormat(const RawVideoFormat& input) const
{
    RawVideoFormat output = input;
    const AVRational rate = FrameRateFromHundredths(m_config.Int(component_params::FrameRate));
    if (rate.num > 0) output.timePerFrame = av_rescale(UNITS, rate.den, rate.num);
    return output;
}

HRESULT CFrameRateConverter::CheckInputType(const CMediaType* type)
{
    return ReadRawVideoType(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CFrameRateConverter::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    const auto in = ReadRawVideoType(*input);
    const auto out = ReadRawVideoType(*output);
    if (!in || !out) return VFW_E_TYPE_NOT_ACCEPTED;
    const RawVideoFormat wanted = OutputFormat(*in);
    const bool same = out->pixelFormat == wanted.pixelFormat && out->width == wanted.width &&
                      out->height == wanted.height && out->timePerFrame == wanted.timePerFrame;
    return same ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CFrameRateConverter::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const auto in = ReadRawVideoType(Input()->CurrentMediaType());
    if (!in) return E_UNEXPECTED;
    *type = RawVideoType(OutputFormat(*in));
    return S_OK;
}

HRESULT CFrameRateConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    const auto out = ReadRawVideoType(Output()->CurrentMediaType());
    if (!out) return E_UNEXPECTED;
    return SetBufferProperties(allocator, *request, 2, RawFrameSize(*out));
}

HRESULT CFrameRateConverter::StartStreaming()
{
    const auto in = ReadRawVideoType(Input()->CurrentMediaType());
    if (!in) return E_UNEXPECTED;
    m_rate = FrameRateFromHundredths(m_config.Int(component_params::FrameRate));
    m_inputFrameTime = in->timePerFrame > 0 ? in->timePerFrame : OutputFormat(*in).timePerFrame;
    ResetTimeline();
    return S_OK;
}

void CFrameRateConverter::ResetTimeline()
{
    m_holding = false;
    m_held.clear();
    m_nextSlot = 0;
}

HRESULT CFrameRateConverter::Transform(IMediaSample*, IMediaSample*)
{
    return E_UNEXPECTED;  // never called: Receive delivers every sample itself
}

REFERENCE_TIME CFrameRateConverter::SlotTime(int64_t slot) const
{
    return m_origin + av_rescale(slot, UNITS * m_rate.den, m_rate.num);
}

StreamResult CFrameRateConverter::DeliverHeldUntil(REFERENCE_TIME boundary)
{
    // A gap too long to fill: show the frame once, then go on from the first
    // slot after the gap, on the same grid.
    const bool gap = boundary - SlotTime(m_nextSlot) > kMaxFill;
    const REFERENCE_TIME fillEnd = gap ? SlotTime(m_nextSlot) + 1 : boundary;
    const LONG size = static_cast<LONG>(m_held.size());
    for (; SlotTime(m_nextSlot) < fillEnd; ++m_nextSlot) {
        const StreamResult result =
            DeliverBytes(Output(), m_held.data(), size, SlotTime(m_nextSlot), SlotTime(m_nextSlot + 1));
        if (!result.Ok()) return result;
    }
    if (gap) m_nextSlot = av_rescale_rnd(boundary - m_origin, m_rate.num, UNITS * m_rate.den, AV_ROUND_UP);
    return StreamResult::Own(S_OK);
}

HRESULT CFrameRateConverter::Receive(IMediaSample* sample)
{
    // Passing through, the very sample travels on.
    if (m_rate.num == 0) return Input()->Settle(Output()->DeliverSample(sample));

    REFERENCE_TIME start, end;
    const HRESULT timed = sample->GetTime(&start, &end);
    if (FAILED(timed)) start = m_holding ? m_heldStart + m_inputFrameTime : 0;
    if (timed != S_OK) end = start + m_inputFrameTime;

    if (!m_holding) {
        m_origin = start;
        m_nextSlot = 0;
    } else {
        // Slots up to the midpoint are nearer the held frame than this one
        // (a tie goes to the earlier frame, so doubling gives 0 0 1 1...).
        const StreamResult result = DeliverHeldUntil(m_heldStart + (start - m_heldStart) / 2 + 1);
        if (!result.Ok()) return Input()->Settle(result);
    }
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    m_held.assign(data, data + sample->GetActualDataLength());
    m_heldStart = start;
    m_heldEnd = end;
    m_holding = true;
    return S_OK;
}

HRESULT CFrameRateConverter::EndOfStream()
{
    if (m_rate.num != 0 && m_holding) {
        // The last frame covers to its end, and a stream of frames is never
        // turned into none.
        const REFERENCE_TIME end = m_nextSlot == 0 ? std::max(m_heldEnd, SlotTime(0) + 1) : m_heldEnd;
        const StreamResult result = DeliverHeldUntil(end);
        ResetTimeline();
        if (!result.Ok()) return Input()->Settle(result);
    }
    return CTransformFilter::EndOfStream();
}

HRESULT CFrameRateConverter::EndFlush()
{
    {
        std::lock_guard lock(m_receiveLock);
        ResetTimeline();
    }
    return CTransformFilter::EndFlush();
}

HRESULT CFrameRateConverter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    {
        std::lock_guard lock(m_receiveLock);
        ResetTimeline();
    }
    return CTransformFilter::NewSegment(start, stop, rate);
}
