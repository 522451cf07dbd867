// A working folder of its own for one test, with the shipped data files it asks for.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

#include <unistd.h>

namespace nivora {

inline const std::initializer_list<const char*> startupTableFiles = {"ET-UTC.txt", "prmmean2.plt",
                                                                     "prmprc.txt"};

struct TestFolder {
    explicit TestFolder(const std::string& name)
        : path(std::filesystem::temp_directory_path() /
               ("nivora-" + name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TestFolder() { std::filesystem::remove_all(path); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    void copyData(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            std::filesystem::copy_file(std::filesystem::path(NIVORA_DATA_DIR) / name, path / name,
                                       std::filesystem::copy_options::overwrite_existing);
    }
    // The start-up tables and the shipped constellation list: what a start needs.
    void copyStartupData() const {
        copyData(startupTableFiles);
        copyData({"velka.txt"});
    }
    // Every shipped data file: what a whole chart reads.
    void copyAllData() const {
        for (const auto& entry : std::filesystem::directory_iterator(NIVORA_DATA_DIR))
            if (entry.is_regular_file())
                std::filesystem::copy_file(entry.path(), path / entry.path().filename(),
                                           std::filesystem::copy_options::overwrite_existing);
    }
    bool has(const std::string& name) const { return std::filesystem::exists(path / name); }

    std::filesystem::path path;
};

} // namespace nivora
