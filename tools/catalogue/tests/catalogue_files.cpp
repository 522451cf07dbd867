#include "catalogue_files.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace catalogue {

std::string dataText(const std::string& name) {
    std::ifstream in(std::string(NIVORA_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name << " is missing";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> dataLines(const std::string& name) {
    const std::string text = dataText(name);
    std::vector<std::string> lines;
    std::size_t start = 0;
    int faults = 0;
    while (start < text.size() && faults < 5) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << name << ": last line without CR LF";
            break;
        }
        std::string line = text.substr(start, end - start);
        for (char ch : line) {
            if (ch < 0x20 || ch > 0x7e) {
                ADD_FAILURE() << name << " line " << lines.size() + 1 << ": byte " << int(ch);
                ++faults;
                break;
            }
        }
        if (line.empty()) {
            ADD_FAILURE() << name << " line " << lines.size() + 1 << " is empty";
            ++faults;
        }
        lines.push_back(std::move(line));
        start = end + 2;
    }
    return lines;
}

std::string_view field(std::string_view line, std::size_t from, std::size_t width) {
    if (line.size() < from) return {};
    return line.substr(from - 1, width);
}

std::optional<double> number(std::string_view line, std::size_t from, std::size_t width) {
    std::string_view text = field(line, from, width);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> records(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("#-", 0) == 0) {
            EXPECT_EQ(i + 1, lines.size()) << "lines after the end marker";
            return out;
        }
        if (lines[i].rfind("#", 0) != 0) out.push_back(lines[i]);
    }
    ADD_FAILURE() << "no \"#-\" end line";
    return out;
}

std::vector<std::string> listItems(const std::string& name) {
    return records(dataLines(name));
}

std::vector<Segment> segments(const std::string& name) {
    std::vector<Segment> out;
    int section = 0;
    const std::vector<std::string> lines = dataLines(name);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("#-", 0) == 0) {
            if (++section == 2) {
                EXPECT_EQ(i + 1, lines.size()) << name << ": lines after the second marker";
                return out;
            }
            continue;
        }
        if (lines[i].rfind("#", 0) != 0) out.push_back({lines[i], section});
    }
    ADD_FAILURE() << name << ": fewer than two \"#-\" markers";
    return out;
}

std::set<std::string> keysOf(const std::vector<std::string>& items) {
    std::set<std::string> keys;
    for (const std::string& item : items) keys.insert(item.substr(0, 3));
    return keys;
}

} // namespace catalogue
