#include "platform/dshow/checked_mutex.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/com/comptr.h"
#include "platform/dshow/file_writer.h"

namespace {

#ifdef TAVIMO_CHECK_LOCKS

TEST(CheckedMutex, IsHeldByTheOwningThreadUntilItsLastUnlock)
{
    FilterMutex lock;
    EXPECT_FALSE(lock.HeldByThisThread());
    {
        std::lock_guard outer(lock);
        {
            std::lock_guard inner(lock);
        }
        EXPECT_TRUE(lock.HeldByThisThread()) << "the outer lock still holds it";
        bool heldElsewhere = true;
        std::thread([&] { heldElsewhere = lock.HeldByThisThread(); }).join();
        EXPECT_FALSE(heldElsewhere);
    }
    EXPECT_FALSE(lock.HeldByThisThread());
}

// The file name may change under the filter lock at any time, so reading
// it without that lock is a fault the build must catch where it happens.
TEST(CheckedMutexDeathTest, ReadingStateGuardedByTheFilterLockWithoutItEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ComPtr<CFileWriter> writer(new CFileWriter);
    EXPECT_DEATH(writer->FileName(), "is not held by this thread");
    std::lock_guard lock(*writer->FilterLock());
    EXPECT_TRUE(writer->FileName().empty());
}

#else

TEST(CheckedMutex, IsHeldByTheOwningThreadUntilItsLastUnlock)
{
    GTEST_SKIP() << "this build does not track lock owners (TAVIMO_CHECK_LOCKS: Debug and sanitizer builds)";
}

#endif

}  // namespace
