#include "astro/datafile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nivora {

namespace {

std::string describe(const std::filesystem::path& file, int line, const std::string& expected) {
    std::ostringstream text;
    text << '"' << escapeControls(file.string()) << '"';
    if (line > 0) text << ", line " << line;
    text << ": expected " << expected;
    return text.str();
}

// Why a path is no plain file, or empty when it is one.
std::string notAPlainFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) return "an existing data file";
    if (error) return "a readable data file (" + error.message() + ")";
    if (status.type() == std::filesystem::file_type::directory) return "a data file, not a folder";
    if (status.type() != std::filesystem::file_type::regular) return "a plain data file, not a device or pipe";
    return {};
}

// The position after the line end at pos: CR LF, LF or a lone CR.
std::size_t skipLineEndAt(std::string_view text, std::size_t pos) {
    if (pos < text.size() && text[pos] == '\r')
        ++pos;
    else if (pos < text.size() && text[pos] == '\n')
        return pos + 1;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return pos;
}

bool isItemEnd(char c) {
    return c == ',' || c == ':' || c == '\r' || c == '\n';
}

// A whole token as a finite number, or false. A leading '+' is allowed, as in the files' own text.
bool parseNumber(std::string_view token, double& value) {
    if (!token.empty() && token.front() == '+') {
        token.remove_prefix(1);
        if (!token.empty() && token.front() == '-') return false;
    }
    if (token.empty()) return false;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    return error == std::errc() && end == token.data() + token.size() && std::isfinite(value);
}

} // namespace

DataFileError::DataFileError(std::filesystem::path file, int line, std::string expected)
    : std::runtime_error(describe(file, line, escapeControls(expected))), file_(std::move(file)),
      line_(line), expected_(escapeControls(expected)) {}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return text;
}

std::string escapeControls(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
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

void requireFiniteResult(bool finite, const std::filesystem::path& file, double dayNumber, std::string_view what) {
    if (finite) return;
    std::ostringstream text;
    text << what << " that stay finite at day number " << dayNumber;
    throw DataFileError(file, 0, text.str());
}

std::string readWholeFile(const std::filesystem::path& file) {
    // What is no plain file is never opened: a device may act on being opened.
    if (std::string why = notAPlainFile(file); !why.empty()) throw DataFileError(file, 0, why);
    // Opened once and without waiting, so that a named pipe put in the file's place since cannot
    // hold the reader up; what was opened is what is checked and read.
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        const int why = errno;
        throw DataFileError(file, 0, "a readable data file (" + std::generic_category().message(why) + ")");
    }
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat status{};
    if (::fstat(descriptor, &status) != 0)
        throw DataFileError(file, 0, "a readable data file (" + std::generic_category().message(errno) + ")");
    if (S_ISDIR(status.st_mode)) throw DataFileError(file, 0, "a data file, not a folder");
    if (!S_ISREG(status.st_mode)) throw DataFileError(file, 0, "a plain data file, not a device or pipe");
    const std::string tooLarge = "a data file of at most " + std::to_string(maxDataFileBytes >> 20) + " MB";
    if (std::uintmax_t(status.st_size) > maxDataFileBytes) throw DataFileError(file, 0, tooLarge);
    return withinMemory(file, [&] {
        // In blocks, into a string of the file's size: a character at a time is ten times slower.
        std::string text;
        text.reserve(static_cast<std::size_t>(status.st_size));
        char block[1 << 15];
        for (;;) {
            const ssize_t got = ::read(descriptor, block, sizeof block);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw DataFileError(file, 0, "a readable data file (reading failed)");
            if (got == 0) break;
            text.append(block, static_cast<std::size_t>(got));
            // The size on disk may have lied (a file still growing).
            if (text.size() > maxDataFileBytes) throw DataFileError(file, 0, tooLarge);
        }
        if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
        return text;
    });
}

bool LineReader::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n')
        ++end;
    line = text_.substr(pos_, end - pos_);
    pos_ = skipLineEndAt(text_, end);
    ++line_;
    return true;
}

ItemReader::ItemReader(std::string text, std::filesystem::path file)
    : text_(std::move(text)), file_(std::move(file)) {
    if (text_.starts_with("\xEF\xBB\xBF")) text_.erase(0, 3);
}

ItemReader ItemReader::open(const std::filesystem::path& file) {
    return ItemReader(readWholeFile(file), file);
}

void ItemReader::fail(std::string expected) const {
    // At the end of a file that ends with a line end, name its last line, not the one after it.
    int line = line_;
    if (atEnd() && line > 1 && !text_.empty() && (text_.back() == '\n' || text_.back() == '\r')) --line;
    throw DataFileError(file_, line, std::move(expected));
}

bool ItemReader::atLineEnd() const {
    return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void ItemReader::skipLineEnd() {
    pos_ = skipLineEndAt(text_, pos_);
    ++line_;
}

void ItemReader::skipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ')
        ++pos_;
}

bool ItemReader::skipSeparator() {
    if (pos_ >= text_.size()) return false;
    if (text_[pos_] == ',' || text_[pos_] == ':') {
        ++pos_;
        return true;
    }
    if (atLineEnd()) {
        skipLineEnd();
        return true;
    }
    return false;
}

std::string ItemReader::readText(std::string_view what) {
    skipBlanks();
    if (atEnd()) fail(std::string(what));
    itemLine_ = line_;
    std::string item;
    if (text_[pos_] == '"') {
        ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\r' && text_[pos_] != '\n')
            ++pos_;
        item = text_.substr(start, pos_ - start);
        if (pos_ < text_.size() && text_[pos_] == '"') ++pos_;
        // Whatever stands between the closing quote and the separator is not part of the item.
        while (pos_ < text_.size() && !isItemEnd(text_[pos_]))
            ++pos_;
    } else {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isItemEnd(text_[pos_]))
            ++pos_;
        item = text_.substr(start, pos_ - start);
        item.erase(item.find_last_not_of(' ') + 1);
    }
    skipSeparator();
    return item;
}

double ItemReader::readNumber(std::string_view what) {
    skipBlanks();
    while (atLineEnd()) {
        skipLineEnd();
        skipBlanks();
    }
    if (atEnd()) fail(std::string(what));
    itemLine_ = line_;
    if (text_[pos_] == ',' || text_[pos_] == ':') {
        ++pos_;
        return 0;
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ' ' && !isItemEnd(text_[pos_]))
        ++pos_;
    const std::string_view token = std::string_view(text_).substr(start, pos_ - start);
    double value = 0;
    if (!parseNumber(token, value))
        fail(std::string(what) + ", found \"" + std::string(token.substr(0, 40)) + '"');
    skipBlanks();
    skipSeparator();
    return value;
}

std::string ItemReader::readLine(std::string_view what) {
    if (atEnd()) fail(std::string(what));
    itemLine_ = line_;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n')
        ++pos_;
    std::string line = text_.substr(start, pos_ - start);
    if (pos_ < text_.size()) skipLineEnd();
    return line;
}

} // namespace nivora
