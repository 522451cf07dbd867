#include "converter/conversion.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>
#include <unordered_map>

#include <fcntl.h>
#include <sys/file.h>
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

// The temporary file of an output is named after it: the name (cut to leave room), this mark
// and six letters or digits, so that no person's copy ("out.net.Backup") is ever taken for one.
constexpr std::string_view temporaryMark = ".~saving~";
constexpr std::size_t randomLetters = 6;
constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// Links followed no further than the system follows them.
constexpr int maxLinkHops = 40;

// The part of an output's name its temporary files begin with: the whole name where the
// temporary's name still fits in a folder entry.
std::string temporaryStem(const std::filesystem::path& output) {
    std::string name = output.filename().string();
    const std::size_t room = NAME_MAX - temporaryMark.size() - randomLetters;
    if (name.size() > room) name.resize(room);
    return name;
}

bool isTemporaryOf(std::string_view name, std::string_view stem) {
    if (name.size() != stem.size() + temporaryMark.size() + randomLetters || !name.starts_with(stem))
        return false;
    name.remove_prefix(stem.size());
    for (std::size_t i = 0; i < temporaryMark.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != temporaryMark[i]) return false;
    return name.substr(temporaryMark.size()).find_first_not_of(letters) == std::string_view::npos;
}

// What stands in a plain file's place, as the user knows it.
std::string kindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "no plain file";
}

// The file a write to `path` replaces: `path` with its links followed as far as they lead (the
// target of a dangling link is made). A link that cannot be followed gives the system's cause.
std::filesystem::path followLinks(std::filesystem::path path) {
    for (int hop = 0;; ++hop) {
        struct stat status{};
        if (::lstat(path.c_str(), &status) != 0) {
            if (errno == ENOENT) return path;
            throw std::system_error(errno, std::generic_category());
        }
        if (!S_ISLNK(status.st_mode)) return path;
        if (hop == maxLinkHops) throw std::system_error(ELOOP, std::generic_category());
        std::error_code ec;
        const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
        if (ec) throw std::system_error(ec);
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
}

// Why the file at `final` (links followed) may not be replaced; empty when it may. `exists`
// and `status` tell what stands there now.
std::string refusal(const std::filesystem::path& target, const std::filesystem::path& final, bool& exists,
                    struct stat& status) {
    exists = ::stat(final.c_str(), &status) == 0;
    if (!exists) return errno == ENOENT ? std::string() : std::strerror(errno);
    if (!S_ISREG(status.st_mode)) {
        struct stat link{};
        const bool linked = ::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
        return "it is " + std::string(linked ? "a link to " : "") + kindName(status.st_mode) + ", not a plain file";
    }
    // A file its owner made read-only stays as it is, also for one whom the system lets write.
    if (::access(final.c_str(), W_OK) != 0) return std::strerror(errno);
    if ((status.st_mode & 0222) == 0) return std::strerror(EACCES);
    return {};
}

// Removes what a conversion killed midway left beside the output. A temporary file another
// conversion is still writing is locked and stays.
void removeStrayTemporaries(const std::filesystem::path& final) {
    const std::filesystem::path folder = final.has_parent_path() ? final.parent_path() : ".";
    const std::string stem = temporaryStem(final);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!isTemporaryOf(it->path().filename().string(), stem)) continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened{}, named{};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::lstat(it->path().c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
            named.st_ino == opened.st_ino)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// Makes the temporary file beside `final`, exclusively (no name planted there is followed), and
// holds its lock while it is written. A new file takes the umask's permissions.
int makeTemporary(const std::filesystem::path& final, std::string& temporary) {
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    const std::filesystem::path folder = final.has_parent_path() ? final.parent_path() : ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryStem(final) + std::string(temporaryMark);
        for (std::size_t i = 0; i < randomLetters; ++i) name += letters[pick(random)];
        temporary = (folder / name).string();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            throw ConversionError("Cannot write in the folder \"" + escapeControls(folder.string()) + "\": " +
                                  std::strerror(errno) + ".");
        }
        // Another conversion's clean-up may have taken the file before it was locked.
        struct stat status{};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &status) == 0 && status.st_nlink > 0) return fd;
        ::close(fd);
    }
    throw ConversionError("Cannot write in the folder \"" + escapeControls(folder.string()) + "\": " +
                          std::strerror(EEXIST) + ".");
}

// The rename reaches the disk only with its folder.
void syncFolder(const std::filesystem::path& final) {
    const std::filesystem::path folder = final.has_parent_path() ? final.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes the whole text beside the target and renames it into place. Nothing is written
// through or over what is no plain file, nor over a file that may not be written; a link is
// written through, and one that cannot be followed is refused, so that a plain file never
// takes its place.
void replaceFile(const std::filesystem::path& target, const std::string& text) {
    const auto cannot = [&](const std::string& why) {
        return ConversionError("Cannot write " + displayName(target) + ": " + why + ".");
    };
    std::filesystem::path final;
    try {
        final = followLinks(target);
    } catch (const std::system_error& e) {
        throw cannot(e.code().message());
    }
    bool exists = false;
    struct stat old{};
    if (const std::string why = refusal(target, final, exists, old); !why.empty()) throw cannot(why);
    removeStrayTemporaries(final);
    std::string temporary;
    int fd = makeTemporary(final, temporary);
    try {
        writeAll(fd, text);
        if (::fsync(fd) != 0) throw std::system_error(errno, std::generic_category());
        // The old file's mode is kept.
        if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) throw std::system_error(errno, std::generic_category());
        // What stands there may have changed while the text was written.
        bool stillExists = false;
        struct stat now{};
        if (const std::string why = refusal(target, final, stillExists, now); !why.empty()) throw cannot(why);
        if (std::rename(temporary.c_str(), final.c_str()) != 0)
            throw std::system_error(errno, std::generic_category());
        // The lock is held until the temporary file has its final name.
        const int closing = ::close(fd);
        fd = -1;
        if (closing != 0) throw std::system_error(errno, std::generic_category());
        syncFolder(final);
    } catch (const std::system_error& e) {
        if (fd >= 0) {
            ::unlink(temporary.c_str());
            ::close(fd);
        }
        throw cannot(e.code().message());
    } catch (const ConversionError&) {
        ::unlink(temporary.c_str());
        ::close(fd);
        throw;
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
