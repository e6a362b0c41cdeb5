#include "tests/platform/dshow/test_filters.h"

#include <cstring>

namespace testing_filters {

void Gate::Open()
{
    {
        std::lock_guard lock(m_lock);
        m_open = true;
    }
    m_opened.notify_all();
}

void Gate::Wait()
{
    std::unique_lock lock(m_lock);
    m_opened.wait(lock, [this] { return m_open; });
}

CMediaType NumberedType(const GUID& subtype)
{
    CMediaType type(MEDIATYPE_Video, subtype);
    type.formattype = FORMAT_None;
    type.lSampleSize = sizeof(int32_t);
    return type;
}

namespace {

int32_t SampleNumber(IMediaSample* sample)
{
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    int32_t number;
    std::memcpy(&number, data, sizeof number);
    return number;
}

HRESULT SetSmallBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    ALLOCATOR_PROPERTIES wanted = *request;
    wanted.cBuffers = std::max<LONG>(2, request->cBuffers);
    wanted.cbBuffer = std::max<LONG>(sizeof(int32_t), request->cbBuffer);
    ALLOCATOR_PROPERTIES actual;
    return allocator->SetProperties(&wanted, &actual);
}

}  // namespace

std::atomic<int> CNumberedSource::s_liveThreads{0};

CNumberedSource::CNumberedSource(const SourceSettings& settings) : CSource("numbered source", CLSID_NumberedSource)
{
    AddPin(std::make_unique<CNumberedStream>(this, settings));
}

CNumberedStream* CNumberedSource::Stream() { return static_cast<CNumberedStream*>(GetPin(0)); }

CNumberedStream::CNumberedStream(CNumberedSource* filter, const SourceSettings& settings)
    : CSourceStream("numbered stream", filter, "Out"),
      CSourceSeeking(settings.count < 0 ? INT64_MAX : settings.count * kFrameTime),
      m_settings(settings)
{
}

HRESULT CNumberedStream::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IMediaSeeking::iid) return GetInterface(static_cast<IMediaSeeking*>(this), object);
    return CSourceStream::NonDelegatingQueryInterface(riid, object);
}

HRESULT CNumberedStream::CheckMediaType(const CMediaType* type)
{
    return type->majortype == MEDIATYPE_Video && type->subtype == m_settings.subtype ? S_OK : S_FALSE;
}

HRESULT CNumberedStream::GetMediaType(int position, CMediaType* type)
{
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = NumberedType(m_settings.subtype);
    return S_OK;
}

HRESULT CNumberedStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    return SetSmallBuffers(allocator, request);
}

std::thread::id CNumberedStream::StreamingThread()
{
    std::lock_guard lock(m_threadLock);
    return m_thread;
}

HRESULT CNumberedStream::OnThreadCreate()
{
    {
        std::lock_guard lock(m_threadLock);
        m_thread = std::this_thread::get_id();
    }
    ++CNumberedSource::s_liveThreads;
    return S_OK;
}

HRESULT CNumberedStream::OnThreadDestroy()
{
    --CNumberedSource::s_liveThreads;
    return S_OK;
}

HRESULT CNumberedStream::OnThreadStartPlay()
{
    // Trimming: the first and last sample follow the start and stop positions.
    m_next = static_cast<int>(StartPosition() / kFrameTime);
    const REFERENCE_TIME stop = StopPosition();
    m_end = stop == INT64_MAX ? -1 : static_cast<int>((stop + kFrameTime - 1) / kFrameTime);
    return S_OK;
}

HRESULT CNumberedStream::FillBuffer(IMediaSample* sample)
{
    const int number = m_next.load();
    if (m_end >= 0 && number >= m_end) return S_FALSE;
    if (number == m_settings.failAt) return kSourceFailure;
    if (number == 0 && m_settings.holdFirst) m_settings.holdFirst->Wait();
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const int32_t value = number;
    std::memcpy(data, &value, sizeof value);
    sample->SetActualDataLength(sizeof value);
    REFERENCE_TIME start = number * kFrameTime, end = start + kFrameTime;
    sample->SetTime(&start, &end);
    sample->SetSyncPoint(TRUE);
    m_next = number + 1;
    return S_OK;
}

CPassThrough::CPassThrough() : CTransInPlaceFilter("pass-through", CLSID_PassThrough) {}

HRESULT CPassThrough::CheckInputType(const CMediaType*) { return S_OK; }

HRESULT CPassThrough::Transform(IMediaSample*)
{
    ++passed;
    return S_OK;
}

CConverter::CConverter(REFCLSID clsid, const GUID& from, const GUID& to)
    : CTransformFilter("converter", clsid), m_from(from), m_to(to)
{
}

HRESULT CConverter::CheckInputType(const CMediaType* type)
{
    return type->majortype == MEDIATYPE_Video && type->subtype == m_from ? S_OK : S_FALSE;
}

HRESULT CConverter::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    return CheckInputType(input) == S_OK && output->subtype == m_to ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CConverter::GetMediaType(int position, CMediaType* type)
{
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = NumberedType(m_to);
    return S_OK;
}

HRESULT CConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    return SetSmallBuffers(allocator, request);
}

HRESULT CConverter::Transform(IMediaSample* input, IMediaSample* output)
{
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    input->GetPointer(&from);
    output->GetPointer(&to);
    std::memcpy(to, from, input->GetActualDataLength());
    return output->SetActualDataLength(input->GetActualDataLength());
}

CTestSink::CTestSink(const GUID& subtype) : CBaseRenderer("test sink", CLSID_TestSink), m_subtype(subtype) {}

HRESULT CTestSink::CheckMediaType(const CMediaType* type)
{
    if (type->majortype != MEDIATYPE_Video) return S_FALSE;
    return m_subtype == GUID_NULL || type->subtype == m_subtype ? S_OK : S_FALSE;
}

HRESULT CTestSink::DoRenderSample(IMediaSample* sample)
{
    const int number = SampleNumber(sample);
    Gate* hold = nullptr;
    {
        std::lock_guard lock(m_lock);
        if (number == m_holdNumber) hold = m_hold;
        m_holding = hold != nullptr;
    }
    m_arrived.notify_all();
    if (hold) hold->Wait();
    {
        std::lock_guard lock(m_lock);
        m_received.push_back(number);
        m_renderingThread = std::this_thread::get_id();
    }
    m_arrived.notify_all();
    return S_OK;
}

std::vector<int> CTestSink::Received()
{
    std::lock_guard lock(m_lock);
    return m_received;
}

void CTestSink::WaitUntilHolding()
{
    std::unique_lock lock(m_lock);
    m_arrived.wait(lock, [this] { return m_holding; });
}

std::thread::id CTestSink::RenderingThread()
{
    std::lock_guard lock(m_lock);
    return m_renderingThread;
}

int CTestSink::ReceivedCount()
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_received.size());
}

bool CTestSink::WaitForSamples(int count)
{
    std::unique_lock lock(m_lock);
    return m_arrived.wait_for(lock, std::chrono::seconds(10),
                              [&] { return static_cast<int>(m_received.size()) >= count; });
}

void CTestSink::HoldSample(int number, Gate* gate)
{
    std::lock_guard lock(m_lock);
    m_holdNumber = number;
    m_hold = gate;
}

CManualClock::CManualClock() : CUnknown("manual clock"), m_owner(std::this_thread::get_id()) {}

HRESULT CManualClock::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IReferenceClock::iid)
        return GetInterface(static_cast<IReferenceClock*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CManualClock::GetTime(REFERENCE_TIME* time)
{
    if (!time) return E_POINTER;
    *time = now.load();
    if (std::this_thread::get_id() != m_owner) {
        {
            std::lock_guard lock(m_lock);
            m_foreignQuery = true;
        }
        m_queried.notify_all();
    }
    return S_OK;
}

bool CManualClock::WaitForQueryFromAnotherThread()
{
    std::unique_lock lock(m_lock);
    m_foreignQuery = false;
    return m_queried.wait_for(lock, std::chrono::seconds(10), [this] { return m_foreignQuery; });
}

ScopedConverter::ScopedConverter(REFCLSID clsid, const GUID& from, const GUID& to, DWORD merit)
    : factory(clsid, [clsid, from, to](REFIID riid, void** object) {
          return QueryNewObject(new CConverter(clsid, from, to), riid, object);
      }),
      registration(RegisteredFilter{clsid, "Converter", merit, {{MEDIATYPE_Video, from}}})
{
}

}  // namespace testing_filters
