// The media information object on files made by the ffmpeg command, with
// ffprobe and ffmpeg's own frame extraction as the judges.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "components/info/media_info.h"
#include "components/register_components.h"
#include "platform/dshow/media_type.h"
#include "platform/dshow/platform_filters.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using testing_media::MakeMedia;
using testing_media::Probe;
using testing_media::Quoted;
using testing_media::RunCommand;

namespace {

struct BstrDeleter {
    void operator()(OLECHAR* text) const { SysFreeString(text); }
};
using BstrPtr = std::unique_ptr<OLECHAR, BstrDeleter>;

struct SafeArrayDeleter {
    void operator()(SAFEARRAY* array) const { SafeArrayDestroy(array); }
};
using SafeArrayPtr = std::unique_ptr<SAFEARRAY, SafeArrayDeleter>;

// A packed DIB taken out of its array.
struct Dib {
    BITMAPINFOHEADER header{};
    std::string pixels;
    size_t stride = 0;
    // Blue, green, red of the pixel at (x, y), y counted from the top.
    std::array<int, 3> At(int x, int y) const
    {
        const size_t row = static_cast<size_t>(header.biHeight - 1 - y) * stride;
        const auto* p = reinterpret_cast<const uint8_t*>(pixels.data()) + row + static_cast<size_t>(x) * 3;
        return {p[0], p[1], p[2]};
    }
};

// ffmpeg shows "rotate=90" a quarter turn anticlockwise.
const struct TurnedClip {
    const char* name;
    const char* stored;  // filter from the upright picture to the stored one
    const char* rotate;
} kTurnedClips[] = {
    {"portrait.mp4", "transpose=clock", "90"},
    {"upside_down.mp4", "hflip,vflip", "180"},
};

class MediaInfo : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterPlatformFilters();
        RegisterComponents();
        s_folder = new testing_files::TempFolder;
        const std::string sine = "-f lavfi -i sine=frequency=440:sample_rate=44100 ";
        const struct {
            const char* name;
            std::string arguments;
        } fixtures[] = {
            {"clip.mp4", "-f lavfi -i testsrc=size=320x240:rate=25 " + sine +
                             "-t 2 -ac 2 -c:v libx264 -pix_fmt yuv420p -c:a aac"},
            {"song.mp3", sine + "-t 2 -ac 2 -c:a libmp3lame"},
            {"pcm24.wav", "-f lavfi -i sine=sample_rate=48000 -t 1 -c:a pcm_s24le"},
            {"pcm16.wav", "-f lavfi -i sine=sample_rate=22050 -t 1 -ac 2 -c:a pcm_s16le"},
            {"cover.mp3", sine + "-f lavfi -i color=c=red:s=64x64 -t 1 -map 0:a -map 1:v -frames:v 1 "
                                 "-c:a libmp3lame -c:v mjpeg -disposition:v:0 attached_pic"},
            // Red for one second, then blue: which one a position shows says where it landed.
            {"colours_gop250.mp4", "-f lavfi -i color=c=red:s=64x48:r=25:d=1 -f lavfi -i color=c=blue:s=64x48:r=25:d=1 "
                                   "-filter_complex concat=n=2:v=1:a=0 -c:v libx264 -pix_fmt yuv420p -g 250"},
            // MPEG-TS has no index: a seek may land after the only key frame before the position.
            {"colours_gop250.ts", "-f lavfi -i color=c=red:s=64x48:r=25:d=1 -f lavfi -i color=c=blue:s=64x48:r=25:d=1 "
                                  "-filter_complex concat=n=2:v=1:a=0 -c:v libx264 -pix_fmt yuv420p -g 250"},
            {"colours_gop5.mp4", "-f lavfi -i color=c=red:s=64x48:r=25:d=1 -f lavfi -i color=c=blue:s=64x48:r=25:d=1 "
                                 "-filter_complex concat=n=2:v=1:a=0 -c:v libx264 -pix_fmt yuv420p -g 5"},
            // Red above blue: tells the row order.
            {"red_over_blue.mp4", "-f lavfi -i color=c=red:s=64x24:d=1 -f lavfi -i color=c=blue:s=64x24:d=1 "
                                  "-filter_complex vstack -c:v libx264 -pix_fmt yuv444p"},
        };
        for (const auto& f : fixtures) ASSERT_TRUE(MakeMedia(Path(f.name), f.arguments)) << f.name;
        // A 48x64 upright picture, red in its top left quarter, stored turned with a display matrix that turns it back.
        const std::string upright = "-f lavfi -i color=c=blue:s=48x64:d=1,drawbox=w=24:h=32:color=red:t=fill,";
        for (const auto& [name, stored, rotate] : kTurnedClips) {
            ASSERT_TRUE(MakeMedia(Path(std::string("stored-") + name), upright + stored + " -c:v libx264 -pix_fmt yuv420p"));
            ASSERT_TRUE(MakeMedia(Path(name), "-i " + Quoted(Path(std::string("stored-") + name)) +
                                                  " -c copy -metadata:s:v:0 rotate=" + rotate))
                << name;
        }
        testing_files::WriteFileBytes(Path("empty.mp4"), "");
        testing_files::WriteFileBytes(Path("garbage.mp4"), testing_files::PatternBytes(64 * 1024));
        testing_files::WriteFileBytes(Path("notes.avi"), "These are not the frames you are looking for.\n");
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    static std::string Path(const std::string& name) { return s_folder->File(name); }

    static ComPtr<IMediaInfo> Make()
    {
        ComPtr<IMediaInfo> info;
        EXPECT_EQ(CoCreateInstance(CLSID_MediaInfo, nullptr, CLSCTX_ALL, IID_PPV_ARGS(info.ReleaseAndGetAddressOf())),
                  S_OK);
        return info;
    }

    static HRESULT Open(IMediaInfo* info, const std::string& path)
    {
        BstrPtr text(SysAllocString(path.c_str()));
        return info->Open(text.get());
    }

    static ComPtr<IMediaInfo> Opened(const std::string& name)
    {
        auto info = Make();
        EXPECT_EQ(Open(info.Get(), Path(name)), S_OK) << name;
        return info;
    }

    static HRESULT Frame(IMediaInfo* info, double position, LONG width, LONG height, Dib* dib)
    {
        SAFEARRAY* raw = nullptr;
        const HRESULT hr = info->GetFrame(position, width, height, &raw);
        SafeArrayPtr array(raw);
        if (FAILED(hr)) {
            EXPECT_EQ(raw, nullptr) << "a failure hands out nothing";
            return hr;
        }
        int32_t upper = -1;
        EXPECT_EQ(SafeArrayGetUBound(array.get(), 1, &upper), S_OK);
        void* data = nullptr;
        EXPECT_EQ(SafeArrayAccessData(array.get(), &data), S_OK);
        const std::string bytes(static_cast<const char*>(data), static_cast<size_t>(upper) + 1);
        SafeArrayUnaccessData(array.get());
        if (bytes.size() < sizeof(BITMAPINFOHEADER)) return E_FAIL;
        std::memcpy(&dib->header, bytes.data(), sizeof dib->header);
        dib->pixels = bytes.substr(sizeof(BITMAPINFOHEADER));
        dib->stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        return hr;
    }

    static testing_files::TempFolder* s_folder;
};

testing_files::TempFolder* MediaInfo::s_folder = nullptr;

bool IsRed(const std::array<int, 3>& bgr) { return bgr[2] > 180 && bgr[0] < 70 && bgr[1] < 70; }
bool IsBlue(const std::array<int, 3>& bgr) { return bgr[0] > 180 && bgr[2] < 70 && bgr[1] < 70; }

TEST_F(MediaInfo, AVideoWithSoundReportsWhatFfprobeSays)
{
    const Probe probe(Path("clip.mp4"));
    ASSERT_TRUE(probe.IsValid());
    auto info = Opened("clip.mp4");

    double duration = 0;
    ASSERT_EQ(info->GetDuration(&duration), S_OK);
    EXPECT_NEAR(duration, probe.Duration(), 0.1);
    EXPECT_NEAR(duration, 2.0, 0.1);

    short width = 0, height = 0;
    ASSERT_EQ(info->GetVideoSize(&width, &height), S_OK);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);

    VARIANT_BOOL video = VARIANT_FALSE, audio = VARIANT_FALSE;
    ASSERT_EQ(info->GetStreams(&video, &audio), S_OK);
    EXPECT_EQ(video, VARIANT_TRUE);
    EXPECT_EQ(audio, VARIANT_TRUE);

    double rate = 0;
    ASSERT_EQ(info->GetFrameRate(&rate), S_OK);
    EXPECT_DOUBLE_EQ(rate, 25.0);

    LONG sampleRate = 0;
    short channels = 0, bits = 0;
    ASSERT_EQ(info->GetAudioFormat(&sampleRate, &channels, &bits), S_OK);
    EXPECT_EQ(sampleRate, 44100);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(bits, 16) << "AAC is reported at the depth it is played at";
}

TEST_F(MediaInfo, AudioFilesReportTheirFormatAndNoVideo)
{
    struct Case {
        const char* name;
        LONG rate;
        short channels;
        short bits;
    };
    const Case cases[] = {
        {"song.mp3", 44100, 2, 16},
        {"pcm24.wav", 48000, 1, 24},
        {"pcm16.wav", 22050, 2, 16},
        {"cover.mp3", 44100, 1, 16},  // a cover picture is not video
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto info = Opened(c.name);
        VARIANT_BOOL video = VARIANT_TRUE, audio = VARIANT_FALSE;
        ASSERT_EQ(info->GetStreams(&video, &audio), S_OK);
        EXPECT_EQ(video, VARIANT_FALSE);
        EXPECT_EQ(audio, VARIANT_TRUE);

        LONG rate = 0;
        short channels = 0, bits = 0;
        ASSERT_EQ(info->GetAudioFormat(&rate, &channels, &bits), S_OK);
        EXPECT_EQ(rate, c.rate);
        EXPECT_EQ(channels, c.channels);
        EXPECT_EQ(bits, c.bits);

        double duration = 0;
        ASSERT_EQ(info->GetDuration(&duration), S_OK);
        EXPECT_NEAR(duration, Probe(Path(c.name)).Duration(), 0.1);

        short width = -1, height = -1;
        EXPECT_EQ(info->GetVideoSize(&width, &height), VFW_E_NOT_FOUND);
        EXPECT_EQ(width, 0);
        EXPECT_EQ(height, 0);
        double fps = -1;
        EXPECT_EQ(info->GetFrameRate(&fps), VFW_E_NOT_FOUND);
        Dib dib;
        EXPECT_EQ(Frame(info.Get(), 0.5, 64, 48, &dib), VFW_E_NOT_FOUND);
    }
}

TEST_F(MediaInfo, AFrameIsAPackedBottomUpDibOfTheAskedSize)
{
    auto info = Opened("clip.mp4");
    struct Case {
        LONG width;
        LONG height;
        size_t stride;
    };
    // 33 pixels of 3 bytes make 99: rows are padded to 100.
    for (const Case& c : {Case{64, 48, 192}, Case{33, 17, 100}, Case{1, 1, 4}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        Dib dib;
        ASSERT_EQ(Frame(info.Get(), 1.0, c.width, c.height, &dib), S_OK);
        EXPECT_EQ(dib.header.biSize, 40u);
        EXPECT_EQ(dib.header.biWidth, c.width);
        EXPECT_EQ(dib.header.biHeight, c.height) << "positive: bottom-up";
        EXPECT_EQ(dib.header.biPlanes, 1);
        EXPECT_EQ(dib.header.biBitCount, 24);
        EXPECT_EQ(dib.header.biCompression, BI_RGB);
        EXPECT_EQ(dib.pixels.size(), c.stride * static_cast<size_t>(c.height));
        EXPECT_EQ(dib.header.biSizeImage, dib.pixels.size());
    }
}

TEST_F(MediaInfo, AFrameShowsWhatFfmpegShowsAtThatPosition)
{
    auto info = Opened("clip.mp4");
    for (const double position : {0.0, 1.0, 1.6}) {
        SCOPED_TRACE(position);
        Dib dib;
        ASSERT_EQ(Frame(info.Get(), position, 64, 48, &dib), S_OK);
        const std::string expected = RunCommand("ffmpeg -v error -ss " + std::to_string(position) + " -i " +
                                                Quoted(Path("clip.mp4")) +
                                                " -frames:v 1 -vf scale=64:48 -pix_fmt bgr24 -f rawvideo -");
        ASSERT_EQ(expected.size(), 64u * 48 * 3);
        double difference = 0;
        bool anyBright = false;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const auto ours = dib.At(x, y);
                for (int k = 0; k < 3; ++k) {
                    const int theirs = static_cast<uint8_t>(expected[(static_cast<size_t>(y) * 64 + x) * 3 + k]);
                    difference += std::abs(ours[k] - theirs);
                    anyBright = anyBright || ours[k] > 100;
                }
            }
        }
        EXPECT_TRUE(anyBright) << "the test pattern is not black";
        EXPECT_LT(difference / (64.0 * 48 * 3), 6.0) << "mean difference per byte";
    }
}

TEST_F(MediaInfo, RowsAreStoredBottomFirstInBlueGreenRedOrder)
{
    auto info = Opened("red_over_blue.mp4");
    Dib dib;
    ASSERT_EQ(Frame(info.Get(), 0.2, 16, 16, &dib), S_OK);
    EXPECT_TRUE(IsRed(dib.At(8, 2)));
    EXPECT_TRUE(IsBlue(dib.At(8, 13)));
    // The first bytes stored are the bottom row's: blue first in each pixel.
    EXPECT_GT(static_cast<uint8_t>(dib.pixels[0]), 180);
    EXPECT_LT(static_cast<uint8_t>(dib.pixels[2]), 70);
}

TEST_F(MediaInfo, APositionLandsOnItsFrameHoweverFarTheKeyFramesLie)
{
    for (const char* name : {"colours_gop250.mp4", "colours_gop5.mp4", "colours_gop250.ts"}) {
        SCOPED_TRACE(name);
        auto info = Opened(name);
        struct Case {
            double position;
            bool blue;
        };
        // Back and forth on one object: each call seeks afresh.
        for (const Case& c : {Case{0.5, false}, Case{1.5, true}, Case{0.9, false}, Case{1.04, true}, Case{60, true}}) {
            Dib dib;
            ASSERT_EQ(Frame(info.Get(), c.position, 8, 8, &dib), S_OK) << c.position;
            EXPECT_TRUE(c.blue ? IsBlue(dib.At(4, 4)) : IsRed(dib.At(4, 4))) << "at " << c.position;
        }
    }
}

TEST_F(MediaInfo, TurnedVideoReportsItsUprightSizeAndPicture)
{
    for (const TurnedClip& clip : kTurnedClips) {
        SCOPED_TRACE(clip.name);
        auto info = Opened(clip.name);
        short width = 0, height = 0;
        ASSERT_EQ(info->GetVideoSize(&width, &height), S_OK);
        EXPECT_EQ(width, 48);
        EXPECT_EQ(height, 64);
        Dib dib;
        ASSERT_EQ(Frame(info.Get(), 0, width, height, &dib), S_OK);
        EXPECT_TRUE(IsRed(dib.At(4, 4)));
        EXPECT_FALSE(IsRed(dib.At(width - 5, 4)));
        EXPECT_FALSE(IsRed(dib.At(4, height - 5)));
    }
}

TEST_F(MediaInfo, FilesThatAreNotMediaFailCleanly)
{
    struct Case {
        const char* name;
        HRESULT expected;
    };
    const Case cases[] = {
        {"missing.mp4", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {"empty.mp4", VFW_E_INVALID_FILE_FORMAT},
        {"garbage.mp4", VFW_E_INVALID_FILE_FORMAT},
        {"notes.avi", VFW_E_INVALID_FILE_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Opened on a good file first: a failed Open leaves nothing behind.
        auto info = Opened("clip.mp4");
        EXPECT_EQ(Open(info.Get(), Path(c.name)), c.expected);
        double duration = 0;
        EXPECT_EQ(info->GetDuration(&duration), E_UNEXPECTED);
        VARIANT_BOOL video = VARIANT_TRUE, audio = VARIANT_TRUE;
        EXPECT_EQ(info->GetStreams(&video, &audio), E_UNEXPECTED);
        Dib dib;
        EXPECT_EQ(Frame(info.Get(), 0, 64, 48, &dib), E_UNEXPECTED);
    }
    auto info = Make();
    EXPECT_EQ(info->Open(nullptr), E_POINTER);
    EXPECT_EQ(Open(info.Get(), s_folder->Path().string()), E_FAIL) << "a folder";
}

TEST_F(MediaInfo, MisuseIsRefused)
{
    auto info = Opened("clip.mp4");
    Dib dib;
    for (const auto& [width, height] : {std::pair{0, 48}, std::pair{64, -1}, std::pair{5000, 48}})
        EXPECT_EQ(Frame(info.Get(), 0, width, height, &dib), E_INVALIDARG) << width << "x" << height;
    EXPECT_EQ(Frame(info.Get(), NAN, 64, 48, &dib), E_INVALIDARG);
    EXPECT_EQ(info->GetFrame(0, 64, 48, nullptr), E_POINTER);
    EXPECT_EQ(info->GetDuration(nullptr), E_POINTER);
    for (HRESULT hr : {info->Reserved3(), info->Reserved4(), info->Reserved5(), info->Reserved6()})
        EXPECT_EQ(hr, E_NOTIMPL);
}

}  // namespace
