#include "astro/datafile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace nivora {

namespace {

std::string describe(const std::filesystem::path& file, int line, const std::string& expected) {
    std::ostringstream text;
    text << '"' << file.string() << '"';
    if (line > 0) text << ", line " << line;
    text << ": expected " << expected;
    return text.str();
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
    : std::runtime_error(describe(file, line, expected)), file_(std::move(file)), line_(line),
      expected_(std::move(expected)) {}

std::string readWholeFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) throw DataFileError(file, 0, "an existing data file");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw DataFileError(file, 0, "a readable data file");
    // In blocks, into a string of the file's size: a character at a time is ten times slower.
    std::string text;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (!error && size < (std::uintmax_t{1} << 30))
        text.reserve(static_cast<std::size_t>(size));
    char block[1 << 15];
    while (in.read(block, sizeof block), in.gcount() > 0)
        text.append(block, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) throw DataFileError(file, 0, "a readable data file");
    return text;
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
    : text_(std::move(text)), file_(std::move(file)) {}

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
