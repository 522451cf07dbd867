#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>
#include <vector>

#include <QFile>
#include <QSaveFile>

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

void FileReplacer::line(std::string_view text)
{
    content_ += text;
    content_ += "\r\n";
}

void FileReplacer::raw(std::string_view text) { content_ += text; }

bool FileReplacer::commit()
{
    error_.clear();
    const auto fail = [&](const QString& why) {
        error_ = "Cannot write \"" + escapeControls(path_.string()) + "\": " + escapeControls(why.toStdString());
        return false;
    };
    // QSaveFile writes a uniquely named temporary file beside the target (created exclusively,
    // so no stale link is followed), writes through a link to its target, keeps the target's
    // permissions, and removes the temporary file on any failure.
    QSaveFile file(QFile::decodeName(path_.c_str()));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    if (file.write(content_.data(), qint64(content_.size())) != qint64(content_.size()) || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    // QSaveFile syncs before its rename but ignores a failing sync; a disk that fails here
    // must keep the old file.
    if (::fsync(file.handle()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

namespace {

bool isReplacersTemporary(std::string_view name, std::string_view target)
{
    constexpr std::size_t randomLetters = 6;
    if (name.size() != target.size() + 1 + randomLetters || !name.starts_with(target) ||
        name[target.size()] != '.')
        return false;
    bool upper = false, lower = false;
    for (const char c : name.substr(target.size() + 1)) {
        const bool isUpper = c >= 'A' && c <= 'Z', isLower = c >= 'a' && c <= 'z';
        if (!isUpper && !isLower) return false;
        upper = upper || isUpper;
        lower = lower || isLower;
    }
    return upper && lower;
}

} // namespace

void removeStrayTemporaries(const fs::path& path)
{
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string target = path.filename().string();
    std::vector<fs::path> strays;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kindError;
        if (isReplacersTemporary(it->path().filename().string(), target) &&
            it->symlink_status(kindError).type() == fs::file_type::regular)
            strays.push_back(it->path());
    }
    for (const fs::path& stray : strays) fs::remove(stray, ec);
}

} // namespace nivora
