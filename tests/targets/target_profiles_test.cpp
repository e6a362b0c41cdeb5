// The handlers' fixed tables: formats, encoders, profiles and the value
// lists the format settings dialog offers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "components/component_ids.h"
#include "res/string_table.h"
#include "targets/audio_file_target_handler.h"
#include "targets/m4a_target_handler.h"
#include "targets/mpeg4_target_handler.h"
#include "targets/wmv_target_handler.h"

namespace {

enum HandlerKind { kMpeg4, kWmv, kWave, kM4a, kMp3 };

struct ProfileRow {
    HandlerKind handler;
    int position;
    const char* name;
    TargetVideoSettings video;
    TargetAudioSettings audio;
    std::vector<int32_t> extra;  // what the block holds, as int32
    int extraSize;
};

const std::vector<ProfileRow>& ProfileTable()
{
    static const std::vector<ProfileRow> rows = {
        {kMpeg4, 0, "Optimized for Netbooks", {CLSID_AvcEncoder, 2, 1024, 576, 0, 3000}, {CLSID_AacEncoder, 0, 128},
         {2, 0, 0}, 12},
        {kWmv, 0, "Fair quality (320 x 240)", {GUID_NULL, 1, 320, 240, 0, 0}, {}, {0, 0, 0, 0}, 16},
        {kWmv, 1, "High quality (640 x 480)", {GUID_NULL, 1, 640, 480, 0, 0}, {}, {0, 0, 0, 0}, 16},
        {kWmv, 2, "Best quality (720 x 576)", {GUID_NULL, 1, 720, 576, 0, 0}, {}, {0, 0, 0, 0}, 16},
        {kWave, 0, "Computer playback", {}, {GUID_NULL, 0, 0}, {}, 0},
        {kWave, 1, "Audio CD compatible audio", {}, {GUID_NULL, 44100, 0}, {}, 0},
        {kM4a, 0, "Computer playback", {CLSID_VideoDiscard, 0, 0, 0, 0, 0}, {CLSID_AacEncoder, 0, 128}, {0, 0, 0}, 12},
        {kMp3, 0, "Computer playback", {}, {GUID_NULL, 0, 0}, {}, 0},
        {kMp3, 1, "Audio CD compatible audio", {}, {GUID_NULL, 44100, 0}, {}, 0},
    };
    return rows;
}

void ExpectSameVideo(const TargetVideoSettings& actual, const TargetVideoSettings& expected)
{
    EXPECT_EQ(actual.encoder, expected.encoder);
    EXPECT_EQ(actual.resizeMode, expected.resizeMode);
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
    EXPECT_EQ(actual.frameRate, expected.frameRate);
    EXPECT_EQ(actual.bitRate, expected.bitRate);
}

void ExpectSameAudio(const TargetAudioSettings& actual, const TargetAudioSettings& expected)
{
    EXPECT_EQ(actual.encoder, expected.encoder);
    EXPECT_EQ(actual.sampleRate, expected.sampleRate);
    EXPECT_EQ(actual.bitRate, expected.bitRate);
}

class TargetProfilesTest : public testing::Test {
protected:
    CTargetHandler* Handler(HandlerKind kind) const { return list.Handlers().at(kind); }

    CTargetHandlerList list;
};

TEST_F(TargetProfilesTest, ListHoldsTheFiveFormatsInOrder)
{
    struct Row {
        const char* extension;
        const char* formatName;
        int profiles;
    };
    const Row rows[] = {
        {"mp4", "MPEG-4", 1},
        {"wmv", "Windows Media Video (WMV)", 3},
        {"wav", "Wave Audio (WAV)", 2},
        {"m4a", "MPEG-4 Audio, Advanced Audio Coding (AAC)", 1},
        {"mp3", "LAME MP3 Encoded Audio (MP3)", 2},
    };
    ASSERT_EQ(list.Handlers().size(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(rows[i].extension);
        EXPECT_EQ(Handler(HandlerKind(i))->GetFileExtension(), rows[i].extension);
        EXPECT_EQ(Handler(HandlerKind(i))->GetFormatName(), rows[i].formatName);
        EXPECT_EQ(Handler(HandlerKind(i))->Profiles().size(), rows[i].profiles);
        EXPECT_EQ(Handler(HandlerKind(i))->CurrentProfile(), 0);
    }
    EXPECT_NE(dynamic_cast<CM4ATargetHandler*>(Handler(kM4a)), nullptr);
    EXPECT_NE(dynamic_cast<CLAMETargetHandler*>(Handler(kMp3)), nullptr);
}

TEST_F(TargetProfilesTest, ProfilesHoldTheirPresets)
{
    for (const ProfileRow& row : ProfileTable()) {
        SCOPED_TRACE(std::string(row.name) + " of " + Handler(row.handler)->GetFileExtension().toStdString());
        const CTargetProfile* profile = Handler(row.handler)->Profiles().at(row.position);
        EXPECT_EQ(profile->name, row.name);
        ExpectSameVideo(profile->video, row.video);
        ExpectSameAudio(profile->audio, row.audio);
        ASSERT_EQ(profile->extra.size(), row.extraSize);
        for (size_t i = 0; i < row.extra.size(); ++i) {
            int32_t value;
            std::memcpy(&value, profile->extra.constData() + i * sizeof value, sizeof value);
            EXPECT_EQ(value, row.extra[i]) << "extra value " << i;
        }
    }
}

TEST_F(TargetProfilesTest, SelectingAProfileCopiesItAndAnUnknownIndexChangesNothing)
{
    CTargetHandler* wmv = Handler(kWmv);
    wmv->video.frameRate = 2500;  // a user's edit, overwritten by the choice
    wmv->SelectProfile(1);
    EXPECT_EQ(wmv->CurrentProfile(), 1);
    ExpectSameVideo(wmv->video, {GUID_NULL, 1, 640, 480, 0, 0});

    wmv->video.bitRate = 999;
    for (int index : {3, -1}) {
        wmv->SelectProfile(index);
        EXPECT_EQ(wmv->CurrentProfile(), 1);
        ExpectSameVideo(wmv->video, {GUID_NULL, 1, 640, 480, 0, 999});
    }

    CTargetHandler* wave = Handler(kWave);
    wave->SelectProfile(1);
    EXPECT_EQ(wave->audio.sampleRate, 44100);
    wave->SelectProfile(0);
    EXPECT_EQ(wave->audio.sampleRate, 0);
}

TEST_F(TargetProfilesTest, NewHandlersStartWithTheirFirstProfile)
{
    for (const ProfileRow& row : ProfileTable()) {
        if (row.position != 0)
            continue;
        SCOPED_TRACE(row.name);
        ExpectSameVideo(Handler(row.handler)->video, row.video);
        ExpectSameAudio(Handler(row.handler)->audio, row.audio);
    }
}

TEST_F(TargetProfilesTest, HandlersNameTheirEncoders)
{
    struct Row {
        HandlerKind handler;
        bool audio;
        int index;
        const char* name;  // nullptr: nothing is set
        GUID clsid;
    };
    const Row rows[] = {
        {kMpeg4, true, 0, "AAC Encoder (Advanced Audio Coding)", CLSID_AacEncoder},
        {kMpeg4, true, 1, nullptr, {}},
        {kMpeg4, false, 0, "AVC Encoder (Advanced Video Coding / H.264)", CLSID_AvcEncoder},
        {kMpeg4, false, 1, "MPEG-4 Part 2 Encoder", CLSID_Mpeg4Encoder},
        {kMpeg4, false, 2, nullptr, {}},
        {kMpeg4, false, -1, nullptr, {}},
        {kM4a, true, 0, "AAC Encoder (Advanced Audio Coding)", CLSID_AacEncoder},
        {kM4a, false, 0, nullptr, {}},
        {kWmv, true, 0, "Windows Media Audio Encoder (WMA)", GUID_NULL},
        {kWmv, true, 5, "Windows Media Audio Encoder (WMA)", GUID_NULL},
        {kWmv, false, 7, "Windows Media Video Encoder (WMV)", GUID_NULL},
        {kWave, true, 3, "Linear PCM Audio (uncompressed audio)", GUID_NULL},
        {kWave, false, 0, nullptr, {}},
        {kMp3, true, 0, "MPEG-1 Layer 3 Audio Encoder", GUID_NULL},
        {kMp3, false, 0, nullptr, {}},
    };
    const GUID untouched = MakeGuid("{11111111-2222-3333-4444-555555555555}");
    for (const Row& row : rows) {
        SCOPED_TRACE(Handler(row.handler)->GetFileExtension().toStdString() + (row.audio ? " audio " : " video ") +
                     std::to_string(row.index));
        QString name = QStringLiteral("unchanged");
        GUID clsid = untouched;
        if (row.audio)
            Handler(row.handler)->GetAudioEncoder(row.index, name, clsid);
        else
            Handler(row.handler)->GetVideoEncoder(row.index, name, clsid);
        EXPECT_EQ(name, row.name ? row.name : "unchanged");
        EXPECT_EQ(clsid, row.name ? row.clsid : untouched);
    }
    const int videoEncoders[] = {2, 1, 0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Handler(HandlerKind(i))->GetAudioEncoderCount(), 1);
        EXPECT_EQ(Handler(HandlerKind(i))->GetVideoEncoderCount(), videoEncoders[i]);
    }
}

TEST_F(TargetProfilesTest, ValueListsAreTheBaseOnesExceptAacBitRates)
{
    const QList<int> aacRates = {6,  7,  8,  10, 12,  14,  16,  20,  24,  28,  32,  40,  48, 56,
                                 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512};
    const QList<QSize> sizes = {{0, 0},     {320, 240},  {480, 360},   {640, 480},    {720, 480},
                                {720, 576}, {1280, 720}, {1440, 720}, {1440, 1080}, {1920, 1080}};
    for (int i = 0; i < 5; ++i) {
        const CTargetHandler* handler = Handler(HandlerKind(i));
        SCOPED_TRACE(handler->GetFileExtension().toStdString());
        QList<int> audioRates, frameRates, sampleRates;
        QList<QSize> resolutions;
        int minimum = 0, maximum = 0;
        handler->GetAudioBitrates(audioRates);
        handler->GetFrameRates(frameRates);
        handler->GetSampleRates(sampleRates);
        handler->GetResolutions(resolutions);
        handler->GetVideoBitrateRange(minimum, maximum);
        const bool aac = i == kMpeg4 || i == kM4a;
        EXPECT_EQ(audioRates, aac ? aacRates : QList<int>{0});
        EXPECT_EQ(frameRates, (QList<int>{0, 2400, 2500, -2997, 3000}));
        EXPECT_EQ(sampleRates, (QList<int>{0, 16000, 22050, 32000, 44100, 48000, 96000}));
        EXPECT_EQ(resolutions, sizes);
        EXPECT_EQ(minimum, 192);
        EXPECT_EQ(maximum, 30000);
    }
}

TEST_F(TargetProfilesTest, ListsAppendToWhatTheCallerHas)
{
    QList<int> rates = {-1};
    Handler(kWave)->GetSampleRates(rates);
    EXPECT_EQ(rates.size(), 8);
    EXPECT_EQ(rates.front(), -1);
}

TEST(TargetProfileTest, CopiesTheExtraBlockAndZeroesMissingSettings)
{
    char extra[4] = {1, 2, 3, 4};
    CTargetProfile profile(IDS_COMPUTER_PLAYBACK, nullptr, nullptr, extra, sizeof extra);
    extra[0] = 9;
    EXPECT_EQ(profile.extra, QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_EQ(profile.video.encoder, GUID_NULL);
    EXPECT_EQ(profile.video.width, 0);
    EXPECT_EQ(profile.audio.sampleRate, 0);

    const CTargetProfile unnamed(-5, nullptr, nullptr);
    EXPECT_TRUE(unnamed.name.isEmpty());
    EXPECT_TRUE(unnamed.extra.isEmpty());
}

TEST(TargetHandlerTest, ChecksNoComponentsAndLeavesTheTextsAlone)
{
    CWaveTargetHandler handler;
    QString message = QStringLiteral("m"), link = QStringLiteral("l");
    EXPECT_EQ(handler.CheckComponents(message, link), S_OK);
    EXPECT_EQ(message, "m");
    EXPECT_EQ(link, "l");
}

}  // namespace
