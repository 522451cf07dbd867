#include "chartwin/data_file_stream.h"

#include "astro/datafile.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <system_error>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace nivora {
namespace {

namespace fs = std::filesystem;

class DataFileLines : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("nivora-data-lines-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path write(const std::string& bytes) const
    {
        std::ofstream(folder_ / "rows.txt", std::ios::binary) << bytes;
        return folder_ / "rows.txt";
    }
    static std::vector<std::string> linesOf(DataFileStream& in)
    {
        std::vector<std::string> lines;
        for (std::string line; in.next(line);) lines.push_back(line);
        return lines;
    }
    fs::path folder_;
};

// Every line end an editor writes ends a line, old Macs' lone CR included.
TEST_F(DataFileLines, EveryLineEndEndsALine)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\xEF\xBB\xBF" "a\rb", {"a", "b"}},
        {"a\r\rb\n\nc", {"a", "", "b", "", "c"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        DataFileStream in(write(c.bytes));
        EXPECT_TRUE(in.isOpen());
        EXPECT_EQ(linesOf(in), c.lines);
    }
}

// A file past the size cap, or anything that stands in a plain file's place, is refused by
// name with the reader's reason; an absent one, or a dangling link, is simply not there.
TEST_F(DataFileLines, WhatCannotBeReadIsNamedAndAnAbsentOneIsNot)
{
    const fs::path huge = write("");
    fs::resize_file(huge, maxDataFileBytes + 1);   // sparse: costs no disk
    ::mkfifo((folder_ / "pipe").c_str(), 0600);
    fs::create_symlink("loop", folder_ / "loop");
    fs::create_symlink("gone", folder_ / "dangling");
    struct Case {
        fs::path file;
        std::string expected;   // empty: not there
    };
    const Case cases[] = {
        {huge, "a data file of at most 64 MB"},
        {folder_, "a data file, not a folder"},
        {folder_ / "pipe", "a plain data file, not a device or pipe"},
        {"/dev/null", "a plain data file, not a device or pipe"},
        {folder_ / "loop", "a readable data file (" + std::generic_category().message(ELOOP) + ")"},
        {folder_ / "none.txt", ""},
        {folder_ / "dangling", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.string());
        DataFileStream in(c.file);
        EXPECT_FALSE(in.isOpen());
        EXPECT_EQ(in.error(), c.expected.empty() ? "" : "\"" + c.file.string() + "\": expected " + c.expected);
        EXPECT_EQ(dataFileFound(c.file), !c.expected.empty());
    }
}

} // namespace
} // namespace nivora
