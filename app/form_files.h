// The one-value-a-line files of the sky-object forms (".orb", ".str"): the checks a loader makes
// before it changes anything, and the writer that replaces a file only once it is complete.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "options/settings_lines.h"

namespace nivora {

class Form;
class Ui;

// True when the text begins with a number (blanks, a sign, then a digit or a point and a digit).
bool beginsWithNumber(std::string_view text);

// Collects the first fault of a file before a loader touches a form: "ALERT" text naming the
// file, the line and the field.
class LineChecks {
public:
    LineChecks(std::string file, const SettingsLines& in) : file_(std::move(file)), in_(in) {}
    // The line must begin with a number.
    void number(int line, std::string_view field);
    // The line must hold a whole number from low to high.
    void whole(int line, int low, int high, std::string_view field);
    // Every fault is reported with this text: the file is too short or of a wrong length.
    void length(std::string_view expected);
    bool ok() const { return fault_.empty(); }
    const std::string& fault() const { return fault_; }

private:
    void fail(int line, std::string_view expected);
    std::string file_;
    const SettingsLines& in_;
    std::string fault_;
};

// The file's lines, or nullopt after an "ALERT" naming the file.
std::optional<SettingsLines> readFormFile(Ui& ui, const std::string& file);

// Writes the lines (CR LF) in place of the file once all are written; an "ALERT" naming the file
// and the old file kept when that fails.
bool writeFormFile(Ui& ui, const std::string& file, const std::vector<std::string>& lines);

// A code line of 1 or 2 chooses the group's button; any other value leaves the group as it was.
// True when it chose.
bool setGroupFromCode(Form form, std::string_view group, double code);

// A code, list index or check value as a number line: " 1".
std::string numberLine(int value);

} // namespace nivora
