// Input clips made with the ffmpeg command, and what ffprobe must find in
// the files the program writes from them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/media_fixtures.h"

namespace testing_e2e {

// Every clip lasts this long; outputs must match it within kDurationSlack.
inline constexpr double kClipSeconds = 1.5;
inline constexpr double kDurationSlack = 0.2;

struct Clip {
    std::string fileName;  // with its extension, which the program judges it by
    std::string encoding;  // ffmpeg output options: codecs and container
    int width = 0, height = 0, frameRate = 0;  // no video when width is 0
    int sampleRate = 0, channels = 0;          // no audio when sampleRate is 0

    bool HasVideo() const { return width > 0; }
    bool HasAudio() const { return sampleRate > 0; }
};

// Writes `clip` into `folder` from ffmpeg's test picture and a sine tone.
::testing::AssertionResult MakeClip(const std::filesystem::path& folder, const Clip& clip);

// The output the program names after `input`: the file name without its
// last extension, a new extension, in `folder`.
std::filesystem::path OutputFor(const std::filesystem::path& folder, const std::string& input,
                                const std::string& extension);

// The part of the frames that is not black border (at x, y), as ffmpeg's
// cropdetect finds it over the whole file; 0x0 when it finds nothing.
struct Picture {
    int width = 0, height = 0, x = 0, y = 0;
};
Picture VisiblePicture(const std::filesystem::path& video);

// The stream checks below name what they found when they fail.
::testing::AssertionResult HasStreams(const testing_media::Probe& probe, int video, int audio);
::testing::AssertionResult HasVideo(const testing_media::Probe& probe, const std::string& codec, int width,
                                    int height);
// The frame is within the box and never larger than the source, and the
// picture in it (borders aside) is the source scaled down to fit the box.
::testing::AssertionResult FitsWithin(const std::filesystem::path& output, int boxWidth, int boxHeight,
                                      const Clip& source);
::testing::AssertionResult HasFrameRate(const testing_media::Probe& probe, int frameRate);
// A codec name ending in '_' matches every codec that starts with it ("pcm_").
::testing::AssertionResult HasAudio(const testing_media::Probe& probe, const std::string& codec,
                                    int sampleRate, int channels);
::testing::AssertionResult LastsLikeTheClips(const testing_media::Probe& probe);

}  // namespace testing_e2e
