// The profile manager: the WMV output's profile XML in, its settings out;
// XML the writer cannot honour is refused.
#include <gtest/gtest.h>

#include "components/write/wm_profile.h"
#include "tests/components/writer_graph.h"

using writer_tests::WmvProfileXml;

namespace {

HRESULT Load(const std::string& xml, ComPtr<IWMProfile>* profile)
{
    ComPtr<IWMProfileManager> manager;
    const HRESULT hr = WMCreateProfileManager(manager.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    return manager->LoadProfileByData(xml.c_str(), profile->ReleaseAndGetAddressOf());
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(WmProfile, ReadsTheWmvProfile)
{
    ComPtr<IWMProfile> profile;
    ASSERT_EQ(Load(WmvProfileXml("640", "480"), &profile), S_OK);
    DWORD streams = 0;
    EXPECT_EQ(profile->GetStreamCount(&streams), S_OK);
    EXPECT_EQ(streams, 2u);
    WmProfileSettings settings;
    ASSERT_EQ(profile->GetSettings(&settings), S_OK);
    EXPECT_EQ(settings.name, "Custom VBR for Broadband.");
    ASSERT_TRUE(settings.video && settings.audio);
    EXPECT_EQ(settings.video->width, 640);
    EXPECT_EQ(settings.video->height, 480);
    EXPECT_EQ(settings.video->timePerFrame, 333333);
    EXPECT_EQ(settings.video->vbrQuality, 97);
    EXPECT_EQ(settings.video->maxKeyFrameSpacing, 100000000);
    EXPECT_EQ(settings.audio->sampleRate, 44100);
    EXPECT_EQ(settings.audio->channels, 2);
    EXPECT_EQ(settings.audio->bitRate, 64040);
}

TEST(WmProfile, RefusesWhatTheWriterCannotMake)
{
    const std::string good = WmvProfileXml("320", "240");
    const std::string wmv2 = "{32564D57-0000-0010-8000-00AA00389B71}";
    struct Case {
        const char* what;
        std::string xml;
        HRESULT expected;
    } cases[] = {
        {"not XML", "this is no profile", E_INVALIDARG},
        {"cut short", good.substr(0, good.size() / 2), E_INVALIDARG},
        {"another root", "<streamconfig/>", E_INVALIDARG},
        {"size left as a placeholder", WmvProfileXml("%width%", "%height%"), E_INVALIDARG},
        {"zero width", WmvProfileXml("0", "240"), VFW_E_TYPE_NOT_ACCEPTED},
        {"zero height", WmvProfileXml("320", "0"), VFW_E_TYPE_NOT_ACCEPTED},
        {"huge size", WmvProfileXml("100000", "240"), VFW_E_TYPE_NOT_ACCEPTED},
        {"WMV3 video", Replaced(good, wmv2, "{33564D57-0000-0010-8000-00AA00389B71}"), VFW_E_TYPE_NOT_ACCEPTED},
        {"WMA Pro audio", Replaced(good, "{00000161-", "{00000162-"), VFW_E_TYPE_NOT_ACCEPTED},
        {"six audio channels", Replaced(good, R"(nChannels="2")", R"(nChannels="6")"), VFW_E_TYPE_NOT_ACCEPTED},
        {"a third kind of stream", Replaced(good, "{73647561-", "{73747874-"), VFW_E_TYPE_NOT_ACCEPTED},
        {"no frame time", Replaced(good, R"(avgtimeperframe="333333")", R"(avgtimeperframe="0")"),
         VFW_E_TYPE_NOT_ACCEPTED},
        {"no streams", "<profile name=\"empty\"/>", VFW_E_TYPE_NOT_ACCEPTED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComPtr<IWMProfile> profile;
        EXPECT_EQ(Load(c.xml, &profile), c.expected);
        EXPECT_FALSE(profile);
    }
}
