#include "platform/power/logind_power_control.h"

#include <gtest/gtest.h>

#include "fake_logind.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;

class LogindPowerControlTest : public testing::Test {
protected:
    TempFolder folder_;
    FakeLogind logind_{folder_.File("login1")};
    LogindPowerControl power_{logind_.Address()};
};

TEST_F(LogindPowerControlTest, KeepAwakeTakesOneSleepInhibitorAndClosesItOnRelease)
{
    power_.KeepAwake(true);
    power_.KeepAwake(true);

    const auto calls = logind_.InhibitCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].what, "sleep:idle");
    EXPECT_EQ(calls[0].who, "Orvex Tavimo");
    EXPECT_EQ(calls[0].why, "Transferring media");
    EXPECT_EQ(calls[0].mode, "block");
    EXPECT_TRUE(logind_.InhibitorHeld(0));

    power_.KeepAwake(false);
    EXPECT_FALSE(logind_.InhibitorHeld(0));
    power_.KeepAwake(false);
    EXPECT_EQ(logind_.InhibitCalls().size(), 1u);
}

TEST_F(LogindPowerControlTest, KeepAwakeAgainAfterReleaseTakesANewInhibitor)
{
    power_.KeepAwake(true);
    power_.KeepAwake(false);
    power_.KeepAwake(true);

    ASSERT_EQ(logind_.InhibitCalls().size(), 2u);
    EXPECT_FALSE(logind_.InhibitorHeld(0));
    EXPECT_TRUE(logind_.InhibitorHeld(1));
}

TEST_F(LogindPowerControlTest, DestroyingTheControlReleasesItsInhibitor)
{
    {
        LogindPowerControl power(logind_.Address());
        power.KeepAwake(true);
        EXPECT_TRUE(logind_.InhibitorHeld(0));
    }
    EXPECT_FALSE(logind_.InhibitorHeld(0));
}

TEST_F(LogindPowerControlTest, RefusedInhibitIsAskedForAgainNextTime)
{
    logind_.SetRefusing(true);
    power_.KeepAwake(true);
    logind_.SetRefusing(false);
    power_.KeepAwake(true);

    EXPECT_EQ(logind_.InhibitCalls().size(), 2u);
    EXPECT_TRUE(logind_.InhibitorHeld(0));
}

TEST_F(LogindPowerControlTest, PowerOffAsksWithoutInteractionAndReportsTheAnswer)
{
    struct Case {
        bool refusing;
        bool expected;
    };
    for (const Case& c : {Case{false, true}, Case{true, false}}) {
        SCOPED_TRACE(c.refusing ? "refused" : "granted");
        logind_.SetRefusing(c.refusing);
        EXPECT_EQ(power_.PowerOff(), c.expected);
    }
    EXPECT_EQ(logind_.PowerOffCalls(), (std::vector<bool>{false, false}));
}

// Only a socket that nobody listens on: nothing here can reach the machine's logind.
TEST(LogindPowerControlWithoutBus, KeepAwakeDoesNothingQuietlyAndPowerOffFails)
{
    TempFolder folder;
    LogindPowerControl power("unix:path=" + folder.File("nobody-listens"));
    for (bool awake : {true, true, false, false, true})
        power.KeepAwake(awake);
    EXPECT_FALSE(power.PowerOff());
}

}  // namespace
