// test_main.cpp -- every test program's entry: GoogleTest, with the platform reset before each test.
#include <gtest/gtest.h>

#include "testing.h"

namespace {
class PlatformReset : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { testing_reset(); }
};
}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new PlatformReset);
    return RUN_ALL_TESTS();
}
