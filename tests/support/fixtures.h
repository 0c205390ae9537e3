// fixtures.h -- what many tests need: a window for the devices, a scratch folder, a live display.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "scratch.h"
#include "services.h"
#include "testing.h"

// A window as WinMain makes one, stored in main_window.
inline HWND make_test_window()
{
    main_window = testing_make_window(&main_instance);
    return main_window;
}

// Runs each test in a fresh empty folder of its own, so files the code looks up by name are the
// test's own.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        // One folder, not nested ones: a parameterised test's names hold slashes, and nested folders
        // would be left behind when the run's root is removed.
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = scratch_root() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~ScratchFolder()
    {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        std::filesystem::remove(path_.parent_path(), ignored);  // the run's root, once it is empty
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_, previous_;
};
