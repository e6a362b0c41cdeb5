#include "components/encode/encoder_filter.h"

#include "components/common/packet_sample.h"
#include "components/common/sample_delivery.h"
#include "components/encode/encode_packets.h"

namespace {

CMediaType OutputTypeOf(const AVCodecContext& codec)
{
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters || avcodec_parameters_from_context(parameters.get(), &codec) < 0) return CMediaType();
    return CompressedType(*parameters, codec.codec_type == AVMEDIA_TYPE_VIDEO ? codec.framerate : AVRational{0, 1});
}

}  // namespace

CEncoderFilter::CEncoderFilter(const char* objectName, REFCLSID clsid, AVCodecID codec,
                               std::map<GUID, ModuleParameter> parameters)
    : CTransformFilter(objectName, clsid),
      m_config(static_cast<IBaseFilter*>(this), clsid, std::move(parameters)),
      m_codecId(codec)
{
}

CEncoderFilter::~CEncoderFilter() = default;

HRESULT CEncoderFilter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IModuleConfig::iid) return GetInterface(static_cast<IModuleConfig*>(&m_config), object);
    return CTransformFilter::NonDelegatingQueryInterface(riid, object);
}

HRESULT CEncoderFilter::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters) return E_OUTOFMEMORY;
    if (output->majortype != input->majortype || output->subtype != SubtypeForCodec(m_codecId) ||
        ReadCompressedType(*output, parameters.get()) != S_OK || parameters->codec_id != m_codecId)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CEncoderFilter::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    AvCodecContextPtr codec;
    const HRESULT hr = OpenCodec(Input()->CurrentMediaType(), &codec);
    if (FAILED(hr)) return hr;
    *type = OutputTypeOf(*codec);
    return type->pbFormat ? S_OK : E_OUTOFMEMORY;
}

HRESULT CEncoderFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    return SetBufferProperties(allocator, *request, 4, MaxPacketSize(Input()->CurrentMediaType()));
}

HRESULT CEncoderFilter::StartStreaming()
{
    AvCodecContextPtr codec;
    const HRESULT hr = OpenCodec(Input()->CurrentMediaType(), &codec);
    if (FAILED(hr)) return hr;
    m_codec = std::move(codec);
    const CMediaType type = OutputTypeOf(*m_codec);
    m_changedType = type == Output()->CurrentMediaType() ? CMediaType() : type;
    return S_OK;
}

HRESULT CEncoderFilter::StopStreaming()
{
    m_codec.reset();
    return S_OK;
}

HRESULT CEncoderFilter::Receive(IMediaSample* sample)
{
    if (!m_codec) return VFW_E_NOT_CONNECTED;
    std::vector<AvPacketPtr> packets;
    const HRESULT hr = Encode(sample, &packets);
    return Input()->Settle(FAILED(hr) ? StreamResult::Own(hr) : DeliverPackets(packets));
}

HRESULT CEncoderFilter::EndOfStream()
{
    if (!m_codec) return VFW_E_NOT_CONNECTED;
    std::vector<AvPacketPtr> packets;
    const HRESULT hr = Finish(&packets);
    const StreamResult result = FAILED(hr) ? StreamResult::Own(hr) : DeliverPackets(packets);
    return result.Ok() ? CTransformFilter::EndOfStream() : Input()->Settle(result);
}

HRESULT CEncoderFilter::Finish(std::vector<AvPacketPtr>* packets) { return EncodeFrame(m_codec.get(), nullptr, packets); }

StreamResult CEncoderFilter::DeliverPackets(const std::vector<AvPacketPtr>& packets)
{
    for (const auto& packet : packets) {
        const StreamResult result = Output()->DeliverNewSample([&](IMediaSample* sample) {
            const HRESULT hr = PacketToSample(*packet, m_codec->time_base, sample);
            if (SUCCEEDED(hr) && m_changedType.IsValid()) {
                sample->SetMediaType(&m_changedType);
                m_changedType = CMediaType();
            }
            return hr;
        });
        if (!result.Ok()) return result;
    }
    return StreamResult::Own(S_OK);
}
