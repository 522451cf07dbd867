// Parsed data files kept between uses, for every reader that parses a whole file at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace nivora {

// Holds each file parsed once and parses it again whenever the file on disk changes (its size or
// its modification time), so what the cache serves is what a fresh read would give. A time stamp
// within a few seconds of the read could still be shared by a later save of the same size (file
// systems that keep whole or even seconds), so until the stamp lies that far back the file is
// read again and compared with the text that was parsed. What remains unseen is a same-size
// rewrite given an old time stamp on purpose. Files are told apart by their absolute path, so a
// change of the working folder never serves another folder's file. One cache belongs to one
// program run; it is not thread-safe.
class FileParseKeeper {
public:
    // Parses the whole text of a file; throws as the reader does.
    using ParseText = std::function<std::shared_ptr<const void>(std::string text,
                                                                const std::filesystem::path& file)>;
    // Reads and parses a file that cannot be looked at, so that the reader reports it in its
    // own words.
    using ParseFile = std::function<std::shared_ptr<const void>(const std::filesystem::path& file)>;
    std::shared_ptr<const void> get(const std::filesystem::path& file, const ParseText& parseText,
                                    const ParseFile& parseFile);
    void clear() { entries_.clear(); }

private:
    struct Entry {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        std::shared_ptr<const void> parsed;
        // The parsed text, kept while the time stamp is too recent to vouch for it; empty after.
        std::string text;
        bool recent = false;
    };
    std::map<std::filesystem::path, Entry> entries_;
};

// A FileParseKeeper of one parsed type. `parseText(text, file)` reads a file's whole text;
// `parseFile(file)` reads the file itself and throws the reader's error when it cannot.
template <class Parsed>
class ParsedFileCache {
public:
    using ParseText = Parsed (*)(std::string text, const std::filesystem::path& file);
    using ParseFile = Parsed (*)(const std::filesystem::path& file);

    ParsedFileCache(ParseText parseText, ParseFile parseFile)
        : parseText_(parseText), parseFile_(parseFile) {}

    // The parsed file; a returned file stays valid after the cache reloads it.
    std::shared_ptr<const Parsed> get(const std::filesystem::path& file) {
        return std::static_pointer_cast<const Parsed>(keeper_.get(
            file,
            [this](std::string text, const std::filesystem::path& f) -> std::shared_ptr<const void> {
                return std::make_shared<const Parsed>(parseText_(std::move(text), f));
            },
            [this](const std::filesystem::path& f) -> std::shared_ptr<const void> {
                return std::make_shared<const Parsed>(parseFile_(f));
            }));
    }
    // Forgets every parsed file.
    void clear() { keeper_.clear(); }

private:
    ParseText parseText_;
    ParseFile parseFile_;
    FileParseKeeper keeper_;
};

} // namespace nivora
