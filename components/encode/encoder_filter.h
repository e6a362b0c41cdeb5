// CEncoderFilter: what the video and audio encoders share. Raw samples in on
// "In", one sample per encoded packet out on "Out" (components/common/packet_sample.h
// says how a packet's times travel).
//
// A derived encoder opens its codec from the input type and its committed
// parameters (OpenCodec) and turns samples into packets (Encode, Finish);
// this base delivers each packet as a sample. An encoder holds frames back
// (look-ahead, B-frames, AAC's priming), so one input sample makes zero or
// more output samples, and end of stream first drains the codec.
//
// The output type is the compressed type of media_format.h with the codec's
// global header as extra data, so a multiplexer can write it. It is learnt by
// opening the codec when the output connects, so commit the parameters before
// connecting "Out". The codec is opened afresh when streaming starts; should
// the parameters have changed since, the first sample carries the new type.
//
// Threads: OpenCodec runs on the application's thread (connection, pause);
// Encode and Finish on the upstream streaming thread with the streaming lock
// held, which also guards the codec.
#pragma once

#include <map>
#include <vector>

#include "components/common/media_format.h"
#include "components/common/module_config.h"
#include "platform/dshow/transform_filter.h"

class CEncoderFilter : public CTransformFilter {
public:
    CEncoderFilter(const char* objectName, REFCLSID clsid, AVCodecID codec,
                   std::map<GUID, ModuleParameter> parameters);
    ~CEncoderFilter() override;

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    // Never called: Receive delivers the packets itself.
    HRESULT Transform(IMediaSample*, IMediaSample*) override { return E_UNEXPECTED; }

protected:
    // An opened codec for `input` and the committed parameters.
    virtual HRESULT OpenCodec(const CMediaType& input, AvCodecContextPtr* codec) = 0;
    // Encodes what `sample` holds; appends the packets ready.
    virtual HRESULT Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets) = 0;
    // The input has ended: appends every packet still held. By default
    // drains the codec.
    virtual HRESULT Finish(std::vector<AvPacketPtr>* packets);
    // The largest packet the codec may give for the connected input.
    virtual LONG MaxPacketSize(const CMediaType& input) const = 0;

    // The codec opened for streaming (StartStreaming to StopStreaming).
    AVCodecContext* Codec() const { return m_codec.get(); }

    CModuleConfig m_config;

private:
    // Delivers in order; stops at the first result that is not Ok.
    StreamResult DeliverPackets(const std::vector<AvPacketPtr>& packets);

    const AVCodecID m_codecId;
    // Streaming state, guarded by the streaming lock.
    AvCodecContextPtr m_codec;
    CMediaType m_changedType;  // attached to the next sample when set
};
