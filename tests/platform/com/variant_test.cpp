#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

namespace {

std::string_view Bytes(BSTR text) { return {text, SysStringLen(text)}; }

TEST(Bstr, LengthCountsEveryByteIncludingEmbeddedNulls)
{
    struct Case {
        const char* why;
        std::string_view text;
    };
    const Case cases[] = {
        {"empty", {"", 0}},
        {"plain", "movie.mp4"},
        {"embedded nulls", {"a\0b\0\0c", 6}},
        {"trailing null", {"abc\0", 4}},
        {"multi-byte UTF-8", "Gr\xC3\xBC\xC3\x9F\x65"},
    };
    for (const Case& c : cases) {
        BSTR text = SysAllocStringLen(c.text.data(), static_cast<uint32_t>(c.text.size()));
        ASSERT_NE(text, nullptr) << c.why;
        EXPECT_EQ(SysStringLen(text), c.text.size()) << c.why;
        EXPECT_EQ(Bytes(text), c.text) << c.why;
        EXPECT_EQ(text[c.text.size()], '\0') << c.why << ": not terminated";
        SysFreeString(text);
    }
}

TEST(Bstr, AllocationEdgeCases)
{
    // From a C string: stops at the first null.
    BSTR text = SysAllocString("ab\0cd");
    EXPECT_EQ(Bytes(text), "ab");
    SysFreeString(text);

    // No source: zero-filled, still the requested length.
    text = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Bytes(text), std::string_view("\0\0\0", 3));
    SysFreeString(text);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Variant, InitAndClearLeaveAnEmptyValue)
{
    VARIANT value;
    value.vt = VT_R8;
    VariantInit(&value);
    EXPECT_EQ(value.vt, VT_EMPTY);

    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString("owned by the variant");
    EXPECT_EQ(VariantClear(&value), S_OK);  // a leak here fails the sanitizer run
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(VariantClear(&value), S_OK);  // clearing twice must not free twice
    EXPECT_EQ(VariantClear(nullptr), E_POINTER);
}

TEST(Variant, CopyOfStringIsDeep)
{
    const std::string_view text("tit\0le", 6);
    VARIANT source, target;
    VariantInit(&source);
    VariantInit(&target);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(text.data(), static_cast<uint32_t>(text.size()));

    ASSERT_EQ(VariantCopy(&target, &source), S_OK);
    ASSERT_EQ(target.vt, VT_BSTR);
    EXPECT_NE(target.bstrVal, source.bstrVal);
    EXPECT_EQ(Bytes(target.bstrVal), text);

    // The copy outlives and ignores changes to the source.
    source.bstrVal[0] = 'T';
    VariantClear(&source);
    EXPECT_EQ(Bytes(target.bstrVal), text);

    // Copying over a string frees it, and copying onto itself changes nothing.
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = 5;
    VARIANT again;
    VariantInit(&again);
    ASSERT_EQ(VariantCopy(&again, &target), S_OK);
    ASSERT_EQ(VariantCopy(&target, &number), S_OK);
    EXPECT_EQ(target.vt, VT_I4);
    EXPECT_EQ(target.lVal, 5);
    ASSERT_EQ(VariantCopy(&again, &again), S_OK);
    EXPECT_EQ(Bytes(again.bstrVal), text);
    VariantClear(&again);

    // A null string stays a null string.
    source.vt = VT_BSTR;
    source.bstrVal = nullptr;
    ASSERT_EQ(VariantCopy(&target, &source), S_OK);
    EXPECT_EQ(target.vt, VT_BSTR);
    EXPECT_EQ(target.bstrVal, nullptr);

    EXPECT_EQ(VariantCopy(nullptr, &source), E_POINTER);
    EXPECT_EQ(VariantCopy(&target, nullptr), E_POINTER);
}

TEST(Variant, CopyKeepsNumbersExact)
{
    VARIANT values[5];
    for (VARIANT& v : values) VariantInit(&v);
    values[0].vt = VT_I4;
    values[0].lVal = INT32_MIN;
    values[1].vt = VT_I4;
    values[1].lVal = -1;
    values[2].vt = VT_UI4;
    values[2].ulVal = UINT32_MAX;
    values[3].vt = VT_R8;
    values[3].dblVal = 29.97002997002997;
    values[4].vt = VT_R8;
    values[4].dblVal = -1e-300;

    for (const VARIANT& source : values) {
        VARIANT target;
        VariantInit(&target);
        target.vt = VT_BSTR;  // a string to be freed first
        target.bstrVal = SysAllocString("old");
        ASSERT_EQ(VariantCopy(&target, &source), S_OK);
        ASSERT_EQ(target.vt, source.vt);
        switch (source.vt) {
        case VT_I4: EXPECT_EQ(target.lVal, source.lVal); break;
        case VT_UI4: EXPECT_EQ(target.ulVal, source.ulVal); break;
        case VT_R8: EXPECT_EQ(target.dblVal, source.dblVal); break;
        default: FAIL() << "unexpected type " << source.vt;
        }
    }
}

TEST(CoTaskMemory, StringDuplicateIsASeparateCopy)
{
    const char original[] = "/media/netbook/Videos";
    LPOLESTR copy = CoTaskStrDup(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_STREQ(copy, original);
    CoTaskMemFree(copy);
    EXPECT_EQ(CoTaskStrDup(nullptr), nullptr);

    // A zero-byte block is still a block the receiver can free.
    void* block = CoTaskMemAlloc(0);
    EXPECT_NE(block, nullptr);
    CoTaskMemFree(block);
}

}  // namespace
