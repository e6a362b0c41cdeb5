// Command lines that transfer nothing: unknown or unavailable targets and
// bad switches end with status 2 and write no file; --version just answers.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;

// Placeholders in the arguments: the output folder and an input file.
constexpr char kOut[] = "@OUT@";
constexpr char kFile[] = "@FILE@";

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    int exitCode;
    std::string onStdout, onStderr;  // text each must hold; "" checks nothing
};

const CommandLineCase kCases[] = {
    {"UnknownTarget", {"-sendto=Phone", "-outdir=@OUT@", "@FILE@"}, 2, "", "Unable to send files to Phone."},
    {"UnknownSwitch", {"-sendto=My Computer", "-bogus", "-outdir=@OUT@", "@FILE@"}, 2, "", ""},
    {"UnknownFormat", {"-sendto=My Computer", "-format=ogg", "-outdir=@OUT@", "@FILE@"}, 2, "", ""},
    {"ProfileNotANumber", {"-sendto=My Computer", "-profile=two", "-outdir=@OUT@", "@FILE@"}, 2, "", ""},
    {"ProfileZero", {"-sendto=My Computer", "-profile=0", "-outdir=@OUT@", "@FILE@"}, 2, "", ""},
    {"ProfileTheFormatLacks", {"-sendto=My Computer", "-format=m4a", "-profile=2", "-outdir=@OUT@", "@FILE@"}, 2,
     "", ""},
    {"NoFiles", {"-sendto=My Computer", "-outdir=@OUT@"}, 2, "", ""},
    {"Version", {"--version"}, 0, "Orvex Tavimo", ""},
};

std::vector<std::string> Filled(std::vector<std::string> arguments, const fs::path& out, const fs::path& file)
{
    for (auto& argument : arguments) {
        if (const auto at = argument.find(kOut); at != std::string::npos)
            argument.replace(at, sizeof kOut - 1, out.string());
        if (argument == kFile) argument = file.string();
    }
    return arguments;
}

bool HoldsAnyFile(const fs::path& folder)
{
    if (!fs::exists(folder)) return false;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_directory()) return true;
    return false;
}

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CommandLineCase& row, std::ostream* out) { *out << row.name; }

class CommandLineErrorsTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineErrorsTest, EndsWithItsStatusAndWritesNothing)
{
    const CommandLineCase& row = GetParam();
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out", input = temp.Path() / "in" / "clip.wav";
    fs::create_directories(input.parent_path());
    // Never converted, so its bytes do not matter.
    testing_files::WriteFileBytes(input.string(), testing_files::PatternBytes(4096));

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home").Run(Filled(row.arguments, outputs, input));

    EXPECT_EQ(outcome.exitCode, row.exitCode) << Describe(outcome);
    EXPECT_NE(outcome.out.find(row.onStdout), std::string::npos) << Describe(outcome);
    EXPECT_NE(outcome.err.find(row.onStderr), std::string::npos) << Describe(outcome);
    EXPECT_FALSE(HoldsAnyFile(outputs));
}

INSTANTIATE_TEST_SUITE_P(CommandLines, CommandLineErrorsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

bool RemovableDrivePresent()
{
    for (const auto& device : fs::directory_iterator("/sys/block")) {
        std::ifstream flag(device.path() / "removable");
        char removable = '0';
        if (flag >> removable && removable == '1') return true;
    }
    return false;
}

TEST(NetbookTargetTest, WithoutRemovableDriveItIsUnavailable)
{
    if (RemovableDrivePresent()) GTEST_SKIP() << "this machine has a removable drive";
    testing_files::TempFolder temp;
    const fs::path input = temp.Path() / "clip.mp4";
    testing_files::WriteFileBytes(input.string(), testing_files::PatternBytes(4096));

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home").Run({"-sendto=Netbook", input.string()});

    EXPECT_EQ(outcome.exitCode, 2) << Describe(outcome);
    EXPECT_NE(outcome.err.find("Unable to send files to Netbook."), std::string::npos) << Describe(outcome);
}

}  // namespace
}  // namespace testing_e2e
