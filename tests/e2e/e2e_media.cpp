#include "tests/e2e/e2e_media.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace testing_e2e {

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;
using testing_media::Probe;

std::string Sources(const Clip& clip)
{
    std::string sources;
    if (clip.HasVideo())
        sources += "-f lavfi -i testsrc2=size=" + std::to_string(clip.width) + "x" + std::to_string(clip.height) +
                   ":rate=" + std::to_string(clip.frameRate) + " ";
    if (clip.HasAudio())
        sources += "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(clip.sampleRate) + " -ac " +
                   std::to_string(clip.channels) + " ";
    return sources;
}

// "30000/1001" or "4:3" as a number; 0 for "0/0", "N/A" or nothing.
double Ratio(const std::string& text)
{
    const auto split = text.find_first_of("/:");
    if (split == std::string::npos) return std::atof(text.c_str());
    const double denominator = std::atof(text.c_str() + split + 1);
    return denominator == 0 ? 0 : std::atof(text.substr(0, split).c_str()) / denominator;
}

int Whole(const Probe& probe, int stream, const std::string& key)
{
    return std::atoi(probe.Stream(stream, key).c_str());
}

bool CodecMatches(const std::string& found, const std::string& wanted)
{
    if (!wanted.empty() && wanted.back() == '_') return found.rfind(wanted, 0) == 0;
    return found == wanted;
}

}  // namespace

Picture VisiblePicture(const std::filesystem::path& video)
{
    const std::string report = testing_media::RunCommand(
        "ffmpeg -nostdin -v info -i " + testing_media::Quoted(video.string()) +
        " -vf cropdetect=limit=24:round=2:reset=0 -f null - 2>&1");
    const auto at = report.rfind("crop=");
    Picture picture;
    if (at != std::string::npos)
        std::sscanf(report.c_str() + at, "crop=%d:%d:%d:%d", &picture.width, &picture.height, &picture.x, &picture.y);
    return picture;
}

AssertionResult MakeClip(const std::filesystem::path& folder, const Clip& clip)
{
    const std::string arguments = Sources(clip) + "-t " + std::to_string(kClipSeconds) + " " + clip.encoding;
    if (testing_media::MakeMedia((folder / clip.fileName).string(), arguments)) return AssertionSuccess();
    return AssertionFailure() << "ffmpeg could not make " << clip.fileName << " from: " << arguments;
}

std::filesystem::path OutputFor(const std::filesystem::path& folder, const std::string& input,
                                const std::string& extension)
{
    return folder / (std::filesystem::path(input).stem().string() + "." + extension);
}

AssertionResult HasStreams(const Probe& probe, int video, int audio)
{
    if (!probe.IsValid()) return AssertionFailure() << "ffprobe cannot read the file";
    int videoFound = 0, audioFound = 0;
    for (int i = 0; i < probe.StreamCount(); ++i) {
        videoFound += probe.Stream(i, "codec_type") == "video";
        audioFound += probe.Stream(i, "codec_type") == "audio";
    }
    if (videoFound == video && audioFound == audio && probe.StreamCount() == video + audio)
        return AssertionSuccess();
    return AssertionFailure() << probe.StreamCount() << " streams, " << videoFound << " video and " << audioFound
                              << " audio; expected " << video << " video and " << audio << " audio";
}

AssertionResult HasVideo(const Probe& probe, const std::string& codec, int width, int height)
{
    const int stream = probe.FirstStream("video");
    if (stream < 0) return AssertionFailure() << "no video stream";
    const std::string found = probe.Stream(stream, "codec_name");
    const int foundWidth = Whole(probe, stream, "width"), foundHeight = Whole(probe, stream, "height");
    if (found == codec && foundWidth == width && foundHeight == height) return AssertionSuccess();
    return AssertionFailure() << "video " << found << " " << foundWidth << "x" << foundHeight << "; expected "
                              << codec << " " << width << "x" << height;
}

AssertionResult FitsWithin(const std::filesystem::path& output, int boxWidth, int boxHeight, const Clip& source)
{
    const Probe probe(output.string());
    const int stream = probe.FirstStream("video");
    if (stream < 0) return AssertionFailure() << "no video stream";
    const int width = Whole(probe, stream, "width"), height = Whole(probe, stream, "height");
    const Picture picture = VisiblePicture(output);
    const double scale = std::min({1.0, double(boxWidth) / source.width, double(boxHeight) / source.height});
    // Encoders and cropdetect round to even numbers, so allow two pixels.
    const bool frameFits = width <= std::min(boxWidth, source.width) && height <= std::min(boxHeight, source.height);
    const bool pictureFits = std::abs(picture.width - source.width * scale) <= 2 &&
                             std::abs(picture.height - source.height * scale) <= 2 && picture.width <= width &&
                             picture.height <= height;
    if (frameFits && pictureFits) return AssertionSuccess();
    return AssertionFailure() << "frame " << width << "x" << height << " showing a picture of " << picture.width
                              << "x" << picture.height << " from " << source.width << "x" << source.height
                              << " within " << boxWidth << "x" << boxHeight << "; expected a picture of about "
                              << source.width * scale << "x" << source.height * scale;
}

AssertionResult HasFrameRate(const Probe& probe, int frameRate)
{
    const int stream = probe.FirstStream("video");
    if (stream < 0) return AssertionFailure() << "no video stream";
    const double found = Ratio(probe.Stream(stream, "r_frame_rate"));
    if (std::abs(found - frameRate) <= 0.05 * frameRate) return AssertionSuccess();
    return AssertionFailure() << "frame rate " << found << "; expected " << frameRate;
}

AssertionResult HasAudio(const Probe& probe, const std::string& codec, int sampleRate, int channels)
{
    const int stream = probe.FirstStream("audio");
    if (stream < 0) return AssertionFailure() << "no audio stream";
    const std::string found = probe.Stream(stream, "codec_name");
    const int foundRate = Whole(probe, stream, "sample_rate"), foundChannels = Whole(probe, stream, "channels");
    if (CodecMatches(found, codec) && foundRate == sampleRate && foundChannels == channels)
        return AssertionSuccess();
    return AssertionFailure() << "audio " << found << " " << foundRate << " Hz " << foundChannels
                              << " channels; expected " << codec << " " << sampleRate << " Hz " << channels
                              << " channels";
}

AssertionResult LastsLikeTheClips(const Probe& probe)
{
    const double duration = probe.Duration();
    if (std::abs(duration - kClipSeconds) <= kDurationSlack) return AssertionSuccess();
    return AssertionFailure() << "lasts " << duration << " s; expected " << kClipSeconds << " s";
}

}  // namespace testing_e2e
