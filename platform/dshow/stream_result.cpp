#include "platform/dshow/stream_result.h"

namespace {

// The answers a pin or an allocator gives while the graph stops, or once a
// stream has ended.
bool MeansStopping(HRESULT hr)
{
    return hr == VFW_E_WRONG_STATE || hr == VFW_E_NOT_COMMITTED || hr == VFW_E_SAMPLE_REJECTED_EOS;
}

}  // namespace

StreamResult StreamResult::Own(HRESULT hr)
{
    if (SUCCEEDED(hr)) return {Kind::Ok, hr};
    return {MeansStopping(hr) ? Kind::Stopping : Kind::Failed, hr};
}

StreamResult StreamResult::Delivery(HRESULT hr)
{
    if (hr == S_OK) return {Kind::Ok, hr};
    if (hr == S_FALSE || MeansStopping(hr)) return {Kind::Stopping, hr};
    return {SUCCEEDED(hr) ? Kind::Ok : Kind::Refused, hr};
}
