#include "converter/conversion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unordered_map>

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

// The star table indexed by number. Looking up 100,000 pairs by scanning 4,999 stars froze the
// window for seconds. The first of two equal numbers is the one indexed, as a scan from the top
// would find it; an empty number finds nothing.
class StarIndex {
public:
    explicit StarIndex(const std::vector<StarEntry>& stars) {
        index_.reserve(stars.size());
        for (const StarEntry& star : stars)
            if (!star.number.empty()) index_.emplace(star.number, &star);   // keeps the first
    }
    const StarEntry* find(std::string_view number) const {
        const auto found = index_.find(number);
        return found == index_.end() ? nullptr : found->second;
    }

private:
    std::unordered_map<std::string_view, const StarEntry*> index_;
};

const char* const marker = "#--------\r\n";

// A field copied into the line file must hold no control character: a CR or LF there would
// split a record, and a false "#-" line could end a section early.
void refuseControls(std::string_view field, std::size_t lineIndex, const char* what) {
    for (char c : field) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127)
            throw ConversionError("line " + std::to_string(lineIndex + 1) + ": the " + what +
                                  " holds the control character " + escapeControls(std::string(1, c)) + ".");
    }
}

} // namespace

std::string escapeControls(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127) {
            out += "\\x";
            out += hex[code >> 4];
            out += hex[code & 15];
        } else {
            if (c == '\\') out += '\\';
            out += c;
        }
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

std::vector<StarEntry> readStarTable(std::string_view starPositions) {
    std::vector<StarEntry> stars;
    const std::vector<std::string_view> lines = splitLines(starPositions);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (startsWith(line, "#-")) return stars;
        if (startsWith(line, "#")) continue;
        if (static_cast<int>(stars.size()) == maxStars)
            throw ConversionError("the list holds more than " + std::to_string(maxStars) +
                                  " stars before its \"#-\" line.");
        StarEntry star{std::string(columns(line, 1, 7)), std::string(columns(line, 9, 10)),
                       std::string(columns(line, 20, 10))};
        refuseControls(star.number, i, "star number");
        refuseControls(star.ra, i, "right ascension");
        refuseControls(star.dec, i, "declination");
        stars.push_back(std::move(star));
    }
    throw ConversionError("the list ends without its \"#-\" line.");
}

Conversion convertPairs(const std::vector<StarEntry>& stars, std::string_view starPairs) {
    Conversion result;
    int markers = 0;
    const StarIndex index(stars);
    const std::vector<std::string_view> lines = splitLines(starPairs);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (startsWith(line, "#-")) {
            result.lineFile += marker;
            if (++markers == 2) return result;
            continue;
        }
        if (startsWith(line, "#")) continue;
        refuseControls(columns(line, 1, 9), i, "label");
        const StarEntry* first = index.find(columns(line, 10, 7));
        const StarEntry* second = index.find(columns(line, 18, 7));
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
    return "\"" + escapeControls(path.string()) + "\"";
}

// The whole file, or a ConversionError that names it and says why not.
std::string readWhole(const std::filesystem::path& path) {
    const auto cannot = [&](const std::string& why) {
        return ConversionError("Cannot read " + displayName(path) + ": " + why + ".");
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw cannot(std::strerror(errno));
    struct stat status{};
    std::string text;
    try {
        // Checked on the open file, so a FIFO can neither block the window nor change in between.
        if (::fstat(fd, &status) != 0) throw cannot(std::strerror(errno));
        if (S_ISDIR(status.st_mode)) throw cannot("it is a folder");
        if (!S_ISREG(status.st_mode)) throw cannot("it is not a plain file");
        if (std::uintmax_t(status.st_size) > maxInputBytes)
            throw cannot("it is larger than " + std::to_string(maxInputBytes >> 20) + " MB");
        text.reserve(static_cast<std::size_t>(status.st_size));
        char block[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw cannot(std::strerror(errno));
            if (n == 0) break;
            if (text.size() + std::size_t(n) > maxInputBytes)
                throw cannot("it is larger than " + std::to_string(maxInputBytes >> 20) + " MB");
            text.append(block, static_cast<std::size_t>(n));
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return text;
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
    // Nothing is written through or over what is no plain file: the rename would put a plain
    // file in the place of a named pipe or a device.
    std::error_code ec;
    const std::filesystem::file_type kind = std::filesystem::status(final, ec).type();
    if (kind == std::filesystem::file_type::directory)
        throw ConversionError("Cannot write " + displayName(target) + ": it is a folder.");
    if (kind != std::filesystem::file_type::regular && kind != std::filesystem::file_type::not_found &&
        kind != std::filesystem::file_type::none)
        throw ConversionError("Cannot write " + displayName(target) + ": it is not a plain file.");
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
        // mkstemp makes the file private: keep the old file's mode, or give a new one the usual.
        struct stat old{};
        mode_t mode;
        if (::stat(final.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        if (::fchmod(fd, mode) != 0) throw std::system_error(errno, std::generic_category());
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

Conversion convertFilesInMemory(const ConversionFiles& files) {
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

} // namespace

Conversion convertFiles(const ConversionFiles& files) {
    try {
        return convertFilesInMemory(files);
    } catch (const std::bad_alloc&) {
        throw ConversionError("Not enough memory to convert " + displayName(files.starPositions) + " and " +
                              displayName(files.starPairs) + "; nothing was written.");
    }
}

} // namespace tarvex
