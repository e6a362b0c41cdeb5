// SAFEARRAY: a counted, lockable array that crosses interfaces, reduced to
// one-dimensional arrays of fixed-size elements (bytes for pictures).
//
// The creator of an array hands it to the receiver, who destroys it.
// Access locks the array, so it cannot be destroyed while its data is in use.
#pragma once

#include <cstdint>

#include "platform/com/variant.h"

struct SAFEARRAYBOUND {
    uint32_t cElements;
    int32_t lLbound;
};

struct SAFEARRAY {
    uint16_t cDims;
    uint16_t fFeatures;
    uint32_t cbElements;  // bytes per element
    uint32_t cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};

inline constexpr HRESULT DISP_E_BADINDEX = MakeHResult(0x8002000B);
inline constexpr HRESULT DISP_E_ARRAYISLOCKED = MakeHResult(0x8002000D);

// A zero-filled vector of `elements` of VT_UI1, VT_I4, VT_UI4 or VT_R8,
// indexed from `lowerBound`; nullptr for other types or out of memory.
SAFEARRAY* SafeArrayCreateVector(VARTYPE type, int32_t lowerBound, uint32_t elements);
// Locks the array and gives its data; every access needs its unaccess.
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
// E_UNEXPECTED when the array is not locked.
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
// Frees the array and its data; DISP_E_ARRAYISLOCKED while accessed.
// nullptr is accepted and does nothing.
HRESULT SafeArrayDestroy(SAFEARRAY* array);
// Bounds of dimension `dimension` (1-based). An empty vector's upper bound
// is one below its lower bound.
HRESULT SafeArrayGetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* bound);
