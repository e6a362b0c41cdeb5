#include "platform/dshow/transform_filter.h"

#include <algorithm>

// Input pin

CTransformInputPin::CTransformInputPin(CTransformFilter* filter, FilterMutex* lock, const char* pinName)
    : CBaseInputPin("transform input pin", filter, lock, pinName), m_transform(filter)
{
}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType* type)
{
    HRESULT hr = m_transform->CheckInputType(type);
    if (hr != S_OK) return hr;
    // With the output connected, the new input type must still fit it.
    CTransformOutputPin* output = m_transform->Output();
    if (output->IsConnected()) hr = m_transform->CheckTransform(type, &output->CurrentMediaType());
    return hr;
}

HRESULT CTransformInputPin::SetMediaType(const CMediaType* type)
{
    const HRESULT hr = CBaseInputPin::SetMediaType(type);
    return FAILED(hr) ? hr : m_transform->SetMediaType(PINDIR_INPUT, type);
}

HRESULT CTransformInputPin::CheckConnect(IPin* pin)
{
    const HRESULT hr = m_transform->CheckConnect(PINDIR_INPUT, pin);
    return FAILED(hr) ? hr : CBaseInputPin::CheckConnect(pin);
}

HRESULT CTransformInputPin::CompleteConnect(IPin* receivePin)
{
    const HRESULT hr = m_transform->CompleteConnect(PINDIR_INPUT, receivePin);
    return FAILED(hr) ? hr : CBaseInputPin::CompleteConnect(receivePin);
}

HRESULT CTransformInputPin::BreakConnect()
{
    m_transform->BreakConnect(PINDIR_INPUT);
    return CBaseInputPin::BreakConnect();
}

HRESULT CTransformInputPin::Receive(IMediaSample* sample)
{
    // A type change takes the filter lock, which Stop holds before the
    // streaming lock: so the base goes first, outside the streaming lock.
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    std::lock_guard lock(m_transform->m_receiveLock);
    hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return m_transform->Receive(sample);
}

HRESULT CTransformInputPin::EndOfStream()
{
    std::lock_guard lock(m_transform->m_receiveLock);
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return m_transform->EndOfStream();
}

HRESULT CTransformInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    return m_transform->BeginFlush();
}

HRESULT CTransformInputPin::EndFlush()
{
    CBaseInputPin::EndFlush();
    return m_transform->EndFlush();
}

HRESULT CTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    CBaseInputPin::NewSegment(start, stop, rate);
    return m_transform->NewSegment(start, stop, rate);
}

// Output pin

CTransformOutputPin::CTransformOutputPin(CTransformFilter* filter, FilterMutex* lock, const char* pinName)
    : CBaseOutputPin("transform output pin", filter, lock, pinName), m_transform(filter)
{
}

HRESULT CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IMediaSeeking::iid) {
        std::lock_guard lock(*m_lock);
        if (!m_position) m_position = std::make_unique<CPosPassThru>("pass-through seeking", this, m_transform->Input());
        return GetInterface(static_cast<IMediaSeeking*>(m_position.get()), object);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, object);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* type)
{
    CTransformInputPin* input = m_transform->Input();
    if (!input->IsConnected()) return E_UNEXPECTED;
    return m_transform->CheckTransform(&input->CurrentMediaType(), type);
}

HRESULT CTransformOutputPin::GetMediaType(int position, CMediaType* type)
{
    if (!m_transform->Input()->IsConnected()) return E_UNEXPECTED;
    return m_transform->GetMediaType(position, type);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType* type)
{
    const HRESULT hr = CBaseOutputPin::SetMediaType(type);
    return FAILED(hr) ? hr : m_transform->SetMediaType(PINDIR_OUTPUT, type);
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pin)
{
    // The output's types follow from the input's, so the input comes first.
    if (!m_transform->Input()->IsConnected()) return E_UNEXPECTED;
    const HRESULT hr = m_transform->CheckConnect(PINDIR_OUTPUT, pin);
    return FAILED(hr) ? hr : CBaseOutputPin::CheckConnect(pin);
}

HRESULT CTransformOutputPin::CompleteConnect(IPin* receivePin)
{
    const HRESULT hr = CBaseOutputPin::CompleteConnect(receivePin);
    return FAILED(hr) ? hr : m_transform->CompleteConnect(PINDIR_OUTPUT, receivePin);
}

HRESULT CTransformOutputPin::BreakConnect()
{
    m_transform->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    return m_transform->DecideBufferSize(allocator, request);
}

// Filter

CTransformFilter::CTransformFilter(const char* objectName, REFCLSID clsid, const char* inputName,
                                   const char* outputName)
    : CBaseFilter(objectName, clsid),
      m_input(this, &m_filterLock, inputName),
      m_output(this, &m_filterLock, outputName)
{
}

CTransformFilter::~CTransformFilter() = default;

CBasePin* CTransformFilter::GetPin(int index)
{
    if (index == 0) return &m_input;
    if (index == 1) return &m_output;
    return nullptr;
}

HRESULT CTransformFilter::Stop()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped()) return S_OK;
    // Inactive first: a Receive in progress fails fast instead of blocking us.
    m_input.Inactive();
    m_output.Inactive();
    HRESULT hr;
    {
        std::lock_guard streaming(m_receiveLock);
        hr = m_streaming ? StopStreaming() : S_OK;
        m_streaming = false;
        hr = SUCCEEDED(hr) ? CBaseFilter::Stop() : hr;
    }
    return hr;
}

HRESULT CTransformFilter::Pause()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped() && m_input.IsConnected() && m_output.IsConnected()) {
        std::lock_guard streaming(m_receiveLock);
        const HRESULT hr = StartStreaming();
        if (FAILED(hr)) return hr;
        m_streaming = true;
    }
    return CBaseFilter::Pause();
}

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample* input, IMediaSample** output)
{
    ASSERT_LOCK_HELD(m_receiveLock);
    IMediaSample* sample = nullptr;
    HRESULT hr = m_output.GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    REFERENCE_TIME start, end;
    if (SUCCEEDED(input->GetTime(&start, &end))) sample->SetTime(&start, &end);
    LONGLONG mediaStart, mediaEnd;
    if (SUCCEEDED(input->GetMediaTime(&mediaStart, &mediaEnd))) sample->SetMediaTime(&mediaStart, &mediaEnd);
    sample->SetSyncPoint(input->IsSyncPoint() == S_OK);
    sample->SetPreroll(input->IsPreroll() == S_OK);
    sample->SetDiscontinuity(input->IsDiscontinuity() == S_OK);
    *output = sample;
    return S_OK;
}

HRESULT CTransformFilter::Receive(IMediaSample* sample)
{
    ComPtr<IMediaSample> output;
    HRESULT hr = InitializeOutputSample(sample, output.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return m_input.Settle(StreamResult::Own(hr));
    hr = Transform(sample, output.Get());
    if (hr == S_SKIP_SAMPLE) return S_OK;
    return m_input.Settle(FAILED(hr) ? StreamResult::Own(hr) : m_output.DeliverSample(output.Get()));
}

HRESULT CTransformFilter::EndOfStream() { return m_input.Settle(m_output.DeliverStreamEnd()); }

HRESULT CTransformFilter::BeginFlush() { return m_output.DeliverBeginFlush(); }

HRESULT CTransformFilter::EndFlush() { return m_output.DeliverEndFlush(); }

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return m_output.DeliverNewSegment(start, stop, rate);
}

HRESULT CTransformFilter::SetMediaType(PIN_DIRECTION, const CMediaType*) { return S_OK; }

HRESULT CTransformFilter::CheckConnect(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT CTransformFilter::CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT CTransformFilter::BreakConnect(PIN_DIRECTION) { return S_OK; }

// In-place transform

HRESULT CTransInPlaceFilter::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    return *input == *output || output->MatchesPartial(*input) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTransInPlaceFilter::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = Input()->CurrentMediaType();
    return S_OK;
}

HRESULT CTransInPlaceFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    // The received samples travel on; this allocator only satisfies the peer.
    ALLOCATOR_PROPERTIES wanted = *request;
    wanted.cBuffers = std::max<LONG>(1, wanted.cBuffers);
    wanted.cbBuffer = std::max<LONG>(1, wanted.cbBuffer);
    ALLOCATOR_PROPERTIES actual;
    return allocator->SetProperties(&wanted, &actual);
}

HRESULT CTransInPlaceFilter::Transform(IMediaSample* input, IMediaSample*) { return Transform(input); }

HRESULT CTransInPlaceFilter::Receive(IMediaSample* sample)
{
    const HRESULT hr = Transform(sample);
    if (hr == S_SKIP_SAMPLE) return S_OK;
    return Input()->Settle(FAILED(hr) ? StreamResult::Own(hr) : Output()->DeliverSample(sample));
}
