// log_test.cpp -- the diagnostic log: closed writes, the opening stamp, caller streams, long and
// percent-sign messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "display.h"
#include "fixtures.h"

class Log : public testing::Test {
protected:
    void TearDown() override { log_close(); }
    static std::string read(const std::string& name)
    {
        std::ifstream f(name, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    ScratchFolder folder;
};

TEST_F(Log, WritesWhileClosedAreDroppedAndCreateNothing)
{
    EXPECT_EQ(log_write("\nnothing"), 0);
    EXPECT_EQ(log_close(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path()));
}

TEST_F(Log, OpeningStampsTheFileAndKeepsItOpenForAppending)
{
    ASSERT_EQ(log_open("run.log", nullptr), 1);
    EXPECT_EQ(log_write("\nhello %d", 5), 1);
    ASSERT_EQ(log_close(), 1);
    const std::string text = read("run.log");
    // "\nOpening Error Output File (run.log) on Wed Jan 02 02:03:55.123, 1980\n"
    const std::regex stamp(
        "\nOpening Error Output File \\(run\\.log\\) on [A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} "
        "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{1,3}, [0-9]{4}\n\n\nhello 5\nClosing Error Output File\\.");
    EXPECT_TRUE(std::regex_match(text, stamp)) << "got: " << text;
}

// A caller's file stream is the log's from then on: closing the log closes it.
TEST_F(Log, ACallersStreamIsUsedInsteadOfTheFileName)
{
    FILE* f = std::fopen("mine.txt", "w");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(log_open("ignored.log", f), 1);
    EXPECT_EQ(log_write("\n%d%%", 50), 1);
    EXPECT_FALSE(std::filesystem::exists("ignored.log"));
    ASSERT_EQ(log_close(), 1);
    const std::string text = read("mine.txt");
    EXPECT_NE(text.find("(ignored.log)"), std::string::npos) << text;
    EXPECT_NE(text.find("\n50%\nClosing Error Output File."), std::string::npos) << text;
}

TEST_F(Log, StandardErrorStaysOpenAfterClose)
{
    ASSERT_EQ(log_open("stderr", stderr), 1);
    ASSERT_EQ(log_close(), 1);
    EXPECT_NE(std::fprintf(stderr, "%s", ""), -1);
}

TEST_F(Log, PercentSignsInArgumentsAreWrittenUnchanged)
{
    ASSERT_EQ(log_open("pct.log", nullptr), 1);
    log_write("%s", "\n100% %d %s");
    log_close();
    EXPECT_NE(read("pct.log").find("\n100% %d %s"), std::string::npos);
}

TEST_F(Log, ALongMessageIsCutToSeventyNineCharacters)
{
    ASSERT_EQ(log_open("long.log", nullptr), 1);
    const std::string long_text(200, 'x');
    EXPECT_EQ(log_write("\n%s", long_text.c_str()), 1);
    log_close();
    const std::string text = read("long.log");
    const size_t at = text.find("\nxxx");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.find_first_not_of('x', at + 1) - at, 79u);
}

TEST_F(Log, NullFormatWritesNothing)
{
    ASSERT_EQ(log_open("null.log", nullptr), 1);
    EXPECT_EQ(log_write(nullptr), 0);
}
