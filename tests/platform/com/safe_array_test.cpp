#include "platform/com/safe_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(SafeArray, VectorsHaveTheirElementSizeBoundsAndZeroedData)
{
    struct Case {
        VARTYPE type;
        int32_t lower;
        uint32_t elements;
        uint32_t elementSize;
    };
    const Case cases[] = {
        {VT_UI1, 0, 64 * 48 * 3 + 40, 1},
        {VT_UI1, 5, 3, 1},
        {VT_I4, -2, 4, 4},
        {VT_UI4, 0, 1, 4},
        {VT_R8, 1, 10, 8},
        {VT_UI1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SAFEARRAY* array = SafeArrayCreateVector(c.type, c.lower, c.elements);
        ASSERT_NE(array, nullptr) << "type " << c.type;
        EXPECT_EQ(array->cDims, 1);
        EXPECT_EQ(array->cbElements, c.elementSize);
        int32_t lower = 99, upper = 99;
        ASSERT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
        ASSERT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
        EXPECT_EQ(lower, c.lower);
        EXPECT_EQ(upper - lower + 1, static_cast<int64_t>(c.elements)) << "type " << c.type;

        void* data = nullptr;
        ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
        ASSERT_NE(data, nullptr);
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size_t{c.elements} * c.elementSize; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
        ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);
        EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    }
}

TEST(SafeArray, TypesWithoutAFixedSizeAreRefused)
{
    for (VARTYPE type : {VT_EMPTY, VT_BSTR}) EXPECT_EQ(SafeArrayCreateVector(type, 0, 4), nullptr) << type;
}

TEST(SafeArray, DataWrittenThroughOneAccessIsSeenByTheNext)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 6);
    ASSERT_NE(array, nullptr);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
    std::memcpy(data, "pixels", 6);
    ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);

    void* again = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &again), S_OK);
    EXPECT_EQ(std::memcmp(again, "pixels", 6), 0);
    ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, AnAccessedArrayCannotBeDestroyedUntilEveryAccessEnds)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    ASSERT_NE(array, nullptr);
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &first), S_OK);
    ASSERT_EQ(SafeArrayAccessData(array, &second), S_OK);
    EXPECT_EQ(first, second);

    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED) << "unaccess without access";
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, MisuseIsReported)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    ASSERT_NE(array, nullptr);
    int32_t bound = 0;
    void* data = nullptr;
    EXPECT_EQ(SafeArrayGetUBound(array, 0, &bound), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(array, 2, &bound), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, nullptr), E_POINTER);
    EXPECT_EQ(SafeArrayGetUBound(nullptr, 1, &bound), E_POINTER);
    EXPECT_EQ(SafeArrayAccessData(nullptr, &data), E_POINTER);
    EXPECT_EQ(SafeArrayAccessData(array, nullptr), E_POINTER);
    EXPECT_EQ(SafeArrayUnaccessData(nullptr), E_POINTER);
    EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

}  // namespace
