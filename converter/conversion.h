// tarvex's conversion: constellation segments given as pairs of star numbers become segments
// with the right ascension and declination of both ends. Standard library only, no window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// A conversion that cannot be done; what() is one line for the user.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One star record, its three fields copied as text.
struct StarEntry {
    std::string number;   // columns 1-7
    std::string ra;       // columns 9-18, degrees
    std::string dec;      // columns 20-29, degrees
};

// The table holds at most this many stars; a list that reaches maxStars + 1 is refused.
inline constexpr int maxStars = 4999;

struct Conversion {
    std::string lineFile;   // the constellation-line file, CR LF line ends
    int segments = 0;       // segment records written, both sections
    int dropped = 0;        // pair records dropped because a star number was not found
};

// The largest input file read: eight times the largest star list shipped.
inline constexpr std::uintmax_t maxInputBytes = std::uintmax_t{64} << 20;

// Splits a text into lines, accepting CR LF, LF and a lone CR; a final line without an end is
// kept. A UTF-8 byte-order mark at the start is skipped.
std::vector<std::string_view> splitLines(std::string_view text);

// The text with every control character (codes 0-31 and 127) written as \xNN and a backslash
// doubled, for quoting in a one-line message.
std::string escapeControls(std::string_view text);

// Reads a star-positions file up to its "#-" line. Throws ConversionError when the line is
// missing, the list reaches the table's limit, or a copied field (columns 1-29) holds a control
// character (the error names the line).
std::vector<StarEntry> readStarTable(std::string_view starPositions);

// Converts a star-pair file with the given star table. Each copied field is padded to its
// width (label 9, coordinates 10), so a short star line cannot shift the columns.
// Throws ConversionError when the pair file lacks one of its two "#-" lines, or when a record's
// label holds a control character (the error names the line).
Conversion convertPairs(const std::vector<StarEntry>& stars, std::string_view starPairs);

// The whole conversion on texts: readStarTable, then convertPairs.
Conversion convertConstellationLines(std::string_view starPositions, std::string_view starPairs);

struct ConversionFiles {
    std::filesystem::path starPositions;
    std::filesystem::path starPairs;
    std::filesystem::path output;
};

// Reads both inputs, converts, and writes the output through a temporary file in the output's
// folder that is renamed into place only when complete, so no truncated output ever exists.
// The temporary file is created exclusively, locked while it is written and synced before the
// rename; what a conversion killed midway left beside the output is removed at the next one.
// An output that is a link is written through it; an existing output keeps its permissions.
// Refuses an output that is one of the inputs, whose name holds a wildcard, that is (or links
// to) a folder or no plain file (naming what it is), that may not be written (read-only, another
// user's), or a link that cannot be followed (a loop, more than 40 links, a folder that may not
// be entered), and an input that is a folder, not a plain file or larger than maxInputBytes. On
// any failure, running out of memory included, it throws ConversionError naming the file,
// nothing is written and the existing output is left as it was.
Conversion convertFiles(const ConversionFiles& files);

} // namespace tarvex
