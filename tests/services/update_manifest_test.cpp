// Reading the update manifest: which elements count, which entry wins, and
// what a missing part reads as.
#include "services/update_manifest.h"

#include <gtest/gtest.h>

#include "services/program_version.h"
#include "tests/app/qstring_printer.h"

namespace {

const QString kUs = QStringLiteral("US");

UpdateEntry Read(const char* xml, UpdateEntry before = {})
{
    const auto entry = ReadUpdateManifest(QByteArray(xml), kUs, before);
    EXPECT_TRUE(entry.has_value()) << xml;
    return entry.value_or(UpdateEntry{});
}

TEST(UpdateManifestTest, BuildNumberOfTheEntryForTheLanguage)
{
    const struct {
        const char* xml;
        int build;
    } cases[] = {
        // The language compares without regard to case.
        {R"(<r><build language="us" number="33"/></r>)", 33},
        {R"(<r><build language="US" number="33"/></r>)", 33},
        // A later matching entry overwrites an earlier one.
        {R"(<r><build language="US" number="40"/><build language="US" number="35"/></r>)", 35},
        {R"(<r><build language="de" number="50"/></r>)", -1},
        {R"(<r/>)", -1},
        // Reading starts at the first "build" element ...
        {R"(<r><note language="US" number="90"/><build language="de" number="1"/></r>)", -1},
        // ... and goes on through every sibling, whatever its name.
        {R"(<r><build language="de" number="1"/><other language="US" number="12"/></r>)", 12},
        // A missing number reads as 0, a bad one as far as atoi reads it.
        {R"(<r><build language="US"/></r>)", 0},
        {R"(<r><build language="US" number="27abc"/></r>)", 27},
        {R"(<r><build number="5"/></r>)", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.xml).buildNumber, c.build) << c.xml;
}

TEST(UpdateManifestTest, SetupAddressAndDateComeWithTheEntry)
{
    const UpdateEntry entry = Read(R"(<updates>
        <build language="US" number="33" date="2026-01-31"><setupurl>http://h/setup33.exe</setupurl></build>
        <build language="fr" number="34" date="2026-02-01"><setupurl>http://h/fr.exe</setupurl></build>
    </updates>)");
    EXPECT_EQ(entry.setupUrl, QStringLiteral("http://h/setup33.exe"));
    EXPECT_EQ(entry.date, QStringLiteral("2026-01-31"));
}

TEST(UpdateManifestTest, AnEntryWithoutSetupAddressKeepsTheEarlierOne)
{
    UpdateEntry before;
    before.setupUrl = QStringLiteral("http://h/old.exe");
    const UpdateEntry entry = Read(R"(<r><build language="US" number="2"/></r>)", before);
    EXPECT_EQ(entry.setupUrl, QStringLiteral("http://h/old.exe"));
    EXPECT_EQ(entry.buildNumber, 2);
}

TEST(UpdateManifestTest, BytesWithoutRootElementAreNoManifest)
{
    for (const char* bytes : {"", "not xml at all", "<r><build language=\"US\" number=\"3\"></r>", "<?xml version=\"1.0\"?>"})
        EXPECT_FALSE(ReadUpdateManifest(QByteArray(bytes), kUs).has_value()) << bytes;
}

TEST(ProductVersionTest, PartsOfTheVersionText)
{
    const struct {
        const char* text;
        ProductVersion version;
    } cases[] = {
        {"1.0.0.32", {1, 0, 0, 32}},
        {"0.1.0.0", {0, 1, 0, 0}},
        {"2.5", {2, 5, 0, 0}},
        // Only the low 16 bits of the fourth part are the build number.
        {"1.2.3.65537", {1, 2, 3, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseProductVersion(QString::fromLatin1(c.text)), c.version) << c.text;
}

}  // namespace
