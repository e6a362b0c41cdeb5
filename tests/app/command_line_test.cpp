#include "app/command_line.h"

#include <gtest/gtest.h>

#include "tests/app/qstring_printer.h"

namespace {

CExCommandLineInfo Parse(const QStringList& arguments)
{
    CExCommandLineInfo info;
    info.Parse(arguments);
    return info;
}

TEST(CommandLine, SendToTakesTheRestOfTheSwitchAndFilesKeepTheirOrder)
{
    const CExCommandLineInfo info =
        Parse({"-sendto=My Computer", "/v/a.mp4", "-format=WAV", "/v/b c.mp3", "-profile=2", "-outdir=/tmp/out"});
    EXPECT_EQ(info.targetName, "My Computer");
    EXPECT_EQ(info.files, QStringList({"/v/a.mp4", "/v/b c.mp3"}));
    EXPECT_EQ(info.format, "wav");
    EXPECT_EQ(info.profile, 2);
    EXPECT_EQ(info.outputFolder, "/tmp/out");
    EXPECT_TRUE(info.error.isEmpty());
}

TEST(CommandLine, SendToMayStandAnywhereInTheSwitch)
{
    EXPECT_EQ(Parse({"-xsendto=Netbook", "a.mp4"}).targetName, "Netbook");
    EXPECT_EQ(Parse({"-SendTo=Netbook", "a.mp4"}).targetName, "");  // case-sensitive
}

TEST(CommandLine, AbsolutePathsAreFilesNotSwitches)
{
    const CExCommandLineInfo info = Parse({"-sendto=Netbook", "/home/anna/-odd.mp4", "--", "-dash.mp4"});
    EXPECT_EQ(info.files, QStringList({"/home/anna/-odd.mp4", "-dash.mp4"}));
    EXPECT_TRUE(info.error.isEmpty());
}

TEST(CommandLine, ReportsWhatItCannotUse)
{
    const struct {
        QStringList arguments;
        bool bad;
    } cases[] = {
        {{"-sendto=Netbook", "a.mp4"}, false},
        {{"-sendto=Netbook"}, true},                    // nothing to send
        {{"-bogus", "a.mp4"}, true},                    // unknown switch
        {{"-sendto=Netbook", "-profile=0", "a"}, true}, // profiles count from 1
        {{"-sendto=Netbook", "-profile=x", "a"}, true},
        {{}, false},                                    // the main window
        {{"-sendto=Netbook", "-progress=json", "a"}, false},
        {{"-sendto=Netbook", "-progress=xml", "a"}, true}, // json only
        {{"-sendto=Netbook", "-progress=", "a"}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!Parse(c.arguments).error.isEmpty(), c.bad) << qPrintable(c.arguments.join(' '));
    EXPECT_TRUE(Parse({"--help"}).showHelp);
    EXPECT_TRUE(Parse({"--version"}).showVersion);
}

TEST(CommandLine, ProgressJsonIsAskedForOnlyByItsSwitch)
{
    EXPECT_TRUE(Parse({"-sendto=Netbook", "-progress=json", "a.mp4"}).jsonProgress);
    EXPECT_FALSE(Parse({"-sendto=Netbook", "a.mp4"}).jsonProgress);
    EXPECT_FALSE(Parse({"-sendto=Netbook", "-progress=JSON5", "a.mp4"}).jsonProgress);
}

}  // namespace
