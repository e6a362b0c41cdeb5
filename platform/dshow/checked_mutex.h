// CheckedMutex: a mutex that can tell whether the calling thread holds it,
// so that a function documented as "called with the lock held" can say so
// in code: ASSERT_LOCK_HELD(lock) ends the program with the place named
// when the rule is broken.
//
// The owner is tracked only where TAVIMO_CHECK_LOCKS is defined (Debug and
// sanitizer builds); elsewhere the type is the bare mutex and the assertion
// compiles to nothing. It meets the Lockable requirements, so lock_guard,
// unique_lock and scoped_lock take it; condition variables need the bare
// std::mutex and keep using it.
#pragma once

#include <mutex>

#ifdef TAVIMO_CHECK_LOCKS
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#endif

template <class Mutex>
class CheckedMutex {
public:
    void lock()
    {
        m_mutex.lock();
        Entered();
    }
    bool try_lock()
    {
        if (!m_mutex.try_lock()) return false;
        Entered();
        return true;
    }
    void unlock()
    {
        Leaving();
        m_mutex.unlock();
    }

#ifdef TAVIMO_CHECK_LOCKS
    bool HeldByThisThread() const { return m_owner.load(std::memory_order_relaxed) == std::this_thread::get_id(); }

private:
    // Only the owner changes the depth, so it needs no atomic of its own;
    // other threads read only the owner, which never equals their own id.
    void Entered()
    {
        if (m_depth++ == 0) m_owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
    }
    void Leaving()
    {
        if (--m_depth == 0) m_owner.store(std::thread::id(), std::memory_order_relaxed);
    }

    std::atomic<std::thread::id> m_owner;
    int m_depth = 0;
#else
private:
    void Entered() {}
    void Leaving() {}
#endif

    Mutex m_mutex;
};

// The filter lock: state changes and connections, taken again by the
// same thread as the base classes call into the filter.
using FilterMutex = CheckedMutex<std::recursive_mutex>;
// A streaming lock: one sample at a time through a filter.
using StreamingMutex = CheckedMutex<std::mutex>;

#ifdef TAVIMO_CHECK_LOCKS
[[noreturn]] inline void LockNotHeld(const char* lock, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: %s is not held by this thread\n", file, line, lock);
    std::abort();
}
#define ASSERT_LOCK_HELD(lock) \
    ((lock).HeldByThisThread() ? void() : LockNotHeld(#lock, __FILE__, __LINE__))
#else
#define ASSERT_LOCK_HELD(lock) void()
#endif
