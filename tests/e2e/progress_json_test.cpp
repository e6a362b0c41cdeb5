// -progress=json: what a script reads on standard output is one JSON object
// per line, and every item's lines end with its final state, whether it
// converted, failed or was stopped.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <csignal>
#include <map>
#include <system_error>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;

const Clip kGood{"good.mp4", "-c:v libx264 -c:a aac -f mp4", 320, 180, 10, 44100, 2};
// Quotes and a backslash must come back unchanged through the JSON.
const char kOddName[] = "say \"hi\" back\\slash";
// Long enough that a stop always comes while it converts.
const char kLongClipArguments[] = "-f lavfi -i testsrc=size=640x360:rate=25 -f lavfi -i sine -t 30 "
                                  "-c:v libx264 -preset ultrafast -c:a aac";

using States = std::map<QString, QStringList>;
using Finals = std::map<QString, QString>;

// The states of each item in the order printed; fails on a line that is
// not a JSON object with an item and a state, or a fraction out of range.
testing::AssertionResult ParseStates(const std::string& out, States* states)
{
    for (const QString& line : QString::fromStdString(out).split(u'\n', Qt::SkipEmptyParts)) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
        const double fraction = object.value("fraction").toDouble(-1);
        if (error.error != QJsonParseError::NoError || !object.value("item").isString() ||
            !object.value("state").isString() || fraction < 0 || fraction > 1)
            return testing::AssertionFailure() << "not a progress line: " << line.toStdString();
        (*states)[object.value("item").toString()] << object.value("state").toString();
    }
    return testing::AssertionSuccess();
}

// Each item: at most one "started" first, "progress" after it, and its
// final state last and only once.
testing::AssertionResult EndIn(const States& states, const Finals& finals)
{
    if (states.size() != finals.size())
        return testing::AssertionFailure() << states.size() << " items reported, not " << finals.size();
    for (const auto& [item, finalState] : finals) {
        const auto found = states.find(item);
        if (found == states.end())
            return testing::AssertionFailure() << "no lines for " << item.toStdString();
        QStringList running = found->second;
        const QString last = running.takeLast();
        if (!running.isEmpty() && running.first() == QLatin1String("started"))
            running.removeFirst();
        if (last != finalState || running.count(QStringLiteral("progress")) != running.size())
            return testing::AssertionFailure() << item.toStdString() << ": " << found->second.join(' ').toStdString();
    }
    return testing::AssertionSuccess();
}

TEST(ProgressJsonTest, EveryItemEndsWithWhetherItWasTransferred)
{
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    ASSERT_TRUE(MakeClip(temp.Path(), kGood));
    fs::copy_file(temp.File(kGood.fileName), temp.File(std::string(kOddName) + ".mp4"));
    testing_files::WriteFileBytes(temp.File("bad.mp4"), testing_files::PatternBytes(64 * 1024));

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home")
                                     .Run({"-sendto=My Computer", "-progress=json", "-outdir=" + outputs.string(),
                                           temp.File(kGood.fileName), temp.File("bad.mp4"),
                                           temp.File(std::string(kOddName) + ".mp4")});

    EXPECT_EQ(outcome.exitCode, 1) << Describe(outcome);
    States states;
    ASSERT_TRUE(ParseStates(outcome.out, &states)) << outcome.out;
    EXPECT_TRUE(EndIn(states, {{"good", "transferred"}, {"bad", "failed"}, {kOddName, "transferred"}}))
        << outcome.out;
    EXPECT_EQ(states["good"].first(), "started") << outcome.out;
}

TEST(ProgressJsonTest, AStopAbortsTheRunningItemAndTheWaitingOnes)
{
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    for (const char* name : {"first.mp4", "second.mp4"})
        ASSERT_TRUE(testing_media::MakeMedia(temp.File(name), kLongClipArguments));
    const fs::path partial = OutputFor(outputs, "first.mp4", "mp4");
    ChildInterrupt interrupt{[&partial] {
                                 std::error_code missing;
                                 const auto size = fs::file_size(partial, missing);
                                 return !missing && size > 64 * 1024;
                             },
                             {SIGINT}};

    const ChildOutcome outcome =
        TavimoCommand(temp.Path() / "home")
            .Run({"-sendto=My Computer", "-progress=json", "-outdir=" + outputs.string(), temp.File("first.mp4"),
                  temp.File("second.mp4")},
                 {}, interrupt);

    EXPECT_EQ(outcome.exitCode, 130) << Describe(outcome);
    States states;
    ASSERT_TRUE(ParseStates(outcome.out, &states)) << outcome.out;
    EXPECT_TRUE(EndIn(states, {{"first", "aborted"}, {"second", "aborted"}})) << outcome.out;
    EXPECT_EQ(states["second"], QStringList{"aborted"}) << "it never started";
}

}  // namespace
}  // namespace testing_e2e
