#include "pipeline/media_kind.h"

#include <gtest/gtest.h>

#include "tests/app/qstring_printer.h"

namespace {

TEST(MediaKind, ListsTheConvertibleExtensionsInOrder)
{
    QStringList video, audio;
    GetSupportedExtensions(video, audio);
    EXPECT_EQ(video.join(' '), "mpeg mpg mpv mp4 m4v mov qt vob 3gp f4v flv wmv avi ts");
    EXPECT_EQ(audio.join(' '), "wav mp3 mpa m4a wma aac");
}

TEST(MediaKind, ClassifiesByTheLastExtensionInLowerCase)
{
    QStringList video, audio;
    GetSupportedExtensions(video, audio);
    const struct {
        const char* path;
        MediaKind kind;
    } cases[] = {
        {"/home/anna/Clip.MP4", MK_VIDEO},
        {"/home/anna/Song.MP3", MK_AUDIO},
        {"/home/anna/archive.mp4.zip", MK_NONE},
        {"/home/anna/noextension", MK_NONE},
        {".mp4", MK_NONE},                 // a leading dot is no extension
        {"/home/anna/.mp4", MK_VIDEO},     // but a dot later in the path is
        {"/home/my.videos/clip", MK_NONE}, // the dot belongs to a folder
        {"/home/anna/trailing.", MK_NONE},
        {"relative/Take 2.Ts", MK_VIDEO},
        {"voice.wma", MK_AUDIO},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFileKind(c.path, video, audio), c.kind) << c.path;
}

}  // namespace
