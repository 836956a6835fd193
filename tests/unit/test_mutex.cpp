// The single-instance lock, including two starts that race for it.
#include <gtest/gtest.h>

#include "app/mutex.h"
#include "tests/fakes/fakewin.h"

namespace {

struct MutexCase {
    const char* name;
    bool heldElsewhere;  // another instance created the object first
    bool probeMisses;    // ...but after this start's probe looked
    int result;
};

const MutexCase kCases[] = {
    {"free", false, false, 1},
    {"held, seen by the probe", true, false, 0},
    {"held, created between probe and create", true, true, 0},
};

TEST(Mutex, OnlyTheStartThatCreatesTheObjectHoldsTheLock)
{
    for (const MutexCase& c : kCases) {
        FakeWin_Reset();
        HANDLE other = c.heldElsewhere ? CreateMutexA(0, FALSE, "VANTREL") : nullptr;
        g_fake.mutexProbeMisses = c.probeMisses;
        {
            MUTEX lock;
            EXPECT_EQ(c.result, lock.Create()) << c.name;
            EXPECT_EQ(c.result != 0, lock.hMutex != nullptr) << c.name;
            EXPECT_EQ(0, lock.Create()) << c.name << ": a second Create";
            EXPECT_EQ(c.result + c.heldElsewhere, g_fake.openHandles) << c.name;
        }
        EXPECT_EQ(c.heldElsewhere, g_fake.openHandles) << c.name;
        // The other instance's object outlives this start.
        EXPECT_EQ(c.heldElsewhere, g_fake.mutexes.count("VANTREL") == 1) << c.name;
        if (other)
            CloseHandle(other);
    }
}

}  // namespace
