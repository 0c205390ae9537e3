// message_loop_test.cpp -- WinMain's turns: one message at most, then one frame; WM_QUIT ends it.
#include <gtest/gtest.h>

#include <functional>

#include "shell.h"
#include "testing.h"

// ---- a game that only counts, and does what a test asks on a given frame ----
static int inits, frames, shutdowns;
static int frames_at_shutdown;
static std::function<void(int frame)> on_frame;

int game_init(void*)
{
    ++inits;
    return 1;
}

int game_frame(void*)
{
    ++frames;
    if (on_frame)
        on_frame(frames);
    if (frames > 10000)  // a loop that never ends fails the test instead of hanging it
        PostQuitMessage(99);
    return 1;
}

int game_shutdown(void*)
{
    ++shutdowns;
    frames_at_shutdown = frames;
    return 1;
}

class MessageLoop : public testing::Test {
protected:
    void SetUp() override
    {
        inits = frames = shutdowns = frames_at_shutdown = 0;
        on_frame = nullptr;
        main_window = nullptr;
        main_instance = nullptr;
    }
    static HINSTANCE instance()
    {
        static HINSTANCE__ storage;
        return &storage;
    }
};

TEST_F(MessageLoop, DestroyPostedByAFrameRunsOneMoreFrameThenQuits)
{
    on_frame = [](int frame) {
        if (frame == 5)
            PostMessageA(main_window, WM_DESTROY, 0, 0);
    };
    EXPECT_EQ(WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    EXPECT_EQ(inits, 1);
    // Frame 5 posts; turn 6 dispatches the destroy and still runs a frame; turn 7 takes WM_QUIT.
    EXPECT_EQ(frames, 6);
    EXPECT_EQ(shutdowns, 1);
    EXPECT_EQ(frames_at_shutdown, 6);
}

TEST_F(MessageLoop, EveryTurnRunsAFrameWhenNoMessageWaits)
{
    int empty_turns = 0;
    on_frame = [&](int frame) {
        MSG peek;
        if (!PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE))
            ++empty_turns;
        if (frame == 20)
            PostQuitMessage(0);
    };
    WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(frames, 20);
    EXPECT_GE(empty_turns, 18);  // the first turns may paint the new window
}

TEST_F(MessageLoop, ReturnsTheQuitCodeAndRunsNoFrameOnTheQuitTurn)
{
    on_frame = [](int frame) {
        if (frame == 3)
            PostQuitMessage(7);
    };
    EXPECT_EQ(WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL), 7);
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(shutdowns, 1);
}

TEST_F(MessageLoop, ClosingTheWindowEndsThroughDestroyAndQuit)
{
    on_frame = [](int frame) {
        if (frame == 2)
            testing_post_host_message(WM_CLOSE);
    };
    EXPECT_EQ(WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    EXPECT_EQ(frames, 3);
    EXPECT_FALSE(IsWindow(main_window));  // the default procedure destroyed it
    EXPECT_EQ(shutdowns, 1);
}

TEST_F(MessageLoop, HandlesAndWindowAreSetBeforeTheGameStarts)
{
    HWND seen = nullptr;
    on_frame = [&](int) {
        seen = main_window;
        PostQuitMessage(0);
    };
    WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(main_instance, instance());
}

// ---- failures before the game ----

TEST_F(MessageLoop, RegistrationFailureReturnsZeroWithoutTheGame)
{
    testing_fault("RegisterClassA", 1, E_FAIL);
    EXPECT_EQ(WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    EXPECT_EQ(inits + frames + shutdowns, 0);
    EXPECT_EQ(main_window, nullptr);
}

TEST_F(MessageLoop, WindowFailureReturnsZeroWithoutTheGame)
{
    testing_fault("CreateWindowExA", 1, E_FAIL);
    EXPECT_EQ(WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    EXPECT_EQ(inits + frames + shutdowns, 0);
    EXPECT_EQ(main_window, nullptr);
}

TEST_F(MessageLoop, NoDisplayReturnsZeroWithoutTheGame)
{
    testing_window_unavailable(true);
    EXPECT_EQ(WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    EXPECT_EQ(inits, 0);
}

// ---- the window procedure ----

TEST_F(MessageLoop, WindowProcedureAnswersItsMessages)
{
    on_frame = [](int) { PostQuitMessage(0); };
    WinMain(instance(), nullptr, nullptr, SW_SHOWNORMAL);
    HWND w = main_window;
    EXPECT_EQ(window_proc(w, WM_CREATE, 0, 0), 0);
    EXPECT_EQ(window_proc(w, WM_PAINT, 0, 0), 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE)) << "paint must validate";
    EXPECT_EQ(window_proc(w, WM_DESTROY, 0, 0), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
}
