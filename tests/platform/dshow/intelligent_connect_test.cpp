// Intelligent connect, rendering and source selection.
#include <gtest/gtest.h>

#include "platform/dshow/plugin_control.h"
#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/test_filters.h"

using namespace testing_filters;

namespace {

// A source of sub type A and a sink that takes only `sinkSubtype`, in a graph.
struct ConnectCase {
    ConnectCase(const GUID& sinkSubtype)
        : source(new CNumberedSource()), sink(new CTestSink(sinkSubtype)), refs{source, sink}
    {
        h.Add(source, "Source");
        h.Add(sink, "Sink");
        out = h.Pin(source, PINDIR_OUTPUT);
        in = h.Pin(sink, PINDIR_INPUT);
    }
    // The class id of the filter now feeding the sink.
    CLSID UpstreamOfSink()
    {
        ComPtr<IPin> peer;
        if (FAILED(in->ConnectedTo(peer.ReleaseAndGetAddressOf()))) return GUID_NULL;
        CLSID clsid{};
        FilterOf(peer.Get())->GetClassID(&clsid);
        return clsid;
    }

    GraphHarness h;
    CNumberedSource* source;
    CTestSink* sink;
    ComPtr<IBaseFilter> refs[2];
    IPin* out;
    IPin* in;
};

struct PreferenceReset {
    ~PreferenceReset() { PluginPreferences::Instance().Clear(); }
};

}  // namespace

TEST(IntelligentConnect, DirectWhenThePinsMeet)
{
    ConnectCase c(kSubtypeA);
    ASSERT_EQ(c.h.graph->Connect(c.out, c.in), S_OK);
    EXPECT_EQ(c.UpstreamOfSink(), CLSID_NumberedSource);
    EXPECT_EQ(c.h.FilterNames().size(), 2u);
}

TEST(IntelligentConnect, InsertsARegisteredConverter)
{
    ScopedConverter reg(CLSID_ConverterAB, kSubtypeA, kSubtypeB, MERIT_NORMAL);
    ConnectCase c(kSubtypeB);

    ASSERT_EQ(c.h.graph->Connect(c.out, c.in), S_OK);
    EXPECT_EQ(c.UpstreamOfSink(), CLSID_ConverterAB);
    EXPECT_EQ(c.h.FilterNames(), (std::vector<std::string>{"Converter", "Sink", "Source"}));
}

TEST(IntelligentConnect, ChainsConvertersUpToTheDepthNeeded)
{
    // A -> C -> B: only two converters in a row reach the sink.
    constexpr CLSID kConverterCB = MakeGuid("{A0000001-0000-4000-8000-0000000000CB}");
    ScopedConverter reg1(CLSID_ConverterAC, kSubtypeA, kSubtypeC, MERIT_NORMAL);
    ScopedConverter reg2(kConverterCB, kSubtypeC, kSubtypeB, MERIT_NORMAL);
    ConnectCase c(kSubtypeB);

    ASSERT_EQ(c.h.graph->Connect(c.out, c.in), S_OK);
    EXPECT_EQ(c.UpstreamOfSink(), kConverterCB);
    EXPECT_EQ(c.h.FilterNames().size(), 4u);
}

TEST(IntelligentConnect, PreferredClassComesBeforeHigherMerit)
{
    PreferenceReset reset;
    ScopedConverter reg1(CLSID_ConverterAB, kSubtypeA, kSubtypeB, MERIT_PREFERRED);
    ScopedConverter reg2(CLSID_OtherConverterAB, kSubtypeA, kSubtypeB, MERIT_UNLIKELY);

    {
        ConnectCase byMerit(kSubtypeB);
        ASSERT_EQ(byMerit.h.graph->Connect(byMerit.out, byMerit.in), S_OK);
        EXPECT_EQ(byMerit.UpstreamOfSink(), CLSID_ConverterAB);
    }

    ComPtr<IAMPluginControl> plugins;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectShowPluginControl, nullptr, CLSCTX_ALL,
                               IID_PPV_ARGS(plugins.ReleaseAndGetAddressOf())),
              S_OK);
    ASSERT_EQ(plugins->SetPreferredClsid(kSubtypeA, &CLSID_OtherConverterAB), S_OK);
    ConnectCase preferred(kSubtypeB);
    ASSERT_EQ(preferred.h.graph->Connect(preferred.out, preferred.in), S_OK);
    EXPECT_EQ(preferred.UpstreamOfSink(), CLSID_OtherConverterAB);
}

TEST(IntelligentConnect, FailedAttemptLeavesNoStrayFilter)
{
    // A -> C leads nowhere for a B sink; it must be tried and taken out again.
    ScopedConverter reg(CLSID_ConverterAC, kSubtypeA, kSubtypeC, MERIT_NORMAL);
    ConnectCase c(kSubtypeB);

    EXPECT_EQ(c.h.graph->Connect(c.out, c.in), VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(c.h.FilterNames(), (std::vector<std::string>{"Sink", "Source"}));
    EXPECT_FALSE(IsPinConnected(c.out));
    EXPECT_FALSE(IsPinConnected(c.in));
}

TEST(IntelligentConnect, SkipsRegisteredFiltersThatCannotBeCreatedOrAreDisabled)
{
    PreferenceReset reset;
    // Registered for intelligent connect, but its class is not installed.
    ScopedConverter reg1(CLSID_ConverterAB, kSubtypeA, kSubtypeB, MERIT_PREFERRED);
    ScopedClassOverride missing(CLSID_ConverterAB, {});
    ScopedConverter reg2(CLSID_OtherConverterAB, kSubtypeA, kSubtypeB, MERIT_NORMAL);
    {
        ConnectCase c(kSubtypeB);
        ASSERT_EQ(c.h.graph->Connect(c.out, c.in), S_OK);
        EXPECT_EQ(c.UpstreamOfSink(), CLSID_OtherConverterAB);
    }
    PluginPreferences::Instance().SetDisabled(CLSID_OtherConverterAB, true);
    ConnectCase disabled(kSubtypeB);
    EXPECT_EQ(disabled.h.graph->Connect(disabled.out, disabled.in), VFW_E_CANNOT_CONNECT);
}

TEST(IntelligentConnect, FiltersAtDoNotUseMeritAreNeverTried)
{
    ScopedConverter reg(CLSID_ConverterAB, kSubtypeA, kSubtypeB, MERIT_DO_NOT_USE);
    ConnectCase c(kSubtypeB);
    EXPECT_EQ(c.h.graph->Connect(c.out, c.in), VFW_E_CANNOT_CONNECT);
}

TEST(IntelligentConnect, RenderEndsTheStreamInARegisteredSink)
{
    ScopedClassOverride sinkClass(CLSID_TestSink, [](REFIID riid, void** object) {
        return QueryNewObject(new CTestSink(kSubtypeB), riid, object);
    });
    ScopedFilterRegistration sinkReg({CLSID_TestSink, "Renderer", MERIT_NORMAL, {{MEDIATYPE_Video, kSubtypeB}}});
    ScopedConverter reg(CLSID_ConverterAB, kSubtypeA, kSubtypeB, MERIT_NORMAL);

    GraphHarness h;
    ComPtr<IBaseFilter> source(new CNumberedSource());
    h.Add(source.Get(), "Source");
    ASSERT_EQ(h.graph->Render(h.Pin(source.Get(), PINDIR_OUTPUT)), S_OK);
    EXPECT_EQ(h.FilterNames(), (std::vector<std::string>{"Renderer", "Converter", "Source"}));

    ASSERT_EQ(h.RunFree(), S_OK);
    EXPECT_EQ(h.EventCodesUntilEnd().back(), EC_COMPLETE);
}

TEST(IntelligentConnect, AddSourceFilterPicksTheSourceRegisteredForTheScheme)
{
    // A source for "test://" addresses that records what it was asked to load.
    static std::string loaded;
    struct CAddressSource final : CBaseFilter, IFileSourceFilter {
        CAddressSource() : CBaseFilter("address source", CLSID_NumberedSource) {}
        DECLARE_IUNKNOWN
        HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
        {
            if (riid == IFileSourceFilter::iid) return GetInterface(static_cast<IFileSourceFilter*>(this), object);
            return CBaseFilter::NonDelegatingQueryInterface(riid, object);
        }
        int GetPinCount() override { return 0; }
        CBasePin* GetPin(int) override { return nullptr; }
        HRESULT Load(LPCOLESTR name, const AM_MEDIA_TYPE*) override
        {
            loaded = name;
            return std::string(name).ends_with("missing") ? HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) : S_OK;
        }
        HRESULT GetCurFile(LPOLESTR*, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    };
    ScopedClassOverride cls(CLSID_NumberedSource, CreateComObject<CAddressSource>);
    FilterMapper::Instance().RegisterProtocolSource("test", CLSID_NumberedSource);

    GraphHarness h;
    ComPtr<IBaseFilter> source;
    EXPECT_EQ(h.graph->AddSourceFilter("TEST://host/item", nullptr, source.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(loaded, "TEST://host/item");
    EXPECT_EQ(h.FilterNames(), std::vector<std::string>{"TEST://host/item"});

    EXPECT_EQ(h.graph->AddSourceFilter("test://host/missing", "Named", source.ReleaseAndGetAddressOf()),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(source.Get(), nullptr);
    EXPECT_EQ(h.FilterNames().size(), 1u) << "a source that cannot load is not added";
    FilterMapper::Instance().UnregisterSource(CLSID_NumberedSource);
}
