// Reading the program's data files: one error type and the item reader.
#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nivora {

// A data file that is missing, malformed or ends early. Carries the file, the 1-based line
// (0 when the file as a whole is at fault, such as a missing file) and what was expected there.
// Readers throw it; the caller decides whether it becomes an "ALERT" or a start-up failure.
class DataFileError : public std::runtime_error {
public:
    DataFileError(std::filesystem::path file, int line, std::string expected);

    const std::filesystem::path& file() const { return file_; }
    int line() const { return line_; }
    const std::string& expected() const { return expected_; }

private:
    std::filesystem::path file_;
    int line_;
    std::string expected_;
};

// The whole text of a file; throws DataFileError (line 0) when it cannot be read.
std::string readWholeFile(const std::filesystem::path& file);

// Splits a text into lines, accepting CR LF, LF and a lone CR as line ends. A final line end
// does not open an empty last line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    // The next line without its line end; false at the end of the text.
    bool next(std::string_view& line);
    // 1-based number of the line last returned.
    int lineNumber() const { return line_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 0;
};

// Reads a file item by item. Items are separated by commas, colons and line ends (CR LF, LF or
// a lone CR). Blanks (spaces only, not tabs) before an item are skipped. What ends an item
// depends on what the caller reads next:
//  - a text item runs to the next comma, colon or line end, keeping its inner blanks and losing
//    its trailing ones; one that begins with a double quote runs to the closing quote (or, when
//    there is none, to the line end) and may hold commas and colons;
//  - a number item ends also at a blank, so numbers may share a line separated by blanks only;
//    blanks after a number and the comma, colon or line end that follows them form one separator.
// Whole lines can be read between items. Numbers are parsed without regard to the locale.
class ItemReader {
public:
    ItemReader(std::string text, std::filesystem::path file);
    // Opens a file; throws DataFileError when it cannot be read.
    static ItemReader open(const std::filesystem::path& file);

    // The next text item. `what` names it in the error thrown at the end of the file.
    std::string readText(std::string_view what = "an item");
    // The next number item. Line ends before it are skipped; an empty item (two separators in a
    // row) reads as 0; anything that is not wholly a finite number throws DataFileError.
    double readNumber(std::string_view what = "a number");
    // The rest of the current line without its line end, which is consumed.
    std::string readLine(std::string_view what = "a line");

    bool atEnd() const { return pos_ >= text_.size(); }
    // 1-based line of the reading position.
    int lineNumber() const { return line_; }
    // 1-based line on which the item last read began.
    int itemLineNumber() const { return itemLine_; }
    const std::filesystem::path& file() const { return file_; }
    // An error at the current line.
    [[noreturn]] void fail(std::string expected) const;

private:
    bool atLineEnd() const;
    void skipLineEnd();
    void skipBlanks();
    // Consumes one comma or colon, or one line end; false when none is there.
    bool skipSeparator();

    std::string text_;
    std::filesystem::path file_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int itemLine_ = 1;
};

} // namespace nivora
