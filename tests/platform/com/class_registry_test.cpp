#include "platform/com/class_registry.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/com/comptr.h"

namespace {

struct IWidget : IUnknown {
    static constexpr IID iid = MakeGuid("{3C0FFEE0-0000-4000-8000-00000000AA01}");
    virtual int Kind() = 0;

protected:
    ~IWidget() = default;
};

std::atomic<int> g_widgetsAlive{0};

template <int kKind>
class Widget final : public CUnknown, public IWidget {
public:
    Widget() : CUnknown("Widget") { ++g_widgetsAlive; }
    ~Widget() override { --g_widgetsAlive; }
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IWidget::iid) return GetInterface(static_cast<IWidget*>(this), object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    int Kind() override { return kKind; }
};

constexpr CLSID CLSID_Widget = MakeGuid("{3C0FFEE0-0000-4000-8000-00000000C001}");
constexpr CLSID CLSID_Unregistered = MakeGuid("{3C0FFEE0-0000-4000-8000-00000000C0FF}");
constexpr IID IID_Unsupported = MakeGuid("{3C0FFEE0-0000-4000-8000-00000000AAFF}");

// The widget class is registered for each test as a component would be at start-up.
class ClassRegistryTest : public testing::Test {
protected:
    void SetUp() override { ClassRegistry::Instance().Register(CLSID_Widget, CreateComObject<Widget<1>>); }
    void TearDown() override
    {
        ClassRegistry::Instance().Unregister(CLSID_Widget);
        EXPECT_EQ(g_widgetsAlive, 0) << "a widget leaked";
    }

    static int CreatedKind(REFCLSID clsid)
    {
        ComPtr<IWidget> widget;
        const HRESULT hr =
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(widget.ReleaseAndGetAddressOf()));
        if (FAILED(hr)) return hr == REGDB_E_CLASSNOTREG ? 0 : -1;
        return widget->Kind();
    }
};

TEST_F(ClassRegistryTest, CreatesRegisteredClassWithOneReference)
{
    IWidget* raw = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_Widget, nullptr, CLSCTX_ALL, IWidget::iid, reinterpret_cast<void**>(&raw)),
              S_OK);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->Kind(), 1);
    EXPECT_EQ(g_widgetsAlive, 1);
    EXPECT_EQ(raw->Release(), 0u);
    EXPECT_EQ(g_widgetsAlive, 0);
}

TEST_F(ClassRegistryTest, FailedCreationClearsTheOutputAndLeavesNothingBehind)
{
    struct Case {
        const char* why;
        CLSID clsid;
        bool outer;
        DWORD context;
        IID iid;
        HRESULT expected;
    };
    const Case cases[] = {
        {"unknown class", CLSID_Unregistered, false, CLSCTX_ALL, IWidget::iid, REGDB_E_CLASSNOTREG},
        {"outer object", CLSID_Widget, true, CLSCTX_ALL, IID_IUnknown, CLASS_E_NOAGGREGATION},
        {"out-of-process only", CLSID_Widget, false, CLSCTX_LOCAL_SERVER, IWidget::iid, REGDB_E_CLASSNOTREG},
        {"unsupported interface", CLSID_Widget, false, CLSCTX_INPROC_SERVER, IID_Unsupported, E_NOINTERFACE},
    };
    ComPtr<IWidget> outer;
    ASSERT_EQ(CoCreateInstance(CLSID_Widget, nullptr, CLSCTX_ALL, IID_PPV_ARGS(outer.ReleaseAndGetAddressOf())), S_OK);
    for (const Case& c : cases) {
        void* out = &out;
        EXPECT_EQ(CoCreateInstance(c.clsid, c.outer ? outer.Get() : nullptr, c.context, c.iid, &out), c.expected)
            << c.why;
        EXPECT_EQ(out, nullptr) << c.why;
        EXPECT_EQ(g_widgetsAlive, 1) << c.why << ": only the outer widget may exist";
    }
    EXPECT_EQ(CoCreateInstance(CLSID_Widget, nullptr, CLSCTX_ALL, IWidget::iid, nullptr), E_POINTER);
}

TEST_F(ClassRegistryTest, RegisterAndUnregisterReportWhatTheyReplaced)
{
    auto& registry = ClassRegistry::Instance();
    EXPECT_FALSE(registry.Register(CLSID_Unregistered, CreateComObject<Widget<2>>));
    const auto replaced = registry.Register(CLSID_Unregistered, CreateComObject<Widget<3>>);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(CreatedKind(CLSID_Unregistered), 3);

    const auto removed = registry.Unregister(CLSID_Unregistered);
    ASSERT_TRUE(removed);
    EXPECT_FALSE(registry.IsRegistered(CLSID_Unregistered));
    EXPECT_FALSE(registry.Unregister(CLSID_Unregistered));

    // What was handed back still creates the class it made before.
    void* out = nullptr;
    ASSERT_EQ((*replaced)(IWidget::iid, &out), S_OK);
    EXPECT_EQ(static_cast<IWidget*>(out)->Kind(), 2);
    static_cast<IWidget*>(out)->Release();
}

TEST_F(ClassRegistryTest, RegisteringAnEmptyFactoryRemovesTheClass)
{
    // Calling an empty factory would throw out of CoCreateInstance.
    auto& registry = ClassRegistry::Instance();
    EXPECT_TRUE(registry.Register(CLSID_Widget, ClassFactory{}));
    EXPECT_FALSE(registry.IsRegistered(CLSID_Widget));
    EXPECT_EQ(CreatedKind(CLSID_Widget), 0);
}

TEST_F(ClassRegistryTest, ScopedOverrideRemovesOrReplacesThenRestores)
{
    auto& registry = ClassRegistry::Instance();
    {
        ScopedClassOverride missing(CLSID_Widget, nullptr);
        EXPECT_FALSE(registry.IsRegistered(CLSID_Widget));
        EXPECT_EQ(CreatedKind(CLSID_Widget), 0);
        {
            ScopedClassOverride fake(CLSID_Widget, CreateComObject<Widget<7>>);
            EXPECT_EQ(CreatedKind(CLSID_Widget), 7);
        }
        EXPECT_EQ(CreatedKind(CLSID_Widget), 0);
    }
    EXPECT_EQ(CreatedKind(CLSID_Widget), 1);

    {
        ScopedClassOverride fake(CLSID_Widget, CreateComObject<Widget<8>>);
        EXPECT_EQ(CreatedKind(CLSID_Widget), 8);
    }
    EXPECT_EQ(CreatedKind(CLSID_Widget), 1);

    // A class that was absent is absent again afterwards.
    {
        ScopedClassOverride added(CLSID_Unregistered, CreateComObject<Widget<9>>);
        EXPECT_EQ(CreatedKind(CLSID_Unregistered), 9);
    }
    EXPECT_FALSE(registry.IsRegistered(CLSID_Unregistered));
}

TEST_F(ClassRegistryTest, FactoryMayUseTheRegistryWhileCreating)
{
    // A filter that builds its own helper objects in its constructor calls
    // back into the registry; that must not deadlock.
    ScopedClassOverride outer(CLSID_Unregistered, [](REFIID riid, void** object) {
        ClassRegistry::Instance().IsRegistered(CLSID_Widget);
        return CoCreateInstance(CLSID_Widget, nullptr, CLSCTX_INPROC_SERVER, riid, object);
    });
    EXPECT_EQ(CreatedKind(CLSID_Unregistered), 1);
}

}  // namespace
