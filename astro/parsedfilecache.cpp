#include "astro/parsedfilecache.h"

#include <chrono>
#include <system_error>
#include <utility>

#include "astro/datafile.h"

namespace nivora {

namespace {

// The coarsest time stamp in use (FAT keeps even seconds): a save made after a read carries a
// time no earlier than this before the read.
constexpr auto timeStampGranule = std::chrono::seconds(3);

} // namespace

std::shared_ptr<const void> FileParseKeeper::get(const std::filesystem::path& file,
                                                 const ParseText& parseText, const ParseFile& parseFile) {
    const auto readStart = std::filesystem::file_time_type::clock::now();
    std::error_code error;
    std::filesystem::path key = std::filesystem::absolute(file, error);
    if (error)
        key = file;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    std::filesystem::file_time_type modified;
    if (!error)
        modified = std::filesystem::last_write_time(file, error);
    if (error) {
        // Gone or unreadable: let the reader say so, and keep nothing stale.
        entries_.erase(key);
        return parseFile(file);
    }
    const bool recent = modified > readStart - timeStampGranule;
    const auto found = entries_.find(key);
    if (found != entries_.end() && found->second.size == size && found->second.modified == modified) {
        Entry& entry = found->second;
        if (!entry.recent)
            return entry.parsed;
        std::string text = readWholeFile(file);
        if (text == entry.text) {
            if (!recent) {
                entry.recent = false;
                entry.text = std::string();
            }
            return entry.parsed;
        }
    }
    entries_.erase(key);
    return withinMemory(file, [&] {
        std::string text = readWholeFile(file);
        std::string kept = recent ? text : std::string();
        auto parsed = parseText(std::move(text), file);
        entries_[key] = Entry{size, modified, parsed, std::move(kept), recent};
        return parsed;
    });
}

} // namespace nivora
