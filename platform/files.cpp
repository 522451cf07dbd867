#include "platform/files.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <new>
#include <random>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "astro/datafile.h"

namespace nivora {

namespace fs = std::filesystem;

bool fileExists(std::string_view name)
{
    if (name.empty()) return false;
    const fs::path path{std::string(name)};
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string leaf = path.filename().string();
    if (leaf.empty()) return false;
    // A directory search, so the name must match exactly, case included.
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string() != leaf) continue;
        std::error_code kindError;
        return it->is_regular_file(kindError);   // follows a link; a dangling one is absent
    }
    return false;
}

std::optional<std::vector<std::string>> readLines(const fs::path& path, std::string* whyNot)
{
    try {
        const std::string text = readWholeFile(path);
        std::vector<std::string> lines;
        LineReader reader(text);
        for (std::string_view line; reader.next(line);) lines.emplace_back(line);
        return lines;
    } catch (const DataFileError& error) {
        if (whyNot) *whyNot = error.what();
    } catch (const std::bad_alloc&) {
        if (whyNot) *whyNot = DataFileError(path, 0, std::string(outOfMemoryText)).what();
    }
    return std::nullopt;
}

namespace {

// Text is held up to this much before it goes to the temporary file.
constexpr std::size_t heldBytes = std::size_t{1} << 20;
constexpr std::size_t randomLetters = 6;
constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::string systemError(int code) { return std::generic_category().message(code); }

// Links followed no further than the system follows them.
constexpr int maxLinkHops = 40;

// The file a write to `path` replaces: `path` with its links followed as far as they lead (the
// target of a dangling link is made). *cause is the system's error where a link cannot be
// followed (a loop, more links than the system follows, a folder that may not be entered), 0
// where it can.
fs::path followLinks(fs::path path, int* cause)
{
    *cause = 0;
    for (int hop = 0;; ++hop) {
        struct stat status{};
        if (::lstat(path.c_str(), &status) != 0) {
            if (errno != ENOENT) *cause = errno;
            return path;
        }
        if (!S_ISLNK(status.st_mode)) return path;
        std::error_code ec;
        const fs::path to = fs::read_symlink(path, ec);
        if (hop == maxLinkHops || ec) {
            *cause = hop == maxLinkHops ? ELOOP : ec.value();
            return path;
        }
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
}

std::string kindName(fs::file_type type)
{
    switch (type) {
    case fs::file_type::directory: return "a folder";
    case fs::file_type::fifo: return "a named pipe";
    case fs::file_type::block:
    case fs::file_type::character: return "a device";
    case fs::file_type::socket: return "a socket";
    default: return "no plain file";
    }
}

// The part of a target's name its temporary files begin with: the whole name where the
// temporary's name still fits in a folder entry.
std::string temporaryStem(const fs::path& target)
{
    std::string name = target.filename().string();
    const std::size_t room = NAME_MAX - temporaryMark.size() - randomLetters;
    if (name.size() > room) name.resize(room);
    return name;
}

bool isTemporaryOf(std::string_view name, std::string_view stem)
{
    if (name.size() != stem.size() + temporaryMark.size() + randomLetters || !name.starts_with(stem))
        return false;
    name.remove_prefix(stem.size());
    for (std::size_t i = 0; i < temporaryMark.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != temporaryMark[i]) return false;
    return name.substr(temporaryMark.size()).find_first_not_of(letters) == std::string_view::npos;
}

} // namespace

std::string notAPlainFileButWhat(const fs::path& path)
{
    std::error_code ec;
    const fs::file_type type = fs::status(path, ec).type();
    if (type == fs::file_type::regular || type == fs::file_type::not_found || type == fs::file_type::none)
        return {};
    const bool link = fs::is_symlink(fs::symlink_status(path, ec));
    return (link ? "a link to " : "") + kindName(type);
}

std::string whyNoLinkFollowed(const fs::path& path)
{
    struct stat link{};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return {};
    int cause = 0;
    const fs::path target = followLinks(path, &cause);
    if (cause == 0 && target != path) {
        struct stat status{};
        if (::stat(target.c_str(), &status) != 0 && errno != ENOENT) cause = errno;
    }
    return cause == 0 ? std::string() : systemError(cause);
}

FileReplacer::~FileReplacer() { discard(); }

void FileReplacer::line(std::string_view text)
{
    raw(text);
    raw("\r\n");
}

void FileReplacer::raw(std::string_view text)
{
    if (!error_.empty()) return;
    if (pending_.size() + text.size() > heldBytes) {
        if (!send(pending_)) return;
        pending_.clear();
        if (text.size() >= heldBytes) {
            send(text);
            return;
        }
    }
    pending_ += text;
}

bool FileReplacer::fail(const std::string& why)
{
    error_ = "Cannot write \"" + escapeControls(path_.string()) + "\": " + escapeControls(why);
    discard();
    return false;
}

void FileReplacer::discard()
{
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

// Why the target may not be replaced as it stands now; empty when it may. *exists and *status
// tell what stands there.
std::string FileReplacer::refusal(bool* exists, struct stat* status)
{
    if (const std::string what = notAPlainFileButWhat(path_); !what.empty()) return "it is " + what + ", not a plain file";
    int cause = 0;
    target_ = followLinks(path_, &cause);
    if (cause != 0) return systemError(cause);
    *exists = ::stat(target_.c_str(), status) == 0;
    if (!*exists) return errno == ENOENT ? std::string() : systemError(errno);
    if (!S_ISREG(status->st_mode)) return "it is " + kindName(fs::status(target_).type()) + ", not a plain file";
    // A file its owner made read-only stays as it is, also for one whom the system lets write.
    if (::access(target_.c_str(), W_OK) != 0) return systemError(errno);
    if ((status->st_mode & 0222) == 0) return systemError(EACCES);
    return {};
}

// Makes the temporary file, exclusively, so that no name planted beside the target (a link to
// another file) is ever followed, and locks it while it is written, so that another copy's
// clean-up leaves it alone. What earlier saves to the target left goes first.
bool FileReplacer::begin()
{
    bool exists = false;
    struct stat status{};
    if (const std::string why = refusal(&exists, &status); !why.empty()) return fail(why);
    removeStrayTemporaries(path_);
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryStem(target_) + std::string(temporaryMark);
        for (std::size_t i = 0; i < randomLetters; ++i) name += letters[pick(random)];
        const fs::path temporary = target_.parent_path() / name;
        descriptor_ = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ < 0) {
            if (errno == EEXIST) continue;
            return fail(systemError(errno));
        }
        temporary_ = temporary;
        if (::flock(descriptor_, LOCK_EX) != 0) return fail(systemError(errno));
        // Another copy's clean-up may have taken the file before it was locked.
        struct stat made{};
        if (::fstat(descriptor_, &made) != 0) return fail(systemError(errno));
        if (made.st_nlink == 0) {
            ::close(descriptor_);
            descriptor_ = -1;
            temporary_.clear();
            continue;
        }
        // A new file takes the umask's permissions; one replaced keeps its own.
        if (exists && ::fchmod(descriptor_, status.st_mode & 07777) != 0) return fail(systemError(errno));
        return true;
    }
    return fail(systemError(EEXIST));
}

bool FileReplacer::send(std::string_view bytes)
{
    if (descriptor_ < 0 && !begin()) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        // A write that takes nothing has met a full disk without saying so.
        if (written <= 0) return fail(systemError(written < 0 ? errno : ENOSPC));
        bytes.remove_prefix(std::size_t(written));
        // The disk starts on what is written while the rest is made, so that the sync before
        // the rename finds little left to wait for.
        ::sync_file_range(descriptor_, sent_, written, SYNC_FILE_RANGE_WRITE);
        sent_ += written;
    }
    return true;
}

bool FileReplacer::commit()
{
    if (!error_.empty() || !send(pending_)) return false;
    pending_.clear();
    // The rename may reach the disk before the data: only synced data may replace the old file.
    if (::fsync(descriptor_) != 0) return fail(systemError(errno));
    // What stands there may have changed while the text was written.
    bool exists = false;
    struct stat status{};
    if (const std::string why = refusal(&exists, &status); !why.empty()) return fail(why);
    // The lock is held until the temporary file has the target's name.
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(systemError(errno));
    temporary_.clear();
    ::close(descriptor_);
    descriptor_ = -1;
    // The rename reaches the disk with its folder.
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    if (const int entries = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); entries >= 0) {
        ::fsync(entries);
        ::close(entries);
    }
    return true;
}

void removeStrayTemporaries(const fs::path& path)
{
    std::vector<fs::path> targets = {path};
    int cause = 0;
    if (const fs::path linked = followLinks(path, &cause); linked != path && cause == 0) targets.push_back(linked);
    for (const fs::path& target : targets) {
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        const std::string stem = temporaryStem(target);
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (!isTemporaryOf(it->path().filename().string(), stem)) continue;
            // Only a plain file whose writer holds no lock on it: one that is still being
            // written stays.
            const int stray = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (stray < 0) continue;
            struct stat opened{}, named{};
            if (::flock(stray, LOCK_EX | LOCK_NB) == 0 && ::fstat(stray, &opened) == 0 && S_ISREG(opened.st_mode) &&
                ::lstat(it->path().c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
                named.st_ino == opened.st_ino)
                ::unlink(it->path().c_str());
            ::close(stray);
        }
    }
}

} // namespace nivora
