// Files as the program sees them: exact names, lines, and replacement only once a new file is
// complete. Every reader and writer of the program keeps these rules (the readers' own are in
// astro/datafile.h, which these functions use):
//  - a file is read only when it is a plain file of at most maxDataFileBytes; a byte-order mark
//    at its start is skipped; CR LF, LF and a lone CR each end a line;
//  - text from a file or a field quoted in a message goes through escapeControls;
//  - a file is written only through FileReplacer: a failure at any point (a full disk, a
//    folder that cannot be written, a failing rename) keeps the old file byte for byte, leaves
//    no temporary file, and gives error() to show in an "ALERT"; nothing is ever written
//    through or over what is no plain file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct stat;

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

// What stands at `path` in place of a plain file, its links followed: "a folder", "a named
// pipe", "a device", "a socket", or "a link to" one of them. Empty for a plain file, a link to
// one, and for nothing at all (a missing file, a dangling link). Never opens what it finds, so a
// named pipe cannot hold it up.
std::string notAPlainFileButWhat(const std::filesystem::path& path);

// Why the link at `path` cannot be followed, as the system says it ("Too many levels of
// symbolic links" for a loop or a chain longer than the system follows, "Permission denied" for
// a link into a folder that may not be entered); empty where it can, where `path` is no link,
// and for a dangling link.
std::string whyNoLinkFollowed(const std::filesystem::path& path);

// Writes a file's new text and replaces the file with it only when commit() succeeds, so a
// failure midway leaves the old file as it was. Lines are written with CR LF. Text is held
// only up to a block (a settings file is written at once at the commit); beyond that it goes
// to the temporary file as it comes, so that a large file never needs a copy in memory.
class FileReplacer {
public:
    explicit FileReplacer(std::filesystem::path path) : path_(std::move(path)) {}
    ~FileReplacer();   // a replacement never committed leaves no temporary file
    FileReplacer(const FileReplacer&) = delete;
    FileReplacer& operator=(const FileReplacer&) = delete;

    void line(std::string_view text);
    void raw(std::string_view text);
    // Writes to a new, uniquely named temporary file beside the target, locked while it is
    // written, syncs it to disk, checks the target again, renames the file over it and syncs
    // the folder. What earlier saves to the target left behind is removed when the first text
    // goes to disk. A target that is a symbolic link is written through the link (the link
    // stays); a link that cannot be followed is refused; an existing target keeps its
    // permissions, and one that may not be written (no write permission, also for root) stays
    // as it is. A target that is, or links to, anything but a plain file (a folder, a named
    // pipe, a device) is refused: nothing is written through it or over it. False on any
    // failure, with the old file untouched and no temporary file left. Called once, when the
    // text is complete.
    bool commit();
    // Why the replacement failed, naming the file and the cause as the system gives it
    // ("Cannot write "x": No space left on device"); empty while nothing failed.
    const std::string& error() const { return error_; }

    // True once the replacement has failed: nothing more is written.
    bool failed() const { return !error_.empty(); }

private:
    std::string refusal(bool* exists, struct stat* status);
    bool begin();
    bool send(std::string_view bytes);
    bool fail(const std::string& why);
    void discard();

    std::filesystem::path path_;
    std::filesystem::path target_;      // path_ with its links followed: the file replaced
    std::filesystem::path temporary_;
    std::string pending_;               // text not yet written
    std::string error_;
    int descriptor_ = -1;               // the temporary file's, while it is open
    long long sent_ = 0;                // bytes written to it
};

// Removes what a FileReplacer killed midway may have left beside `path` (or beside the file it
// links to): plain files named as only its temporaries are, the target's name (its first 240
// bytes where it is longer) followed by temporaryMark and six letters or digits
// ("nivora.ini.~saving~qKz4tB"), whatever the case of their letters. A temporary file that
// another running copy still writes (and so holds locked) stays. A person's copy
// ("nivora.ini.Backup") is never touched, nor a name that an earlier writer's leftover shares
// with such a copy.
inline constexpr std::string_view temporaryMark = ".~saving~";
void removeStrayTemporaries(const std::filesystem::path& path);

} // namespace nivora
