// Fixture files and a temporary folder of its own for each test.
#pragma once

#include "report/fixture_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace velmora::testing {

inline std::filesystem::path DataFile(const std::string& name) {
    return FixtureFolder() / name;
}

inline void WriteAll(const std::filesystem::path& file, std::string_view text) {
    std::ofstream(file, std::ios::binary) << text;
}

// A fresh, empty folder named after the running test, removed afterwards.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("velmora-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" +
                   info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    // A copy of a fixture in the folder, under a name of the test's choice.
    std::filesystem::path Copy(const std::string& fixture, const std::string& name) {
        const std::filesystem::path target = folder_ / name;
        std::filesystem::copy_file(DataFile(fixture), target,
                                   std::filesystem::copy_options::overwrite_existing);
        return target;
    }

    std::filesystem::path folder_;
};

}  // namespace velmora::testing
