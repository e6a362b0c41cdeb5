// Small pieces the converters share when they make samples of their own:
// sizing an output allocator and delivering bytes as a new sample with
// chosen times.
#pragma once

#include "platform/dshow/output_pin.h"

// Asks `allocator` for at least `count` buffers of at least `size` bytes,
// or more where the peer wanted more.
HRESULT SetBufferProperties(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& request, LONG count, LONG size);

// Streaming thread: takes a buffer from `pin`, copies `size` bytes into it,
// stamps it [start, end), marks it a sync point and delivers it.
StreamResult DeliverBytes(CBaseOutputPin* pin, const BYTE* data, LONG size, REFERENCE_TIME start, REFERENCE_TIME end);
