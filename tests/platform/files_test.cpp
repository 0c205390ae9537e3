// files_test.cpp -- the file services: opening, reading, seeking and closing, the errors each gives,
// and the bound on open files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "scratch.h"
#include "testing.h"

class Files : public testing::Test {
protected:
    void SetUp() override
    {
        folder = scratch_root() / testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        FILE* f = std::fopen(path("hello.txt").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("hello world", f);
        std::fclose(f);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        std::filesystem::remove(folder.parent_path(), ignored);  // the run's root, once it is empty
    }
    std::string path(const char* name) const { return (folder / name).string(); }

    std::filesystem::path folder;
    OFSTRUCT info{};
};

TEST_F(Files, ReadSeekAndClose)
{
    const HFILE f = OpenFile(path("hello.txt").c_str(), &info, OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(info.cBytes, sizeof info);
    EXPECT_EQ(std::string(info.szPathName), path("hello.txt").substr(0, OFS_MAXPATHNAME - 1));
    char buffer[32] = {};
    EXPECT_EQ(_lread(f, buffer, 5), 5u);
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(_llseek(f, 0, FILE_END), 11);
    EXPECT_EQ(_llseek(f, 6, FILE_BEGIN), 6);
    EXPECT_EQ(_llseek(f, -2, FILE_CURRENT), 4);
    EXPECT_EQ(_llseek(f, 2, FILE_CURRENT), 6);
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 5u) << "a read past the end is short";
    EXPECT_EQ(std::string(buffer, 5), "world");
    EXPECT_EQ(_lread(f, buffer, sizeof buffer), 0u) << "and then empty";
    EXPECT_EQ(_llseek(f, -1, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(_llseek(f, 0, 7), HFILE_ERROR);
    EXPECT_EQ(testing_open_files(), 1);
    EXPECT_EQ(_lclose(f), 0);
    EXPECT_EQ(testing_open_files(), 0);
    EXPECT_EQ(_lclose(f), HFILE_ERROR) << "closed already";
    EXPECT_EQ(_lread(f, buffer, 1), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(_llseek(f, 0, FILE_BEGIN), HFILE_ERROR);
}

TEST_F(Files, WhatCannotBeOpened)
{
    EXPECT_EQ(OpenFile(path("missing.txt").c_str(), &info, OF_READ), HFILE_ERROR);
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenFile(folder.string().c_str(), &info, OF_READ), HFILE_ERROR) << "a folder is not a file";
    EXPECT_EQ(OpenFile(path("hello.txt").c_str(), &info, 1), HFILE_ERROR) << "only reading is offered";
    EXPECT_EQ(OpenFile(nullptr, &info, OF_READ), HFILE_ERROR);
    testing_fault("OpenFile", 1, E_FAIL);
    EXPECT_EQ(OpenFile(path("hello.txt").c_str(), nullptr, OF_READ), HFILE_ERROR);
    EXPECT_EQ(testing_open_files(), 0);
    char byte;
    EXPECT_EQ(_lread(12345, &byte, 1), static_cast<UINT>(HFILE_ERROR)) << "a handle never given out";
    EXPECT_EQ(_lread(HFILE_ERROR, &byte, 1), static_cast<UINT>(HFILE_ERROR));
}

TEST_F(Files, OpenFilesAreBounded)
{
    std::vector<HFILE> open;
    for (;;) {
        const HFILE f = OpenFile(path("hello.txt").c_str(), &info, OF_READ);
        if (f == HFILE_ERROR)
            break;
        open.push_back(f);
        ASSERT_LE(open.size(), 1000u) << "no bound";
    }
    EXPECT_EQ(open.size(), 64u);
    EXPECT_EQ(info.nErrCode, ERROR_TOO_MANY_OPEN_FILES);
    ASSERT_EQ(_lclose(open.back()), 0);
    EXPECT_NE(OpenFile(path("hello.txt").c_str(), &info, OF_READ), HFILE_ERROR) << "a closed slot is reused";
    testing_reset();
    EXPECT_EQ(testing_open_files(), 0) << "a reset closes what a test left open";
}
