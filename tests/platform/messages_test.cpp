// messages_test.cpp -- the stand-in's queue and faults: ordering of WM_QUIT and WM_PAINT, stale
// handles, and fault injection counted from when it is set.
#include <gtest/gtest.h>

#include "testing.h"

static int destroys;
static LRESULT CALLBACK counting_proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_DESTROY)
        ++destroys;
    return DefWindowProcA(w, m, wp, lp);
}

static HWND make_window(DWORD style = WS_POPUP)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = counting_proc;
    wc.lpszClassName = "Q";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "Q", "q", style, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(Messages, QuitComesAfterEveryPostedMessage)
{
    HWND w = make_window();
    PostQuitMessage(3);
    PostMessageA(w, WM_USER, 1, 0);
    PostMessageA(w, WM_USER + 1, 2, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) << "the quit is taken once";
}

TEST(Messages, AVisibleWindowPaintsUntilValidated)
{
    HWND w = make_window(WS_POPUP | WS_VISIBLE);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) << "still invalid: painted by nobody yet";
    DispatchMessageA(&m);  // the default procedure validates
    EXPECT_FALSE(PeekMessageA(&m, w, 0, 0, PM_REMOVE));
}

TEST(Messages, DestroyedWindowsRefuseMessagesAndDestroyOnce)
{
    destroys = 0;
    HWND w = make_window();
    PostMessageA(w, WM_USER, 0, 0);
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_EQ(destroys, 1);
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_EQ(destroys, 1);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0));
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) << "its queued messages went with it";
    EXPECT_EQ(DispatchMessageA(&m), 0);
}

TEST(Faults, CountFromWhenTheyAreSetAndNameWhatWasCalled)
{
    EXPECT_NE(make_window(), nullptr);
    testing_fault("CreateWindowExA", 2, E_OUTOFMEMORY);
    EXPECT_NE(make_window(), nullptr);
    EXPECT_EQ(make_window(), nullptr);
    EXPECT_NE(make_window(), nullptr);
    testing_fault("CreateWindowExA", 0, E_FAIL);
    EXPECT_EQ(make_window(), nullptr);
    EXPECT_EQ(make_window(), nullptr);
    const auto seen = testing_operations_seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "RegisterClassA");
    EXPECT_EQ(seen[1], "CreateWindowExA");
}

TEST(Clock, SleepAdvancesTheVirtualClock)
{
    testing_clock_read_step(0);
    testing_clock_set(100);
    Sleep(250);
    EXPECT_EQ(GetTickCount(), 350u);
}
