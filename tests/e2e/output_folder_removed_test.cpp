// The output folder is removed while the first item is being written: the
// item fails with the reason, the program does not crash or write anywhere
// else, and the exit status says that not everything was transferred.
#include <gtest/gtest.h>

#include <set>
#include <system_error>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;

const char kGone[] = "The source file or the target folder is no longer there.";

// Every file below `folder`, as paths relative to it.
std::set<fs::path> FilesBelow(const fs::path& folder)
{
    std::set<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), folder));
    return files;
}

TEST(OutputFolderRemovedTest, TheItemBeingWrittenFailsWithTheReasonAndNothingIsWrittenElsewhere)
{
    testing_files::TempFolder temp;
    const fs::path inputs = temp.Path() / "in";
    const fs::path outputs = temp.Path() / "out";
    const fs::path working = temp.Path() / "work";
    fs::create_directories(inputs);
    fs::create_directories(working);
    // Long enough that the folder goes while the first item is written.
    ASSERT_TRUE(testing_media::MakeMedia((inputs / "first.mp4").string(),
                                         "-f lavfi -i testsrc=size=640x360:rate=25 -f lavfi -i sine -t 20 "
                                         "-c:v libx264 -preset ultrafast -c:a aac"));
    ASSERT_TRUE(testing_media::MakeMedia((inputs / "second.mp4").string(),
                                         "-f lavfi -i testsrc=size=160x120:rate=25 -t 1 -c:v libx264"));
    const TavimoCommand command(temp.Path() / "home");
    const std::set<fs::path> before = FilesBelow(temp.Path());

    // Once the partial output has some size the first item is well under way.
    const fs::path partial = OutputFor(outputs, "first.mp4", "mp4");
    bool removed = false;
    ChildInterrupt removal{[&partial] {
                               std::error_code missing;
                               const auto size = fs::file_size(partial, missing);
                               return !missing && size > 64 * 1024;
                           },
                           {},
                           [&] { removed = fs::remove_all(outputs) > 0; }};
    const ChildOutcome outcome = command.Run({"-sendto=My Computer", "-outdir=" + outputs.string(),
                                              (inputs / "first.mp4").string(), (inputs / "second.mp4").string()},
                                             working, removal);

    ASSERT_TRUE(removed) << "the folder was not removed while the first item was written\n" << Describe(outcome);
    EXPECT_EQ(outcome.signal, 0) << Describe(outcome);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, 1) << Describe(outcome);
    EXPECT_EQ(Occurrences(outcome.out, "Transferring first: failed"), 1) << Describe(outcome);
    // Each item names the cause: the first lost its folder, the second never had one.
    EXPECT_EQ(Occurrences(outcome.err, kGone), 2) << Describe(outcome);
    // Nowhere a new file: not in the working folder, the videos folder, the
    // inputs' folder, nor a folder made again for the outputs.
    std::set<fs::path> written = FilesBelow(temp.Path());
    std::erase_if(written, [](const fs::path& file) { return *file.begin() == "home" && file.extension() != ".mp4"; });
    std::set<fs::path> expected = before;
    std::erase_if(expected, [](const fs::path& file) { return *file.begin() == "home" && file.extension() != ".mp4"; });
    EXPECT_EQ(written, expected);
}

}  // namespace
}  // namespace testing_e2e
