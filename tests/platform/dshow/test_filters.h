// Small filters for testing the engine: a source of numbered samples, a
// pass-through, a type converter and a sink, and a clock the test moves.
// The filters are registered only by the tests that use them.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/dshow/base_renderer.h"
#include "platform/dshow/filter_mapper.h"
#include "platform/dshow/source.h"
#include "platform/dshow/source_seeking.h"
#include "platform/dshow/transform_filter.h"

namespace testing_filters {

// Test media sub types: the converter turns A into B.
inline constexpr GUID kSubtypeA = GuidFromFourCC(MakeFourCC('T', 'S', 'T', 'A'));
inline constexpr GUID kSubtypeB = GuidFromFourCC(MakeFourCC('T', 'S', 'T', 'B'));
inline constexpr GUID kSubtypeC = GuidFromFourCC(MakeFourCC('T', 'S', 'T', 'C'));

inline constexpr CLSID CLSID_NumberedSource = MakeGuid("{A0000001-0000-4000-8000-000000000001}");
inline constexpr CLSID CLSID_PassThrough = MakeGuid("{A0000001-0000-4000-8000-000000000002}");
inline constexpr CLSID CLSID_ConverterAB = MakeGuid("{A0000001-0000-4000-8000-000000000003}");
inline constexpr CLSID CLSID_OtherConverterAB = MakeGuid("{A0000001-0000-4000-8000-000000000004}");
inline constexpr CLSID CLSID_ConverterAC = MakeGuid("{A0000001-0000-4000-8000-000000000005}");
inline constexpr CLSID CLSID_TestSink = MakeGuid("{A0000001-0000-4000-8000-000000000006}");

inline constexpr REFERENCE_TIME kFrameTime = UNITS / 25;

// A one-shot gate that test code opens; waiters may also give up when told.
class Gate {
public:
    void Open();
    void Wait();

private:
    std::mutex m_lock;
    std::condition_variable m_opened;
    bool m_open = false;
};

struct SourceSettings {
    int count = 10;             // samples to send; -1 for no end
    GUID subtype = kSubtypeA;
    int failAt = -1;            // FillBuffer fails with kSourceFailure at this sample
    Gate* holdFirst = nullptr;  // FillBuffer of the first sample waits for this gate
};
inline constexpr HRESULT kSourceFailure = MakeHResult(0x80041234);

class CNumberedStream;

// Sends samples of 4 bytes holding their number, with times n * kFrameTime.
// Its pin offers IMediaSeeking with the duration count * kFrameTime.
class CNumberedSource final : public CSource {
public:
    explicit CNumberedSource(const SourceSettings& settings = {});
    CNumberedStream* Stream();

    // Threads that are running now, across all numbered sources.
    static std::atomic<int> s_liveThreads;
};

class CNumberedStream final : public CSourceStream, public CSourceSeeking {
public:
    CNumberedStream(CNumberedSource* filter, const SourceSettings& settings);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;
    HRESULT OnThreadStartPlay() override;

    int Delivered() const { return m_next.load(); }
    std::thread::id StreamingThread();

private:
    SourceSettings m_settings;
    std::atomic<int> m_next{0};
    int m_end = 0;  // streaming thread
    std::mutex m_threadLock;
    std::thread::id m_thread;
};

// Passes every sample on and counts them.
class CPassThrough final : public CTransInPlaceFilter {
public:
    CPassThrough();
    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT Transform(IMediaSample* sample) override;
    using CTransInPlaceFilter::Transform;

    std::atomic<int> passed{0};
};

// Turns sub type `from` into `to`, copying the payload.
class CConverter final : public CTransformFilter {
public:
    CConverter(REFCLSID clsid, const GUID& from, const GUID& to);
    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

private:
    GUID m_from, m_to;
};

// Accepts one sub type (GUID_NULL: any) and records the numbers it received.
class CTestSink final : public CBaseRenderer {
public:
    explicit CTestSink(const GUID& subtype = GUID_NULL);
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;

    std::vector<int> Received();
    std::thread::id RenderingThread();
    int ReceivedCount();
    // Waits until at least `count` samples arrived.
    // False when they have not all arrived within a generous ten seconds.
    [[nodiscard]] bool WaitForSamples(int count);
    // DoRenderSample of sample `number` waits for the gate before it counts.
    void HoldSample(int number, Gate* gate);
    // Waits until the held sample has arrived and waits at the gate.
    void WaitUntilHolding();
    // Stopping fails with `failure`, as a writer whose file fails to close.
    void FailClosingWith(HRESULT failure) { m_closeFailure = failure; }
    HRESULT OnStopStreaming() override { return m_closeFailure; }

private:
    GUID m_subtype;
    std::atomic<HRESULT> m_closeFailure{S_OK};
    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::vector<int> m_received;
    std::thread::id m_renderingThread;
    int m_holdNumber = -1;
    Gate* m_hold = nullptr;
    bool m_holding = false;
};

// A reference clock that moves only when the test sets `now`.
class CManualClock final : public CUnknown, public IReferenceClock {
public:
    CManualClock();
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT GetTime(REFERENCE_TIME* time) override;

    // Waits for the next time query from a thread other than the one that
    // made the clock: a renderer waiting for a sample's time asks over and
    // over. False when none came within ten seconds.
    [[nodiscard]] bool WaitForQueryFromAnotherThread();

    std::atomic<REFERENCE_TIME> now{0};

private:
    const std::thread::id m_owner;
    std::mutex m_lock;
    std::condition_variable m_queried;
    bool m_foreignQuery = false;
};

// The media type the numbered source offers for `subtype`.
CMediaType NumberedType(const GUID& subtype);

// A converter from `from` to `to` that intelligent connect may use, for one
// scope: its class for CoCreateInstance and its registration by merit.
struct ScopedConverter {
    ScopedConverter(REFCLSID clsid, const GUID& from, const GUID& to, DWORD merit);

    ScopedClassOverride factory;
    ScopedFilterRegistration registration;
};

}  // namespace testing_filters
