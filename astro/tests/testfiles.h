// Where the astro tests find their fixtures.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

inline std::filesystem::path fixture(const std::string& name) {
    return std::filesystem::path(NIVORA_TEST_DIR) / "fixtures" / name;
}

// A fresh folder of its own for each test, removed afterwards.
class TempFolderTest : public testing::Test {
protected:
    explicit TempFolderTest(const std::string& prefix = "nivora-test-")
        : folder_(std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()))) {}
    void SetUp() override { std::filesystem::create_directories(folder_); }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path write(const std::string& name, const std::string& text) {
        const auto file = folder_ / name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

    std::filesystem::path folder_;
};
