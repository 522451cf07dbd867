// The star lists ("ALLSTAR5.txt", "ALLSTAR7.txt"; in the Earth-map set the city lists): records
// in fixed columns, ended by a line beginning "#-".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "astro/parsedfilecache.h"

namespace nivora {

// One record of a star list. Numbers read as the field's text does (blank or not a number: 0).
struct StarRecord {
    std::size_t lineStart = 0;     // the record's line in StarList::text
    std::size_t lineLength = 0;
    int lineNumber = 0;            // 1-based
    std::uint8_t shift = 0;        // 14 once a header has announced proper motions, else 0
    float magnitude = 0;
    double raDegrees = 0;          // as written: not brought into 0..360
    double decDegrees = 0;         // as written: may lie outside -90..+90
    double pmRaMas = 0;            // thousandths of an arc second a year, times cos(dec); 0
    double pmDecMas = 0;           // without the shift
    friend bool operator==(const StarRecord&, const StarRecord&) = default;
};

struct StarList {
    std::string text;                     // the file's text, which the records point into
    std::vector<StarRecord> records;      // in file order, up to the end marker
    std::array<std::string, 4> titles;    // the four short fields' titles, from the last header

    std::string_view line(const StarRecord& r) const { return std::string_view(text).substr(r.lineStart, r.lineLength); }
    // Characters 1-3: the constellation (or nation) key.
    std::string_view key(const StarRecord& r) const { return line(r).substr(0, 3); }
    // Characters 1-7: the catalogue number.
    std::string_view number(const StarRecord& r) const { return line(r).substr(0, 7); }
    // From character 55 + shift to the end of the line; may be empty.
    std::string_view name(const StarRecord& r) const;

    friend bool operator==(const StarList&, const StarList&) = default;
};

// Reads a star list. Throws DataFileError{file, 0, ...} for a file that cannot be read and
// DataFileError{file, last line + 1, ...} for one without its "#-" line; reads nothing after it.
StarList parseStarListText(std::string text, const std::filesystem::path& file);
StarList readStarList(const std::filesystem::path& file);

// Star lists kept parsed as ParsedFileCache keeps them: a list from the cache is the one a fresh
// read would give.
class StarListCache {
public:
    // Throws as readStarList does, also for a file that was cached and has since gone.
    std::shared_ptr<const StarList> list(const std::filesystem::path& file) { return cache_.get(file); }
    void clear() { cache_.clear(); }

private:
    ParsedFileCache<StarList> cache_{parseStarListText, readStarList};
};

} // namespace nivora
