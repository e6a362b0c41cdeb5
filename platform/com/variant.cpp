#include "platform/com/variant.h"

#include <cstdlib>
#include <cstring>

namespace {

// A BSTR points just past its 4-byte length prefix.
uint32_t* LengthPrefix(BSTR text) { return reinterpret_cast<uint32_t*>(text) - 1; }

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, uint32_t length)
{
    auto* block = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) + length + 1));
    if (!block) return nullptr;
    *block = length;
    auto* chars = reinterpret_cast<OLECHAR*>(block + 1);
    if (text)
        std::memcpy(chars, text, length);
    else
        std::memset(chars, 0, length);
    chars[length] = '\0';
    return chars;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text) return nullptr;
    return SysAllocStringLen(text, static_cast<uint32_t>(std::strlen(text)));
}

void SysFreeString(BSTR text)
{
    if (text) std::free(LengthPrefix(text));
}

uint32_t SysStringLen(BSTR text) { return text ? *LengthPrefix(text) : 0; }

void VariantInit(VARIANT* value)
{
    value->vt = VT_EMPTY;
    value->ulVal = 0;
}

HRESULT VariantClear(VARIANT* value)
{
    if (!value) return E_POINTER;
    if (value->vt == VT_BSTR) SysFreeString(value->bstrVal);
    VariantInit(value);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* target, const VARIANT* source)
{
    if (!target || !source) return E_POINTER;
    if (target == source) return S_OK;
    VariantClear(target);
    if (source->vt == VT_BSTR) {
        // A null string stays null rather than becoming an allocated empty one.
        BSTR copy = nullptr;
        if (source->bstrVal) {
            copy = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
            if (!copy) return E_OUTOFMEMORY;
        }
        target->vt = VT_BSTR;
        target->bstrVal = copy;
        return S_OK;
    }
    *target = *source;
    return S_OK;
}

void* CoTaskMemAlloc(size_t size) { return std::malloc(size ? size : 1); }

void CoTaskMemFree(void* block) { std::free(block); }

LPOLESTR CoTaskStrDup(const char* text)
{
    if (!text) return nullptr;
    const size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(size));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}
