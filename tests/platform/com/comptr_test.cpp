#include "platform/com/comptr.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <thread>
#include <vector>

namespace {

struct IFirst : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1F0C10-2B3D-4E5F-8A9B-0C1D2E3F4A01}");
    virtual int First() = 0;

protected:
    ~IFirst() = default;
};

struct ISecond : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1F0C10-2B3D-4E5F-8A9B-0C1D2E3F4A02}");
    virtual int Second() = 0;

protected:
    ~ISecond() = default;
};

// Implemented by nothing here.
struct IAbsent : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1F0C10-2B3D-4E5F-8A9B-0C1D2E3F4A03}");

protected:
    ~IAbsent() = default;
};

class TwoFaced final : public CUnknown, public IFirst, public ISecond {
public:
    explicit TwoFaced(std::atomic<int>* deletions) : CUnknown("TwoFaced"), m_deletions(deletions) {}
    ~TwoFaced() override { ++*m_deletions; }

    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown) return GetInterface(static_cast<IUnknown*>(static_cast<IFirst*>(this)), object);
        if (riid == IFirst::iid) return GetInterface(static_cast<IFirst*>(this), object);
        if (riid == ISecond::iid) return GetInterface(static_cast<ISecond*>(this), object);
        *object = nullptr;
        return E_NOINTERFACE;
    }

    int First() override { return 1; }
    int Second() override { return 2; }

private:
    std::atomic<int>* m_deletions;
};

// The current count, read through the return values of an AddRef/Release pair.
ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

class ComPtrTest : public testing::Test {
protected:
    // A fresh object with one reference, held as IFirst.
    ComPtr<IFirst> MakeObject()
    {
        ComPtr<IFirst> first;
        first.Attach(new TwoFaced(&deletions));
        first->AddRef();  // Attach took no reference; this is the one `first` owns
        return first;
    }

    std::atomic<int> deletions{0};
};

TEST_F(ComPtrTest, InterfacesOfOneObjectShareOneCountAndIdentity)
{
    ComPtr<IFirst> first = MakeObject();
    ComPtr<ISecond> second;
    ASSERT_EQ(first.As(&second), S_OK);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Second(), 2);
    EXPECT_EQ(RefCount(first.Get()), 2u);
    EXPECT_EQ(RefCount(second.Get()), 2u);

    // IUnknown is the object's identity, whichever interface it is asked through.
    ComPtr<IUnknown> viaFirst, viaSecond;
    ASSERT_EQ(first->QueryInterface(IID_IUnknown, viaFirst.ReleaseAndGetVoidAddress()), S_OK);
    ASSERT_EQ(second->QueryInterface(IID_IUnknown, viaSecond.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(viaFirst, viaSecond);
    EXPECT_EQ(RefCount(first.Get()), 4u);

    // And each interface can be reached back from IUnknown.
    ComPtr<IFirst> again = viaSecond.As<IFirst>();
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->First(), 1);
}

TEST_F(ComPtrTest, MissingInterfaceGivesNoInterfaceAndNoReference)
{
    ComPtr<IFirst> first = MakeObject();
    void* out = &out;  // not null, so the callee has to clear it
    EXPECT_EQ(first->QueryInterface(IAbsent::iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(first->QueryInterface(IFirst::iid, nullptr), E_POINTER);

    ComPtr<IAbsent> absent;
    EXPECT_EQ(first.As(&absent), E_NOINTERFACE);
    EXPECT_FALSE(absent);
    EXPECT_FALSE(first.As<IAbsent>());
    EXPECT_EQ(RefCount(first.Get()), 1u);

    ComPtr<IFirst> empty;
    EXPECT_EQ(empty.As(&absent), E_POINTER);
}

TEST_F(ComPtrTest, ObjectIsDeletedExactlyWhenTheLastReferenceGoes)
{
    ComPtr<IFirst> first = MakeObject();
    ComPtr<ISecond> second = first.As<ISecond>();
    ComPtr<IUnknown> unknown = second.As<IUnknown>();

    first.Reset();
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(second->Second(), 2);
    unknown = nullptr;
    EXPECT_EQ(deletions, 0);
    second.Reset();
    EXPECT_EQ(deletions, 1);
    second.Reset();  // an empty pointer releases nothing
    EXPECT_EQ(deletions, 1);
}

TEST_F(ComPtrTest, CopyAddsAReferenceAndMoveTransfersIt)
{
    ComPtr<IFirst> a = MakeObject();
    IFirst* raw = a.Get();

    ComPtr<IFirst> b(a);
    EXPECT_EQ(RefCount(raw), 2u);
    ComPtr<IFirst> c(std::move(b));
    EXPECT_FALSE(b);
    EXPECT_EQ(c.Get(), raw);
    EXPECT_EQ(RefCount(raw), 2u);

    ComPtr<IFirst> d;
    d = c;
    EXPECT_EQ(RefCount(raw), 3u);
    d = std::move(c);  // d's old reference goes, c's moves in
    EXPECT_FALSE(c);
    EXPECT_EQ(RefCount(raw), 2u);

    d = d;  // self-assignment keeps the reference
    EXPECT_EQ(RefCount(raw), 2u);

    // Assigning a different object releases the old one.
    d = MakeObject();
    EXPECT_NE(d.Get(), raw);
    EXPECT_EQ(RefCount(raw), 1u);
    a.Reset();
    EXPECT_EQ(deletions, 1);
    d.Reset();
    EXPECT_EQ(deletions, 2);
}

TEST_F(ComPtrTest, AttachAndDetachHandOverWithoutCounting)
{
    ComPtr<IFirst> owner = MakeObject();
    IFirst* raw = owner.Detach();
    EXPECT_FALSE(owner);
    EXPECT_EQ(RefCount(raw), 1u);  // the reference now belongs to the caller

    ComPtr<IFirst> adopter;
    adopter.Attach(raw);
    EXPECT_EQ(RefCount(raw), 1u);

    // Attaching over a held pointer releases what was held.
    ComPtr<IFirst> other = MakeObject();
    IFirst* otherRaw = other.Detach();
    adopter.Attach(otherRaw);
    EXPECT_EQ(deletions, 1);
    adopter.Reset();
    EXPECT_EQ(deletions, 2);
}

TEST_F(ComPtrTest, OutParametersReleaseOldAndCopyToAddsReference)
{
    ComPtr<IFirst> first = MakeObject();
    ComPtr<IFirst> target = MakeObject();
    // Filling an out-parameter must not leak what the pointer held before.
    ASSERT_EQ(first->QueryInterface(IFirst::iid, target.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(target, first);

    IFirst* copy = nullptr;
    ASSERT_EQ(first.CopyTo(&copy), S_OK);
    EXPECT_EQ(copy, first.Get());
    EXPECT_EQ(RefCount(copy), 3u);
    copy->Release();
    EXPECT_EQ(first.CopyTo(nullptr), E_POINTER);
}

TEST_F(ComPtrTest, AsIntoItselfKeepsTheObjectAlive)
{
    // The pointer being queried is also the out-parameter, and holds the only reference.
    ComPtr<IFirst> first = MakeObject();
    ASSERT_EQ(first.As(&first), S_OK);
    EXPECT_EQ(deletions, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->First(), 1);
    EXPECT_EQ(RefCount(first.Get()), 1u);
}

// A part whose lifetime is its owner's, as a pin is its filter's.
struct IPart : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1F0C10-2B3D-4E5F-8A9B-0C1D2E3F4A04}");

protected:
    ~IPart() = default;
};

class Part final : public CUnknown, public IPart {
public:
    explicit Part(CUnknown* owner) : CUnknown("Part", owner) {}
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IPart::iid) return GetInterface(static_cast<IPart*>(this), object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
};

class Whole final : public CUnknown, public IFirst {
public:
    explicit Whole(std::atomic<int>* deletions) : CUnknown("Whole"), m_deletions(deletions) {}
    ~Whole() override { ++*m_deletions; }
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IFirst::iid) return GetInterface(static_cast<IFirst*>(this), object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    int First() override { return 1; }
    Part part{this};

private:
    std::atomic<int>* m_deletions;
};

TEST_F(ComPtrTest, PartKeepsItsOwnerAlive)
{
    ComPtr<IFirst> whole(new Whole(&deletions));
    ComPtr<IPart> part(static_cast<IPart*>(&static_cast<Whole*>(whole.Get())->part));
    EXPECT_EQ(RefCount(whole.Get()), 2u);
    whole.Reset();
    EXPECT_EQ(deletions, 0);
    part.Reset();
    EXPECT_EQ(deletions, 1);
}

TEST_F(ComPtrTest, CountsStayExactUnderConcurrentAddRefAndRelease)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    ComPtr<IFirst> first = MakeObject();

    // Every thread starts from its own copy; the last one to let go deletes the object.
    std::vector<ComPtr<IFirst>> copies(kThreads, first);
    EXPECT_EQ(RefCount(first.Get()), ULONG{kThreads + 1});
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (ComPtr<IFirst>& copy : copies) {
        threads.emplace_back([&start, &copy] {
            start.arrive_and_wait();
            for (int i = 0; i < kRounds; ++i) {
                ComPtr<IFirst> extra(copy);
                ComPtr<ISecond> other = extra.As<ISecond>();
                if (!other) std::abort();
            }
            copy.Reset();
        });
    }
    first.Reset();
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(deletions, 1);
}

TEST_F(ComPtrTest, IidPpvArgsNamesThePointersInterface)
{
    ComPtr<IFirst> first = MakeObject();
    ComPtr<ISecond> second;
    ASSERT_EQ(first->QueryInterface(IID_PPV_ARGS(second.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(second->Second(), 2);
}

}  // namespace
