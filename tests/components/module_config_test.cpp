// The parameter store behind every component's IModuleConfig.
#include <gtest/gtest.h>

#include "components/common/module_config.h"
#include "components/component_ids.h"

namespace {

VARIANT Int(VARTYPE type, uint32_t bits)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    value.ulVal = bits;
    return value;
}

// A CModuleConfig whose owner is a plain counted object.
struct Owner final : CUnknown, IUnknown {
    Owner() : CUnknown("owner") {}
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
};

}  // namespace

TEST(ModuleConfig, ValuesTakeEffectOnlyWhenCommitted)
{
    Owner owner;
    CModuleConfig config(&owner, CLSID_FrameRateConverter,
                         {{component_params::FrameRate, IntegerParameter(0, -3000, 12000)}});
    EXPECT_EQ(config.Int(component_params::FrameRate), 0);

    // -2997 arrives as the bits of a VT_UI4, and reads back as -2997.
    VARIANT rate = Int(VT_UI4, 0xFFFFF44B);
    ASSERT_EQ(config.SetValue(&component_params::FrameRate, &rate), S_OK);
    EXPECT_EQ(config.Int(component_params::FrameRate), 0);
    EXPECT_EQ(config.IsDirty(), S_OK);
    VARIANT reason;
    ASSERT_EQ(config.CommitChanges(&reason), S_OK);
    EXPECT_EQ(reason.vt, VT_EMPTY);
    EXPECT_EQ(config.Int(component_params::FrameRate), -2997);

    ASSERT_EQ(config.SetDefState(), S_OK);
    ASSERT_EQ(config.CommitChanges(nullptr), S_OK);
    EXPECT_EQ(config.Int(component_params::FrameRate), 0);
}

TEST(ModuleConfig, RefusesUnknownParametersAndBadValues)
{
    Owner owner;
    CModuleConfig config(&owner, CLSID_Scaler, {{component_params::ScalerWidth, IntegerParameter(0, 0, 8192)}});
    struct Case {
        const char* what;
        GUID parameter;
        VARIANT value;
        HRESULT expected;
    } cases[] = {
        {"in range", component_params::ScalerWidth, Int(VT_I4, 1024), S_OK},
        {"unsigned is taken too", component_params::ScalerWidth, Int(VT_UI4, 640), S_OK},
        {"too large", component_params::ScalerWidth, Int(VT_I4, 100000), E_INVALIDARG},
        {"negative", component_params::ScalerWidth, Int(VT_I4, static_cast<uint32_t>(-1)), E_INVALIDARG},
        {"a real for an integer", component_params::ScalerWidth, Int(VT_R8, 0), E_INVALIDARG},
        {"unknown parameter", component_params::ScalerHeight, Int(VT_I4, 576), E_NOTIMPL},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(config.SetValue(&c.parameter, &c.value), c.expected);
    }
    config.CommitChanges(nullptr);
    EXPECT_EQ(config.Int(component_params::ScalerWidth), 640) << "the last accepted value wins";
    EXPECT_EQ(config.IsSupported(&component_params::ScalerHeight), S_FALSE);
}
