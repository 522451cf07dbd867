#include "chartwin/data_file_stream.h"

#include "astro/datafile.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
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

// A file past the size cap is refused by name; an absent one, or a folder, is simply not there.
TEST_F(DataFileLines, AFileTooLargeIsNamedAndAnAbsentOneIsNot)
{
    const fs::path huge = write("");
    fs::resize_file(huge, maxDataFileBytes + 1);   // sparse: costs no disk
    DataFileStream tooLarge(huge);
    EXPECT_FALSE(tooLarge.isOpen());
    EXPECT_EQ(tooLarge.error(), "\"" + huge.string() + "\": expected a data file of at most 64 MB");
    for (const fs::path& absent : {folder_ / "none.txt", folder_}) {
        DataFileStream in(absent);
        EXPECT_FALSE(in.isOpen());
        EXPECT_TRUE(in.error().empty()) << in.error();
    }
}

} // namespace
} // namespace nivora
