#include "astro/starlist.h"

#include "astro/datafile.h"
#include "astro/fieldnumber.h"

namespace nivora {

namespace {

// Characters `first` to `last` (1-based, both included) of a line; shorter lines give less.
std::string_view columns(std::string_view line, std::size_t first, std::size_t last) {
    if (line.size() < first)
        return {};
    return line.substr(first - 1, last - first + 1);
}

} // namespace

std::string_view StarList::name(const StarRecord& r) const {
    const std::string_view l = line(r);
    const std::size_t from = 54 + r.shift;
    return l.size() > from ? l.substr(from) : std::string_view();
}

StarList parseStarListText(std::string text, const std::filesystem::path& file) {
    StarList list;
    list.text = std::move(text);
    const std::string_view all = list.text;
    LineReader lines(all);
    std::uint8_t shift = 0;
    std::string_view line;
    while (lines.next(line)) {
        if (line.starts_with("#-"))
            return list;
        if (line.starts_with("#number") || line.starts_with("#starnm")) {
            // Once announced, the proper motions stay for the rest of the file.
            if (columns(line, 31, 43) == "proper-motion")
                shift = 14;
            for (std::size_t k = 0; k < 4; ++k)
                list.titles[k] = std::string(columns(line, 32 + 6 * k + shift, 35 + 6 * k + shift));
            continue;
        }
        if (line.starts_with("#"))
            continue;
        StarRecord r;
        r.lineStart = std::size_t(line.data() - all.data());
        r.lineLength = line.size();
        r.lineNumber = lines.lineNumber();
        r.shift = shift;
        r.magnitude = float(readFieldNumber(columns(line, 49 + shift, 53 + shift)));
        r.raDegrees = readFieldNumber(columns(line, 8, 18));
        r.decDegrees = readFieldNumber(columns(line, 20, 29));
        if (shift) {
            r.pmRaMas = readFieldNumber(columns(line, 31, 36));
            r.pmDecMas = readFieldNumber(columns(line, 38, 43));
        }
        list.records.push_back(r);
    }
    throw DataFileError(file, lines.lineNumber() + 1, "a line beginning \"#-\" that ends the list");
}

StarList readStarList(const std::filesystem::path& file) {
    return withinMemory(file, [&] { return parseStarListText(readWholeFile(file), file); });
}

} // namespace nivora
