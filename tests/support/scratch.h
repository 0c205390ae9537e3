// scratch.h -- where tests make their scratch folders.
#pragma once
#include <unistd.h>

#include <filesystem>
#include <string>

// One folder a test run, so two runs at once (two build folders, or the tests beside their
// sanitized build) never clear each other's files.
inline std::filesystem::path scratch_root()
{
    return std::filesystem::temp_directory_path() / ("vorlash-tests-" + std::to_string(getpid()));
}
