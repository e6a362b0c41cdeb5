#include "platform/power/power_control.h"

#include <gtest/gtest.h>

#include "platform/power/logind_power_control.h"

namespace {

class RecordingPowerControl : public PowerControl {
public:
    void KeepAwake(bool awake) override { awake_ = awake; }
    bool PowerOff() override { return ++powerOffs_, true; }
    bool awake_ = false;
    int powerOffs_ = 0;
};

TEST(ScopedPowerControl, ReplacesTheInstanceAndRestoresItInNestingOrder)
{
    PowerControl* const original = &ThePowerControl();
    EXPECT_NE(dynamic_cast<LogindPowerControl*>(original), nullptr);

    RecordingPowerControl outer, inner;
    {
        ScopedPowerControl outerScope(outer);
        EXPECT_EQ(&ThePowerControl(), &outer);
        {
            ScopedPowerControl innerScope(inner);
            EXPECT_EQ(&ThePowerControl(), &inner);
            EXPECT_TRUE(ThePowerControl().PowerOff());
            ThePowerControl().KeepAwake(true);
        }
        EXPECT_EQ(&ThePowerControl(), &outer);
    }
    EXPECT_EQ(&ThePowerControl(), original);
    EXPECT_EQ(inner.powerOffs_, 1);
    EXPECT_TRUE(inner.awake_);
    EXPECT_EQ(outer.powerOffs_, 0);
    EXPECT_FALSE(outer.awake_);
}

}  // namespace
