// latency_test.cpp -- key to screen: a key read in frame N shows in the picture flipped in frame
// N + 1, and a key still waiting in the machine's queue when the keyboard is read counts in that read.
#include <vector>

#include "game_fixture.h"

namespace {

// The gunship's rows of the presented picture, stars kept out of them.
std::vector<uint32_t> ship_band()
{
    const TestingFrame& f = testing_presented_frame();
    std::vector<uint32_t> band;
    for (int y = 100; y < 132; ++y)
        for (int x = 0; x < 640; ++x)
            band.push_back(f.pixel(x, y));
    return band;
}

class Latency : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        empty_scene();
        for (Star& s : stars)
            s.y = 470;  // below the gunship's rows
        frame_timer = 0;  // no new wave during the test
        ship_x() = 200;
        ship_y() = 100;
        frames(1);
        still_ = ship_band();
    }
    std::vector<uint32_t> still_;  // the rows with the gunship at x 200
};

}  // namespace

TEST_F(Latency, KeyReadInOneFrameShowsInTheNext)
{
    key(DIK_RIGHT, true);
    frames(1);  // frame N: draws the gunship, then reads the key and steps it
    key(DIK_RIGHT, false);
    EXPECT_EQ(ship_x(), 203.0f) << "the key was read in frame N";
    EXPECT_EQ(ship_band(), still_) << "frame N's picture still has the gunship where it was";

    frames(1);  // frame N + 1
    const std::vector<uint32_t> moved = ship_band();
    EXPECT_NE(moved, still_) << "frame N + 1's picture shows the step";
    EXPECT_EQ(ship_x(), 203.0f) << "the key is up again";

    frames(1);
    EXPECT_EQ(ship_band(), moved) << "one key read, one step: nothing more moves";
}

// The keyboard read pumps the host's events first, so a key the machine reported after the
// frame's message loop ran is seen by that frame's read.
TEST_F(Latency, KeyboardReadPumpsTheHostFirst)
{
    testing_key_queued(DIK_RIGHT, true);
    const int pumps = testing_pump_count();
    ASSERT_EQ(keyboard_read(), 1);
    EXPECT_GT(testing_pump_count(), pumps);
    EXPECT_NE(keyboard_state[DIK_RIGHT], 0) << "the waiting key reached this read";

    testing_key_queued(DIK_RIGHT, false);
    frames(1);  // no message loop between the key and the frame's read
    EXPECT_EQ(ship_x(), 200.0f) << "released before the frame read the keyboard";

    testing_key_queued(DIK_LEFT, true);
    frames(1);
    EXPECT_EQ(ship_x(), 197.0f) << "the key waiting before the frame moved the gunship in that frame";
    testing_key_queued(DIK_LEFT, false);
    frames(1);
    EXPECT_EQ(ship_x(), 197.0f);
}
