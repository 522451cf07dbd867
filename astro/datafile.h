// Reading the program's data files: one error type, the line and item readers, and the rules
// every reader keeps, those of other rooms included:
//  - a file is read through readWholeFile (or with the same checks): only a plain file, at most
//    maxDataFileBytes, refused by name otherwise; running out of memory while reading or parsing
//    is a DataFileError too (withinMemory), never a std::bad_alloc that escapes to a handler;
//  - a UTF-8 byte-order mark at the start is not part of the text (withoutByteOrderMark);
//  - CR LF, LF and a lone CR each end a line (LineReader, ItemReader);
//  - text quoted from a file into a message goes through escapeControls, so that a NUL cannot cut
//    the message short nor a line end split it; DataFileError does this for its whole message;
//  - an error names the line where the fault is, not the line where reading gave up;
//  - numbers that are each finite but give no finite result are the file's fault
//    (requireFiniteResult), never a NaN or an infinity handed to a drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nivora {

// A data file that is missing, malformed or ends early. Carries the file, the 1-based line
// (0 when the file as a whole is at fault, such as a missing file) and what was expected there.
// Readers throw it; the caller decides whether it becomes an "ALERT" or a start-up failure.
// The message and expected() hold no control characters (escapeControls).
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

// The largest data file any reader accepts: eight times the largest shipped file, and far less
// than the memory a parsed file of that size needs.
inline constexpr std::uintmax_t maxDataFileBytes = std::uintmax_t{64} << 20;

// The text without a UTF-8 byte-order mark at its start.
std::string_view withoutByteOrderMark(std::string_view text);

// The text with every control character (codes 0-31 and 127) written as \xNN, and a backslash
// as \\, so that it can be quoted in a one-line message.
std::string escapeControls(std::string_view text);

// What a reader says when the memory runs out.
inline constexpr std::string_view outOfMemoryText = "a file that fits in the memory left";

// A file's numbers may each be finite and still give no finite result (a term of 1e308, a
// divisor of 1e-300). Throws DataFileError (line 0) naming the file when `finite` is false:
// "expected <what> that stay finite at day number <d>".
void requireFiniteResult(bool finite, const std::filesystem::path& file, double dayNumber, std::string_view what);

// Runs a reader and turns running out of memory into a DataFileError (line 0) naming the file.
template <class Read>
auto withinMemory(const std::filesystem::path& file, Read read) -> decltype(read());

// The whole text of a file, without a byte-order mark. Throws DataFileError (line 0) naming the
// file when it is missing, is not a plain file (a folder, a device, a link loop), is larger than
// maxDataFileBytes, cannot be read, or does not fit in memory.
std::string readWholeFile(const std::filesystem::path& file);

// Splits a text into lines, accepting CR LF, LF and a lone CR as line ends. A final line end
// does not open an empty last line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(withoutByteOrderMark(text)) {}
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
    // A byte-order mark at the start of the text is skipped.
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

template <class Read>
auto withinMemory(const std::filesystem::path& file, Read read) -> decltype(read()) {
    try {
        return read();
    } catch (const std::bad_alloc&) {
        throw DataFileError(file, 0, std::string(outOfMemoryText));
    }
}

} // namespace nivora
