// The texts the terminal runner writes: the JSON lines scripts read and
// the line redrawn on a terminal.
#include "app/terminal_task_runner.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "app/time_left.h"
#include "tests/app/qstring_printer.h"

namespace {

QJsonObject Parse(const QByteArray& line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line.constData();
    EXPECT_FALSE(line.contains('\n')) << "one line: " << line.constData();
    return document.object();
}

// Half done after ten seconds, so ten more, and twenty for each waiting one.
CTimeLeft HalfDoneAfterTenSeconds()
{
    CTimeLeft times;
    times.StartItem(0);
    times.Sample(10, 0.5);
    return times;
}

class ProgressJsonNameTest : public testing::TestWithParam<QString> {};

TEST_P(ProgressJsonNameTest, AnyNameComesBackAsItWas)
{
    const QJsonObject line = Parse(ProgressJsonLine(GetParam(), ItemState::Started, 0, CTimeLeft(), 0));
    EXPECT_EQ(line.value("item").toString(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Names, ProgressJsonNameTest,
                         testing::Values(QString("plain"), QString("say \"hi\""), QString("back\\slash"),
                                         QString("tab\tand\nnew line\r"), QString(QChar(1)) + "bell" + QChar(0x1f),
                                         QString::fromUtf8("Fête à Zürich – 東京")));

struct StateCase {
    ItemState state;
    const char* name;
    bool timesShown;
};

class ProgressJsonStateTest : public testing::TestWithParam<StateCase> {};

TEST_P(ProgressJsonStateTest, NamesTheStateAndGivesTheTimesLeftOnlyInProgress)
{
    const QJsonObject line = Parse(ProgressJsonLine("a", GetParam().state, 0.5, HalfDoneAfterTenSeconds(), 2));
    EXPECT_EQ(line.value("state").toString(), QString::fromLatin1(GetParam().name));
    EXPECT_EQ(line.value("fraction").toDouble(), 0.5);
    EXPECT_EQ(line.contains("secondsLeft"), GetParam().timesShown);
    EXPECT_EQ(line.contains("queueSecondsLeft"), GetParam().timesShown);
}

INSTANTIATE_TEST_SUITE_P(States, ProgressJsonStateTest,
                         testing::Values(StateCase{ItemState::Started, "started", false},
                                         StateCase{ItemState::Progress, "progress", true},
                                         StateCase{ItemState::Transferred, "transferred", false},
                                         StateCase{ItemState::Failed, "failed", false},
                                         StateCase{ItemState::Aborted, "aborted", false}));

TEST(ProgressJson, TimesLeftAreTheEstimatesInSeconds)
{
    const QJsonObject line = Parse(ProgressJsonLine("a", ItemState::Progress, 0.5, HalfDoneAfterTenSeconds(), 2));
    EXPECT_EQ(line.value("secondsLeft").toDouble(), 10.0);
    EXPECT_EQ(line.value("queueSecondsLeft").toDouble(), 50.0);
}

TEST(ProgressJson, NumbersKeepOnlyTheDigitsThatMean)
{
    CTimeLeft times;
    times.StartItem(0);
    times.Sample(10, 0.3);  // 23.333... s left
    const QJsonObject line = Parse(ProgressJsonLine("a", ItemState::Progress, 0.30000001192092896, times, 0));
    EXPECT_EQ(line.value("fraction").toDouble(), 0.3);
    EXPECT_NEAR(line.value("secondsLeft").toDouble(), 23.3, 1e-9);
}

TEST(ProgressJson, UnknownTimesAreLeftOut)
{
    CTimeLeft justStarted;
    justStarted.StartItem(0);
    justStarted.Sample(0.2, 0.1);
    const QJsonObject line = Parse(ProgressJsonLine("a", ItemState::Progress, 0.1, justStarted, 2));
    EXPECT_FALSE(line.contains("secondsLeft"));
    EXPECT_FALSE(line.contains("queueSecondsLeft"));
}

struct LineCase {
    const char* name;
    double now;
    double fraction;
    int waiting;
    const char* text;
};

class ProgressLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(ProgressLineTest, ShowsElapsedAndWhatIsKnownOfTheTimeLeft)
{
    CTimeLeft times;
    times.StartItem(0);
    times.Sample(GetParam().now, GetParam().fraction);
    EXPECT_EQ(ProgressLineText("Transferring a", GetParam().fraction, times, GetParam().waiting),
              QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressLineTest,
    testing::Values(LineCase{"PaceNotYetKnown", 0.4, 0.3, 2, "[ 30%] Transferring a  0:00"},
                    LineCase{"WithWaitingItems", 10, 0.5, 2, "[ 50%] Transferring a  0:10, 0:10 left, queue 0:50"},
                    LineCase{"LastItemHasNoQueueTime", 10, 0.5, 0, "[ 50%] Transferring a  0:10, 0:10 left"},
                    // A long item whose fraction stands still still shows time passing.
                    LineCase{"StuckStillCountsTheSeconds", 125, 0.0, 1, "[  0%] Transferring a  2:05"}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

}  // namespace
