// Pictures as cameras, phones and discs store them: anamorphic pixels,
// a display matrix that turns the picture, interlaced fields. Each clip is
// converted from the command line to the netbook MP4 and to WMV; the output
// must show the upright picture at its display aspect ratio with square
// pixels, and an interlaced clip (also one that turns interlaced midway)
// must come out as whole frames, one for every frame in.
//
// Every clip's upright picture has a coloured box in each corner (red top
// left, green top right, blue bottom left, yellow bottom right), so a frame
// of the output tells how it was turned. ffmpeg's own decoding of each clip
// (which applies the display matrix) must show the same corners, which
// checks the fixture before the program.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;
using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;
using testing_media::Probe;
using testing_media::Quoted;

const std::string kCornerBoxes =
    "drawbox=x=0:y=0:w=iw/4:h=ih/4:color=red:t=fill,"
    "drawbox=x=iw*3/4:y=0:w=iw/4:h=ih/4:color=lime:t=fill,"
    "drawbox=x=0:y=ih*3/4:w=iw/4:h=ih/4:color=blue:t=fill,"
    "drawbox=x=iw*3/4:y=ih*3/4:w=iw/4:h=ih/4:color=yellow:t=fill";

// One stretch of a clip: the upright picture (at `sourceRate`, which an
// interlaced part weaves two to a frame) stored through `store`.
struct Part {
    std::string store;     // filters from the upright picture to the stored frames
    std::string encoding;  // ffmpeg output options
    int sourceRate = 25;
};

struct ShapedClip {
    std::string fileName;
    int uprightWidth, uprightHeight;
    std::vector<Part> parts;  // made one by one and joined byte by byte
    std::string container;    // ffmpeg options that write the joined parts
    std::string matrix;       // "rotate=N" written as the display matrix, or ""
    double displayAspect;     // upright width / height as shown
    bool interlaced = false;
};

const std::string kMpeg2 = "-c:v mpeg2video -b:v 8M ";
const std::string kFields = "-flags +ilme+ildct -top 1 ";
const std::string kWeave = "interlace=scan=tff,setdar=4/3";

const std::vector<ShapedClip> kClips = {
    {"pal-wide.mpg", 720, 576, {{"setdar=16/9", kMpeg2 + "-f mpeg"}}, "-f mpeg", "", 16.0 / 9},
    {"pal-standard.mpg", 720, 576, {{"setdar=4/3", kMpeg2 + "-f mpeg"}}, "-f mpeg", "", 4.0 / 3},
    {"ntsc-wide.mp4", 720, 480, {{"setdar=16/9", "-c:v libx264 -f mp4"}}, "-f mp4", "", 16.0 / 9},
    {"ntsc-standard.mpg", 720, 480, {{"setdar=4/3", kMpeg2 + "-f mpeg"}}, "-f mpeg", "", 4.0 / 3},
    {"hdv.ts", 1440, 1080, {{"setdar=16/9", kMpeg2 + "-f mpegts"}}, "-f mpegts", "", 16.0 / 9},
    {"square.mp4", 640, 360, {{"null", "-c:v libx264 -f mp4"}}, "-f mp4", "", 16.0 / 9},
    // ffmpeg shows "rotate=90" a quarter turn anticlockwise, so the phone stored it turned clockwise.
    {"phone-portrait.mp4", 720, 1280, {{"transpose=clock", "-c:v libx264 -f mp4"}}, "-f mp4", "rotate=90", 9.0 / 16},
    {"upside-down.mov", 640, 360, {{"hflip,vflip", "-c:v libx264 -f mov"}}, "-f mov", "rotate=180", 16.0 / 9},
    {"interlaced-pal.mpg", 720, 576, {{kWeave, kMpeg2 + kFields + "-f mpeg", 50}}, "-f mpeg", "", 4.0 / 3, true},
    // As a broadcast recording switches from a progressive advert to interlaced programme.
    {"progressive-then-interlaced.mpg", 720, 576,
     {{"setdar=4/3", kMpeg2 + "-f mpeg2video"}, {kWeave, kMpeg2 + kFields + "-f mpeg2video", 50}}, "-f mpeg", "",
     4.0 / 3, true},
};

std::string PartSource(const ShapedClip& clip, const Part& part)
{
    const double seconds = kClipSeconds / static_cast<double>(clip.parts.size());
    return "-f lavfi -i testsrc=size=" + std::to_string(clip.uprightWidth) + "x" +
           std::to_string(clip.uprightHeight) + ":rate=" + std::to_string(part.sourceRate) + " -t " +
           std::to_string(seconds) + " -vf " + Quoted(kCornerBoxes + "," + part.store) + " " + part.encoding;
}

AssertionResult MakeShapedClip(const fs::path& folder, const ShapedClip& clip)
{
    std::string joined = "concat:";
    for (size_t i = 0; i < clip.parts.size(); ++i) {
        const fs::path part = folder / ("part" + std::to_string(i) + "-" + clip.fileName);
        if (!testing_media::MakeMedia(part.string(), PartSource(clip, clip.parts[i])))
            return AssertionFailure() << "ffmpeg could not make " << part << " from: "
                                      << PartSource(clip, clip.parts[i]);
        joined += (i > 0 ? "|" : "") + part.string();
    }
    const std::string matrix = clip.matrix.empty() ? "" : " -metadata:s:v:0 " + clip.matrix;
    const std::string arguments = "-i " + Quoted(joined) + " -c copy" + matrix + " " + clip.container;
    if (testing_media::MakeMedia((folder / clip.fileName).string(), arguments)) return AssertionSuccess();
    return AssertionFailure() << "ffmpeg could not make " << clip.fileName << " from: " << arguments;
}

enum class Colour { Red, Green, Blue, Yellow, Other };

const char* Name(Colour colour)
{
    static const char* const kNames[] = {"red", "green", "blue", "yellow", "another colour"};
    return kNames[static_cast<int>(colour)];
}

Colour Classify(unsigned char r, unsigned char g, unsigned char b)
{
    const auto high = [](unsigned char c) { return c > 150; };
    const auto low = [](unsigned char c) { return c < 100; };
    if (high(r) && low(g) && low(b)) return Colour::Red;
    if (low(r) && high(g) && low(b)) return Colour::Green;
    if (low(r) && low(g) && high(b)) return Colour::Blue;
    if (high(r) && high(g) && low(b)) return Colour::Yellow;
    return Colour::Other;
}

// The colours of the four corners (top left, top right, bottom left, bottom
// right) of the first frame's visible picture, borders cut off.
std::array<Colour, 4> CornerColours(const fs::path& video)
{
    const Picture picture = VisiblePicture(video);
    const std::string crop = picture.width > 0 ? "crop=" + std::to_string(picture.width) + ":" +
                                                     std::to_string(picture.height) + ":" + std::to_string(picture.x) +
                                                     ":" + std::to_string(picture.y) + ","
                                               : "";
    const std::string pixels = testing_media::RunCommand(
        "ffmpeg -nostdin -v error -i " + Quoted(video.string()) + " -vf " + crop +
        "scale=8:8:flags=area -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    std::array<Colour, 4> corners;
    corners.fill(Colour::Other);
    if (pixels.size() != 8 * 8 * 3) return corners;
    const int at[4][2] = {{1, 1}, {6, 1}, {1, 6}, {6, 6}};
    for (int i = 0; i < 4; ++i) {
        const auto* rgb = reinterpret_cast<const unsigned char*>(pixels.data()) + (at[i][1] * 8 + at[i][0]) * 3;
        corners[i] = Classify(rgb[0], rgb[1], rgb[2]);
    }
    return corners;
}

AssertionResult ShowsUpright(const fs::path& video)
{
    const std::array<Colour, 4> upright = {Colour::Red, Colour::Green, Colour::Blue, Colour::Yellow};
    const std::array<Colour, 4> found = CornerColours(video);
    if (found == upright) return AssertionSuccess();
    return AssertionFailure() << "corners (top left, top right, bottom left, bottom right) are " << Name(found[0])
                              << ", " << Name(found[1]) << ", " << Name(found[2]) << ", " << Name(found[3])
                              << "; expected red, green, blue, yellow";
}

AssertionResult HasSquarePixels(const Probe& probe)
{
    const std::string pixel = probe.Stream(probe.FirstStream("video"), "sample_aspect_ratio");
    if (pixel.empty() || pixel == "1:1" || pixel == "0:1" || pixel == "N/A") return AssertionSuccess();
    return AssertionFailure() << "sample aspect ratio " << pixel;
}

// Within 1 %, or two pixels of the height where a border's rounding makes a
// small picture's shape coarser than that.
AssertionResult HasShape(int width, int height, double aspect, const char* what)
{
    const double found = double(width) / height;
    const bool close = std::abs(found / aspect - 1) <= 0.01 || std::abs(width / aspect - height) <= 2;
    if (height > 0 && close) return AssertionSuccess();
    return AssertionFailure() << what << " " << width << "x" << height << " is " << found << " wide; expected "
                              << aspect;
}

int FrameCount(const fs::path& video)
{
    return std::atoi(testing_media::RunCommand("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                               "stream=nb_read_frames -of csv=p=0 " +
                                               Quoted(video.string()) + " 2>/dev/null")
                         .c_str());
}

// The share of frames that ffmpeg's idet filter finds combed (top or bottom
// field first) rather than progressive.
double CombedShare(const fs::path& video)
{
    const std::string report = testing_media::RunCommand("ffmpeg -nostdin -v info -i " + Quoted(video.string()) +
                                                         " -an -vf idet -f null - 2>&1");
    const auto at = report.rfind("Single frame detection:");
    int tff = 0, bff = 0, progressive = 0, undetermined = 0;
    if (at == std::string::npos ||
        std::sscanf(report.c_str() + at, "Single frame detection: TFF: %d BFF: %d Progressive: %d Undetermined: %d",
                    &tff, &bff, &progressive, &undetermined) != 4)
        return 1;
    const int frames = tff + bff + progressive + undetermined;
    return frames > 0 ? double(tff + bff) / frames : 1;
}

// ffmpeg's own deinterlacing of the clip's interlaced frames, for the level
// a deinterlaced output reaches.
double DeinterlacedReferenceCombedShare(const fs::path& clip, const fs::path& folder)
{
    const fs::path reference = folder / "reference.mp4";
    const std::string deinterlace = " -vf bwdif=mode=send_frame:deint=interlaced -c:v libx264";
    if (!testing_media::MakeMedia(reference.string(), "-i " + Quoted(clip.string()) + deinterlace))
        return 0;
    return CombedShare(reference);
}

struct Target {
    std::string format;  // -format=, "" for the default netbook MP4
    std::string profile;
    std::string extension;
    bool fitsWholePicture;  // no bars: the frame has the picture's shape
    bool keepsFrameRate;    // else the profile names one
};

const std::vector<Target> kTargets = {
    {"", "", "mp4", true, true},
    {"wmv", "2", "wmv", false, false},
};

// Names the target in test listings instead of dumping its bytes.
void PrintTo(const Target& target, std::ostream* out) { *out << (target.format.empty() ? "mp4" : target.format); }

class PictureShapeTest : public ::testing::TestWithParam<Target> {};

TEST_P(PictureShapeTest, OutputShowsTheUprightPictureAtItsDisplayAspectWithSquarePixels)
{
    const Target& target = GetParam();
    testing_files::TempFolder temp;
    const fs::path inputs = temp.Path() / "in", outputs = temp.Path() / "out";
    fs::create_directories(inputs);
    std::vector<std::string> arguments{"-sendto=My Computer", "-outdir=" + outputs.string()};
    if (!target.format.empty()) {
        arguments.push_back("-format=" + target.format);
        arguments.push_back("-profile=" + target.profile);
    }
    for (const ShapedClip& clip : kClips) {
        ASSERT_TRUE(MakeShapedClip(inputs, clip));
        ASSERT_TRUE(ShowsUpright(inputs / clip.fileName)) << "fixture " << clip.fileName;
        arguments.push_back((inputs / clip.fileName).string());
    }

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home").Run(arguments);

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    for (const ShapedClip& clip : kClips) {
        SCOPED_TRACE(clip.fileName);
        const fs::path output = OutputFor(outputs, clip.fileName, target.extension);
        const Probe probe(output.string());
        ASSERT_TRUE(HasStreams(probe, 1, 0));
        EXPECT_TRUE(HasSquarePixels(probe));
        const int stream = probe.FirstStream("video");
        const int width = std::atoi(probe.Stream(stream, "width").c_str());
        const int height = std::atoi(probe.Stream(stream, "height").c_str());
        if (target.fitsWholePicture) {
            EXPECT_TRUE(HasShape(width, height, clip.displayAspect, "frame"));
        }
        const Picture picture = VisiblePicture(output);
        EXPECT_TRUE(HasShape(picture.width, picture.height, clip.displayAspect, "picture"));
        EXPECT_TRUE(ShowsUpright(output));
        // One frame out for every frame in (not one per field); the conversion
        // may end a frame short of ffprobe's count, as it does for any clip.
        if (target.keepsFrameRate) {
            EXPECT_TRUE(HasFrameRate(probe, 25));
            EXPECT_NEAR(FrameCount(output), FrameCount(inputs / clip.fileName), 1);
        }
        if (clip.interlaced) {
            const double reference = DeinterlacedReferenceCombedShare(inputs / clip.fileName, temp.Path());
            EXPECT_GT(CombedShare(inputs / clip.fileName), 0.4) << "the fixture is not combed";
            EXPECT_LE(CombedShare(output), reference + 0.05);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, PictureShapeTest, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) {
                             return info.param.format.empty() ? std::string("NetbookMp4") : info.param.format;
                         });

}  // namespace
}  // namespace testing_e2e
