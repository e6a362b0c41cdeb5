// BSTR and VARIANT: the strings and tagged values that cross interfaces.
//
// A BSTR here holds UTF-8 text (OLECHAR is char), prefixed by its byte length
// and always null-terminated, so it can also be read as a C string.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/com/hresult.h"

using OLECHAR = char;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

// A copy of a null-terminated string; nullptr for nullptr or out of memory.
BSTR SysAllocString(const OLECHAR* text);
// A copy of `length` bytes (which may contain nulls); text may be nullptr for zeroes.
BSTR SysAllocStringLen(const OLECHAR* text, uint32_t length);
void SysFreeString(BSTR text);
// The length in bytes, not counting the terminator; 0 for nullptr.
uint32_t SysStringLen(BSTR text);

using VARTYPE = uint16_t;
enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_UI1 = 17,
    VT_UI4 = 19,
};

// COM's boolean: all bits set for true.
using VARIANT_BOOL = int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

struct VARIANT {
    VARTYPE vt;
    union {
        int32_t lVal;
        uint32_t ulVal;
        double dblVal;
        BSTR bstrVal;
    };
};

void VariantInit(VARIANT* value);
// Frees what the value owns (a BSTR) and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANT* value);
// Clears `target` and makes it a deep copy of `source`.
HRESULT VariantCopy(VARIANT* target, const VARIANT* source);

// Memory that crosses an interface and is freed by the receiver
// (media type format blocks, file names handed out).
void* CoTaskMemAlloc(size_t size);
void CoTaskMemFree(void* block);
// A CoTaskMemAlloc'ed copy of a C string; nullptr for nullptr or out of memory.
LPOLESTR CoTaskStrDup(const char* text);
