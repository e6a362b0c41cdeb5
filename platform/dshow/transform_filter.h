// CTransformFilter: one input, one output, each input sample turned into one
// output sample on the upstream streaming thread.
//
// Override points, and when they are called:
// - CheckInputType: an upstream pin offers a type for the input.
// - GetMediaType / CheckTransform: the output's proposed types, and whether
//   an input type can become an output type. The output connects only after
//   the input.
// - DecideBufferSize: sizing the output's buffers when it connects.
// - StartStreaming / StopStreaming: around a run, with the streaming lock held.
// - Transform: one sample in, one out. Return S_OK to deliver the output,
//   S_SKIP_SAMPLE to drop it, a failure to end the stream with EC_ERRORABORT.
// - EndOfStream, BeginFlush, EndFlush, NewSegment: passed downstream by default.
//
// Stop makes the input inactive before it takes the streaming lock, so a
// Receive that blocks downstream cannot deadlock a stop.
#pragma once

#include <memory>

#include "platform/dshow/input_pin.h"
#include "platform/dshow/output_pin.h"
#include "platform/dshow/pos_pass_thru.h"

// Transform's "processed, but there is nothing to deliver".
inline constexpr HRESULT S_SKIP_SAMPLE = MakeHResult(0x0004FE01);

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
public:
    CTransformInputPin(CTransformFilter* filter, FilterMutex* lock, const char* pinName);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    CTransformFilter* const m_transform;
};

class CTransformOutputPin : public CBaseOutputPin {
public:
    CTransformOutputPin(CTransformFilter* filter, FilterMutex* lock, const char* pinName);

    // Adds IMediaSeeking, passed to whatever feeds the input.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    CTransformFilter* const m_transform;
    std::unique_ptr<CPosPassThru> m_position;
};

class CTransformFilter : public CBaseFilter {
public:
    CTransformFilter(const char* objectName, REFCLSID clsid, const char* inputName = "In",
                     const char* outputName = "Out");
    ~CTransformFilter() override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int index) override;
    HRESULT Stop() override;
    HRESULT Pause() override;

    virtual HRESULT CheckInputType(const CMediaType* type) = 0;
    virtual HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) = 0;
    virtual HRESULT GetMediaType(int position, CMediaType* type) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    virtual HRESULT Transform(IMediaSample* input, IMediaSample* output) = 0;

    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    // Called with the streaming lock held; the default gets an output buffer,
    // transforms into it and delivers it.
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    virtual HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type);
    virtual HRESULT CheckConnect(PIN_DIRECTION direction, IPin* pin);
    virtual HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* receivePin);
    virtual HRESULT BreakConnect(PIN_DIRECTION direction);

    CTransformInputPin* Input() { return &m_input; }
    CTransformOutputPin* Output() { return &m_output; }

protected:
    // An output buffer with the input's times and flags copied over.
    HRESULT InitializeOutputSample(IMediaSample* input, IMediaSample** output);

    // Guards the streaming path: Receive, end of stream, and streaming start/stop.
    StreamingMutex m_receiveLock;

private:
    friend class CTransformInputPin;

    CTransformInputPin m_input;
    CTransformOutputPin m_output;
    bool m_streaming = false;  // guarded by m_receiveLock
};

// A transform that changes samples in place (or only looks at them) and
// delivers the very sample it received. Its output type is its input type.
class CTransInPlaceFilter : public CTransformFilter {
public:
    using CTransformFilter::CTransformFilter;

    virtual HRESULT Transform(IMediaSample* sample) = 0;

    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;
    HRESULT Receive(IMediaSample* sample) override;
};
