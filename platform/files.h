// Files as the program sees them: exact names, lines, and replacement only once a new file is
// complete. Every reader and writer of the program keeps these rules (the readers' own are in
// astro/datafile.h, which these functions use):
//  - a file is read only when it is a plain file of at most maxDataFileBytes; a byte-order mark
//    at its start is skipped; CR LF, LF and a lone CR each end a line;
//  - text from a file or a field quoted in a message goes through escapeControls;
//  - a file is written only through FileReplacer: a failure at any point (a full disk, a
//    folder that cannot be written, a failing rename) keeps the old file byte for byte, leaves
//    no temporary file, and gives error() to show in an "ALERT".
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

// All lines of a text file without their ends (CR LF, LF or a lone CR); nullopt when it is
// missing, no plain file, larger than maxDataFileBytes, unreadable or too large for the memory
// left, with the reason, naming the file, in *whyNot when given. A last line without an end is
// kept; a file ending in a line end has no empty last line; a leading byte-order mark is skipped.
std::optional<std::vector<std::string>> readLines(const std::filesystem::path& path,
                                                  std::string* whyNot = nullptr);

// Collects a file's text and replaces the file with it only when commit() succeeds, so a
// failure midway leaves the old file as it was. Lines are written with CR LF.
class FileReplacer {
public:
    explicit FileReplacer(std::filesystem::path path) : path_(std::move(path)) {}
    void line(std::string_view text);
    void raw(std::string_view text);
    // Writes to a new, uniquely named temporary file beside the target, syncs it to disk, then
    // renames it over the target. A target that is a symbolic link is written through the link
    // (the link stays); an existing target keeps its permissions. False on any failure, with the
    // old file untouched and no temporary file left.
    bool commit();
    const std::string& content() const { return content_; }
    // Why the last commit() failed, naming the file ("Cannot write "x": reason"); empty after
    // a success.
    const std::string& error() const { return error_; }
private:
    std::filesystem::path path_;
    std::string content_;
    std::string error_;
};

// Removes what a FileReplacer killed midway may have left beside `path`: plain files named as
// its temporaries are, the target's name, a dot and six random letters ("nivora.ini.qKzRtB").
// Letters of one case only are how a person names a copy ("nivora.ini.backup"): never touched.
void removeStrayTemporaries(const std::filesystem::path& path);

} // namespace nivora
