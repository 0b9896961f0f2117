#include "host/kit/memstats.h"

#include "common/handles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace corv::host;

TEST(MemoryFigures, GdiObjectsAreTheLiveOnesThatAreNotStock) {
    std::vector<GdiHandleEntry> table(8, GdiHandleEntry{});
    table[1].type = 16, table[1].unique = 0x0230;                  // a pen
    table[2].type = 16, table[2].unique = 0x0190;                  // a stock brush
    table[5].type = 1, table[5].unique = 0x0101;                   // a device context
    table[7].type = 0, table[7].unique = 0x0330;                   // freed
    EXPECT_EQ(CountGdiObjects(table.data(), table.size()), 2u);
    EXPECT_EQ(CountGdiObjects(nullptr, 8), 0u);
}

// The figures count what this process makes and deletes, whichever way the system tells them.
TEST(MemoryFigures, GdiObjectsFollowWhatTheProcessMakes) {
    ProcessMemory before, during, after;
    ASSERT_TRUE(ReadMemoryFigures(&before));
    std::vector<HGDIOBJ> pens;
    for (int i = 0; i < 25; ++i) pens.push_back(CreatePen(PS_SOLID, i, RGB(i, 0, 0)));
    ASSERT_TRUE(ReadMemoryFigures(&during));
    for (HGDIOBJ pen : pens) DeleteObject(pen);
    ASSERT_TRUE(ReadMemoryFigures(&after));
    EXPECT_EQ(during.gdiObjects, before.gdiObjects + 25);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_GT(before.privateBytes, 0u);
}

TEST(MemoryFigures, UserObjectsFollowTheWindowsTheProcessMakes) {
    // While the thread has a window, the system keeps one of its own (the input method's).
    corv::UniqueWindow first(
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    ProcessMemory before, during, after;
    ASSERT_TRUE(ReadMemoryFigures(&before));
    corv::UniqueWindow top(
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, top.get(), nullptr, nullptr, nullptr);
    corv::UniqueWindow message(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(top && child && message);
    ASSERT_TRUE(ReadMemoryFigures(&during));
    message.reset();
    top.reset();  // and its child
    ASSERT_TRUE(ReadMemoryFigures(&after));
    EXPECT_EQ(during.userObjects, before.userObjects + 3);
    EXPECT_EQ(after.userObjects, before.userObjects);
}

}  // namespace
