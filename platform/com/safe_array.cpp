#include "platform/com/safe_array.h"

#include <cstdlib>
#include <new>

namespace {

uint32_t ElementSize(VARTYPE type)
{
    switch (type) {
    case VT_UI1: return 1;
    case VT_I4:
    case VT_UI4: return 4;
    case VT_R8: return 8;
    default: return 0;
    }
}

HRESULT CheckDimension(SAFEARRAY* array, uint32_t dimension, int32_t* bound)
{
    if (!array || !bound) return E_POINTER;
    if (dimension < 1 || dimension > array->cDims) return DISP_E_BADINDEX;
    return S_OK;
}

}  // namespace

SAFEARRAY* SafeArrayCreateVector(VARTYPE type, int32_t lowerBound, uint32_t elements)
{
    const uint32_t size = ElementSize(type);
    if (size == 0) return nullptr;
    auto* array = new (std::nothrow) SAFEARRAY{1, 0, size, 0, nullptr, {{elements, lowerBound}}};
    if (!array) return nullptr;
    // calloc checks the multiplication for overflow; one byte keeps an empty
    // vector's data pointer valid.
    array->pvData = elements ? std::calloc(elements, size) : std::calloc(1, 1);
    if (!array->pvData) {
        delete array;
        return nullptr;
    }
    return array;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data)
{
    if (!array || !data) return E_POINTER;
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array)
{
    if (!array) return E_POINTER;
    if (array->cLocks == 0) return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array)
{
    if (!array) return S_OK;
    if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    std::free(array->pvData);
    delete array;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* bound)
{
    const HRESULT hr = CheckDimension(array, dimension, bound);
    if (FAILED(hr)) return hr;
    *bound = array->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* bound)
{
    const HRESULT hr = CheckDimension(array, dimension, bound);
    if (FAILED(hr)) return hr;
    const SAFEARRAYBOUND& range = array->rgsabound[0];
    *bound = static_cast<int32_t>(static_cast<int64_t>(range.lLbound) + range.cElements - 1);
    return S_OK;
}
