// An output folder on a file system that fills up mid-transfer: that item
// fails with the reason, leaves nothing behind, and the queue goes on.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;
using testing_media::Quoted;

// A 1 MB tmpfs on a folder of the test's own, gone with the object.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const fs::path& folder) : m_folder(folder)
    {
        fs::create_directories(folder);
        const std::string mount = "mount -t tmpfs -o size=1m tmpfs " + Quoted(folder.string()) + " 2>/dev/null";
        m_mounted = std::system(mount.c_str()) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted) std::system(("umount -l " + Quoted(m_folder.string())).c_str());
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool Mounted() const { return m_mounted; }

private:
    fs::path m_folder;
    bool m_mounted = false;
};

TEST(DiskFullTest, TheItemThatFillsTheDriveFailsWithTheReasonAndTheNextOneRuns)
{
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "small";
    const SmallFileSystem small(outputs);
    if (!small.Mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root and a machine that allows mounts";
    // About 7 MB at the default profile's 3000 kbit/s, then one that fits.
    ASSERT_TRUE(testing_media::MakeMedia(temp.File("big.mp4"), "-f lavfi -i testsrc=size=640x360:rate=25 -t 20 "
                                                               "-c:v libx264 -preset ultrafast"));
    ASSERT_TRUE(testing_media::MakeMedia(temp.File("small.mp4"), "-f lavfi -i testsrc=size=160x120:rate=25 -t 1 "
                                                                 "-c:v libx264"));

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home")
                                     .Run({"-sendto=My Computer", "-outdir=" + outputs.string(), temp.File("big.mp4"),
                                           temp.File("small.mp4")});

    EXPECT_EQ(outcome.exitCode, 1) << Describe(outcome);
    EXPECT_EQ(Occurrences(outcome.err, "The target drive is full."), 1) << outcome.err;
    EXPECT_FALSE(fs::exists(OutputFor(outputs, "big.mp4", "mp4"))) << "no partial file";
    const testing_media::Probe converted(OutputFor(outputs, "small.mp4", "mp4").string());
    EXPECT_TRUE(converted.IsValid()) << "the next item ran";
}

}  // namespace
}  // namespace testing_e2e
