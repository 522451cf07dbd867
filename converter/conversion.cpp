#include "converter/conversion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvex {

namespace {

// Columns from..from+width-1 (1-based) of a line; shorter or empty where the line is.
std::string_view columns(std::string_view line, std::size_t from, std::size_t width) {
    if (line.size() < from) return {};
    return line.substr(from - 1, width);
}

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

bool startsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

const StarEntry* findStar(const std::vector<StarEntry>& stars, std::string_view number) {
    if (number.empty()) return nullptr;
    for (const StarEntry& star : stars)   // the earlier of two equal numbers wins
        if (star.number == number) return &star;
    return nullptr;
}

const char* const marker = "#--------\r\n";

} // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<StarEntry> readStarTable(std::string_view starPositions) {
    std::vector<StarEntry> stars;
    for (std::string_view line : splitLines(starPositions)) {
        if (startsWith(line, "#-")) return stars;
        if (startsWith(line, "#")) continue;
        if (static_cast<int>(stars.size()) == maxStars)
            throw ConversionError("the list holds more than " + std::to_string(maxStars) +
                                  " stars before its \"#-\" line.");
        stars.push_back({std::string(columns(line, 1, 7)), std::string(columns(line, 9, 10)),
                         std::string(columns(line, 20, 10))});
    }
    throw ConversionError("the list ends without its \"#-\" line.");
}

Conversion convertPairs(const std::vector<StarEntry>& stars, std::string_view starPairs) {
    Conversion result;
    int markers = 0;
    for (std::string_view line : splitLines(starPairs)) {
        if (startsWith(line, "#-")) {
            result.lineFile += marker;
            if (++markers == 2) return result;
            continue;
        }
        if (startsWith(line, "#")) continue;
        const StarEntry* first = findStar(stars, columns(line, 10, 7));
        const StarEntry* second = findStar(stars, columns(line, 18, 7));
        if (!first || !second) {
            ++result.dropped;
            continue;
        }
        result.lineFile += padded(columns(line, 1, 9), 9) + padded(first->ra, 10) + ' ' +
                           padded(first->dec, 10) + ' ' + padded(second->ra, 10) + ' ' +
                           padded(second->dec, 10) + "\r\n";
        ++result.segments;
    }
    throw ConversionError(markers == 0 ? "the file ends without its two \"#-\" lines."
                                       : "the file ends before its second \"#-\" line.");
}

Conversion convertConstellationLines(std::string_view starPositions, std::string_view starPairs) {
    return convertPairs(readStarTable(starPositions), starPairs);
}

namespace {

std::string displayName(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

std::string readWhole(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw ConversionError("Cannot read " + displayName(path) + ": no such file.");
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof())
        throw ConversionError("Cannot read " + displayName(path) + ".");
    return text.str();
}

// The path with every link and "." / ".." resolved, also for a file that does not exist yet.
std::filesystem::path resolved(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, ec);
    return ec ? absolute.lexically_normal() : canonical;
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;   // also hard links
    return resolved(a) == resolved(b);
}

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category());
        }
        done += static_cast<std::size_t>(n);
    }
}

// Writes the whole text beside the target and renames it into place.
void replaceFile(const std::filesystem::path& target, const std::string& text) {
    std::filesystem::path final = resolved(target);
    std::error_code ec;
    if (std::filesystem::is_directory(final, ec))
        throw ConversionError("Cannot write " + displayName(target) + ": it is a folder.");
    std::filesystem::path folder = final.parent_path();
    std::string pattern = (folder / ("." + final.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw ConversionError("Cannot write in the folder " + displayName(folder) + ": " +
                              std::strerror(errno) + ".");
    std::string temporary(name.data());
    try {
        writeAll(fd, text);
        if (::fsync(fd) != 0) throw std::system_error(errno, std::generic_category());
        const mode_t mask = ::umask(0);   // mkstemp makes the file private; give it the usual mode
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        if (::close(fd) != 0) {
            fd = -1;
            throw std::system_error(errno, std::generic_category());
        }
        fd = -1;
        if (std::rename(temporary.c_str(), final.c_str()) != 0)
            throw std::system_error(errno, std::generic_category());
    } catch (const std::system_error& e) {
        if (fd >= 0) ::close(fd);
        std::remove(temporary.c_str());
        throw ConversionError("Cannot write " + displayName(target) + ": " +
                              e.code().message() + ".");
    }
}

} // namespace

Conversion convertFiles(const ConversionFiles& files) {
    // A pattern is never a file name here: "*.*" stays what it is, a name nobody meant.
    if (files.output.filename().string().find_first_of("*?") != std::string::npos)
        throw ConversionError("The output file name must not hold \"*\" or \"?\".");
    if (sameFile(files.output, files.starPositions) || sameFile(files.output, files.starPairs))
        throw ConversionError("The output file must not be one of the input files.");
    const std::string starText = readWhole(files.starPositions);
    const std::string pairText = readWhole(files.starPairs);
    std::vector<StarEntry> stars;
    try {
        stars = readStarTable(starText);
    } catch (const ConversionError& e) {
        throw ConversionError(displayName(files.starPositions) + ": " + e.what());
    }
    Conversion result;
    try {
        result = convertPairs(stars, pairText);
    } catch (const ConversionError& e) {
        throw ConversionError(displayName(files.starPairs) + ": " + e.what());
    }
    replaceFile(files.output, result.lineFile);
    return result;
}

} // namespace tarvex
