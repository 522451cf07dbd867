// Where the astro tests find their fixtures.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path fixture(const std::string& name) {
    return std::filesystem::path(NIVORA_TEST_DIR) / "fixtures" / name;
}
