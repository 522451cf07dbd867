// A program for the benchmarks, in a working folder of its own with the shipped data.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/program.h"

namespace nivora::bench {

inline const std::filesystem::path dataDir = NIVORA_DATA_DIR;

// Started, its windows loaded; `tag` names the folder.
inline std::unique_ptr<Program> makeProgram(const std::string& tag) {
    ensureApplication();
    const auto folder = std::filesystem::temp_directory_path() / ("nivora-" + tag + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(dataDir)) {
        const auto copy = folder / entry.path().filename();
        std::filesystem::copy_file(entry.path(), copy, std::filesystem::copy_options::skip_existing);
        // Files saved long ago, as a user's are: the caches then trust their time stamps.
        std::filesystem::last_write_time(copy, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    auto program = std::make_unique<Program>(folder);
    program->start();
    return program;
}

} // namespace nivora::bench
