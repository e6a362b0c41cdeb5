#include "platform/com/guid.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr GUID kSample{0x0123ABCD, 0x4567, 0x89EF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

TEST(Guid, FormatsEveryFieldInUpperCaseWithLeadingZeros)
{
    EXPECT_EQ(FormatGuid(kSample), "{0123ABCD-4567-89EF-0123-456789ABCDEF}");
    EXPECT_EQ(FormatGuid(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(FormatGuid(IID{0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 0x4}}),
              "{00000001-0002-0003-0000-000000000004}");
}

TEST(Guid, ParseAndFormatRoundTrip)
{
    const GUID values[] = {
        kSample,
        GUID_NULL,
        GUID{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        GUID{0x80000001, 0x0100, 0x8001, {0x10, 0x00, 0x00, 0x01, 0x80, 0x00, 0x00, 0x08}},
    };
    for (const GUID& g : values) {
        const std::string text = FormatGuid(g);
        const auto parsed = ParseGuid(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(*parsed, g) << text;
    }
}

TEST(Guid, ParsingIgnoresHexCase)
{
    const auto lower = ParseGuid("{0123abcd-4567-89ef-0123-456789abcdef}");
    const auto mixed = ParseGuid("{0123aBcD-4567-89eF-0123-456789AbCdEf}");
    ASSERT_TRUE(lower);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(*lower, kSample);
    EXPECT_EQ(*mixed, kSample);
}

TEST(Guid, RejectsMalformedText)
{
    struct Case {
        const char* why;
        std::string_view text;
    };
    const Case cases[] = {
        {"empty", ""},
        {"no braces", "0123ABCD-4567-89EF-0123-456789ABCDEF"},
        {"no opening brace", "0123ABCD-4567-89EF-0123-456789ABCDEF}"},
        {"no closing brace", "{0123ABCD-4567-89EF-0123-456789ABCDEF"},
        {"wrong brackets", "(0123ABCD-4567-89EF-0123-456789ABCDEF)"},
        {"one digit short", "{0123ABC-4567-89EF-0123-456789ABCDEF}"},
        {"one digit long", "{0123ABCD-4567-89EF-0123-456789ABCDEF0}"},
        {"trailing space", "{0123ABCD-4567-89EF-0123-456789ABCDEF} "},
        {"non-hex in first field", "{0123ABCG-4567-89EF-0123-456789ABCDEF}"},
        {"non-hex in second field", "{0123ABCD-45x7-89EF-0123-456789ABCDEF}"},
        {"non-hex in third field", "{0123ABCD-4567-89E -0123-456789ABCDEF}"},
        {"non-hex in fourth field", "{0123ABCD-4567-89EF-01z3-456789ABCDEF}"},
        {"non-hex in last byte", "{0123ABCD-4567-89EF-0123-456789ABCDEg}"},
        {"sign in a field", "{+123ABCD-4567-89EF-0123-456789ABCDEF}"},
        {"dash moved left", "{0123ABC-D4567-89EF-0123-456789ABCDEF}"},
        {"dash moved right", "{0123ABCD4-567-89EF-0123-456789ABCDEF}"},
        {"dashes in the last field", "{0123ABCD-4567-89EF-0123456789-ABCDEF}"},
        {"zeros where the dashes go", "{0123ABCD04567089EF001230456789ABCDEF}"},
        {"embedded null", std::string_view("{0123ABCD-4567-89EF-0123-456789AB\0DEF}", 38)},
    };
    for (const Case& c : cases) EXPECT_FALSE(ParseGuid(c.text)) << c.why << ": " << c.text;
}

TEST(Guid, FourCCSubTypes)
{
    struct Case {
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {MakeFourCC('H', '2', '6', '4'), "{34363248-0000-0010-8000-00AA00389B71}"},
        {MakeFourCC('Y', 'V', '1', '2'), "{32315659-0000-0010-8000-00AA00389B71}"},
        {MakeFourCC('W', 'M', 'V', '2'), "{32564D57-0000-0010-8000-00AA00389B71}"},
        // A wave format tag (PCM) takes the same form.
        {0x0001, "{00000001-0000-0010-8000-00AA00389B71}"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatGuid(GuidFromFourCC(c.code)), c.text);
    // Bytes above 0x7F must not sign-extend into the other characters.
    EXPECT_EQ(MakeFourCC('\xFF', 'a', '\x80', 'b'), 0x6280'61FFu);
}

TEST(Guid, CompileTimeLiteralsMatchRuntimeParsing)
{
    static constexpr GUID literal = MakeGuid("{0123abcd-4567-89ef-0123-456789abcdef}");
    static_assert(literal == kSample);
    static_assert(!ParseGuid("{0123ABCD-4567-89EF-0123-456789ABCDEF"));
    EXPECT_EQ(ParseGuid(FormatGuid(literal)), literal);
}

TEST(Guid, HashCoversEveryField)
{
    // The class registry is keyed by GUID; a hash that skipped a field would
    // pile related class ids (same Data1, say) into one bucket.
    const std::hash<GUID> hash;
    GUID changed[4] = {kSample, kSample, kSample, kSample};
    changed[0].Data1 ^= 1;
    changed[1].Data2 ^= 1;
    changed[2].Data3 ^= 1;
    changed[3].Data4[7] ^= 1;
    for (const GUID& g : changed) EXPECT_NE(hash(g), hash(kSample)) << FormatGuid(g);
}

}  // namespace
