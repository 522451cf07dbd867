// Reading the shipped data files as nivora's readers see them: lines and fixed columns.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue {

// The lines of data/<name>, or a test failure when the file is missing, holds a byte that is
// not printable ASCII, a line not ended by CR LF, or an empty line.
std::vector<std::string> dataLines(const std::string& name);

// The whole of data/<name>, bytes as stored.
std::string dataText(const std::string& name);

// Columns from..from+width-1 (1-based), shorter where the line is.
std::string_view field(std::string_view line, std::size_t from, std::size_t width);

// The field as a number when it holds one number and blanks only.
std::optional<double> number(std::string_view line, std::size_t from, std::size_t width);

// The records of a list: lines before the first "#-", without "#" lines. Fails when the
// list has no "#-" line or anything but nothing follows it.
std::vector<std::string> records(const std::vector<std::string>& lines);

// The items of a list file in the main window's order (every line before "#-" that does not
// begin with "#").
std::vector<std::string> listItems(const std::string& name);

// A line file's segment records by section (0 for A, 1 for B); fails without both markers.
struct Segment {
    std::string line;
    int section;
};
std::vector<Segment> segments(const std::string& name);

std::set<std::string> keysOf(const std::vector<std::string>& items);

} // namespace catalogue
