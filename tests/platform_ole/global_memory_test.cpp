// GlobalAlloc, GlobalLock, GlobalUnlock, GlobalFree, GlobalSize, GlobalReAlloc.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemory, FixedBlocksAreTheirOwnAddress) {
    HGLOBAL h = GlobalAlloc(GPTR, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_EQ(static_cast<const char*>(h)[15], 0);
    SetLastError(0);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
}

TEST(GlobalMemory, MoveableBlocksCountLocks) {
    HGLOBAL h = GlobalAlloc(GHND, 8);
    ASSERT_NE(h, nullptr);
    void* p = GlobalLock(h);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p, h);
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(h)); // still locked once
    SetLastError(99);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    SetLastError(0);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalHandle(p), h);
    EXPECT_EQ(GlobalReAlloc(h, 64, GMEM_ZEROINIT), h);
    EXPECT_EQ(GlobalSize(h), 64u);
    EXPECT_EQ(static_cast<const char*>(GlobalLock(h))[63], 0);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, ForeignHandlesGetErrorsNotCrashes) {
    int local = 0;
    HGLOBAL foreign = &local;
    SetLastError(0);
    EXPECT_EQ(GlobalLock(foreign), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalFree(foreign), foreign);
    EXPECT_EQ(GlobalSize(foreign), 0u);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    EXPECT_EQ(GlobalAlloc(0x80000000u, 4), nullptr);
}

} // namespace
