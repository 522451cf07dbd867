// The constellation-line files ("velkanet.net"; in the Earth-map set the coasts and borders
// "coast_bd.net"): segments between two points of the ICRF equator, in fixed columns.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "astro/parsedfilecache.h"

namespace nivora {

// One segment; numbers read as the field's text does (blank or not a number: 0), in degrees as
// written.
struct LineSegment {
    std::string key;          // characters 1-3: the constellation or nation
    bool sectionB = false;    // after the first "#-" line: drawn only for the highlighted key
    double ra1 = 0, dec1 = 0, ra2 = 0, dec2 = 0;
    friend bool operator==(const LineSegment&, const LineSegment&) = default;
};

struct LineFile {
    std::vector<LineSegment> segments;   // in file order, up to the second "#-" line
    // False when the file ended before its second "#-" line; the segments read are kept.
    bool complete = false;
    int lineCount = 0;                   // lines read
    friend bool operator==(const LineFile&, const LineFile&) = default;
};

LineFile parseLineFileText(std::string text, const std::filesystem::path& file);
// Throws DataFileError{file, 0, ...} for a file that cannot be read.
LineFile readLineFile(const std::filesystem::path& file);

// Line files kept parsed until they change on disk: what it serves is what a fresh read gives.
class LineFileCache {
public:
    std::shared_ptr<const LineFile> file(const std::filesystem::path& file) { return cache_.get(file); }
    void clear() { cache_.clear(); }

private:
    ParsedFileCache<LineFile> cache_{parseLineFileText, readLineFile};
};

} // namespace nivora
