#include "astro/linefile.h"

#include <string_view>

#include "astro/datafile.h"
#include "astro/fieldnumber.h"

namespace nivora {

namespace {

// Characters from..to (1-based, both included) of a line, empty where the line is shorter.
std::string_view columns(std::string_view line, std::size_t from, std::size_t to)
{
    if (line.size() < from)
        return {};
    return line.substr(from - 1, to - from + 1);
}

} // namespace

LineFile parseLineFileText(std::string text, const std::filesystem::path&)
{
    LineFile parsed;
    LineReader lines(text);
    std::string_view line;
    int markers = 0;
    while (lines.next(line)) {
        if (line.starts_with("#-")) {
            if (++markers == 2) {
                parsed.complete = true;
                break;
            }
            continue;
        }
        if (line.starts_with("#"))
            continue;
        LineSegment s;
        s.key = std::string(columns(line, 1, 3));
        s.sectionB = markers == 1;
        s.ra1 = readFieldNumber(columns(line, 10, 19));
        s.dec1 = readFieldNumber(columns(line, 21, 30));
        s.ra2 = readFieldNumber(columns(line, 32, 41));
        s.dec2 = readFieldNumber(columns(line, 43, 52));
        parsed.segments.push_back(std::move(s));
    }
    parsed.lineCount = lines.lineNumber();
    return parsed;
}

LineFile readLineFile(const std::filesystem::path& file)
{
    return parseLineFileText(readWholeFile(file), file);
}

} // namespace nivora
