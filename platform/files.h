// Files as the program sees them: exact names, CR LF or LF lines, and replacement only once a
// new file is complete.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nivora {

// True when a regular file of exactly this name exists (a directory search of its folder, case
// included). An empty name does not exist.
bool fileExists(std::string_view name);

// All lines of a text file without their CR LF or LF ends; nullopt when it cannot be opened.
// A last line without an end is kept; a file ending in a line end has no empty last line.
std::optional<std::vector<std::string>> readLines(const std::filesystem::path& path);

// Collects a file's text and replaces the file with it only when commit() succeeds, so a
// failure midway leaves the old file as it was. Lines are written with CR LF.
class FileReplacer {
public:
    explicit FileReplacer(std::filesystem::path path) : path_(std::move(path)) {}
    void line(std::string_view text);
    void raw(std::string_view text);
    // Writes to a temporary file beside the target, then renames it over the target.
    bool commit();
    const std::string& content() const { return content_; }
private:
    std::filesystem::path path_;
    std::string content_;
};

} // namespace nivora
