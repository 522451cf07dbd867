#include "astro/startuptables.h"

#include <cmath>
#include <limits>
#include <string>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "astro/fieldnumber.h"

namespace nivora {

namespace {

std::string_view column(std::string_view line, std::size_t first, std::size_t count) {
    return first < line.size() ? line.substr(first, count) : std::string_view();
}

} // namespace

DeltaTTable parseDeltaTTable(std::string_view text, const std::filesystem::path& file) {
    DeltaTTable table;
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.starts_with("#-")) {
            if (table.rowCount == 0)
                throw DataFileError(file, lines.lineNumber(), "at least one row before the end line \"#-\"");
            return table;
        }
        if (line.starts_with('#')) continue;
        if (table.rowCount == DeltaTTable::capacity)
            throw DataFileError(file, lines.lineNumber(),
                                "the end line \"#-\" after at most " + std::to_string(DeltaTTable::capacity) +
                                    " rows");
        const double date = readFieldNumber(column(line, 0, 7));
        const double seconds = readFieldNumber(column(line, 8, 7));
        // The table holds single precision; a value beyond it would become infinite.
        if (std::fabs(date) > std::numeric_limits<float>::max() ||
            std::fabs(seconds) > std::numeric_limits<float>::max())
            throw DataFileError(file, lines.lineNumber(), "numbers within single precision");
        if (table.rowCount > 0 && !(float(date) > table.rows[table.rowCount - 1][0]))
            throw DataFileError(file, lines.lineNumber(), "a date after the row before");
        auto& row = table.rows[table.rowCount++];
        row[0] = float(date);
        row[1] = float(seconds);
    }
    throw DataFileError(file, lines.lineNumber(), "the end line \"#-\"");
}

DeltaTTable loadDeltaTTable(const std::filesystem::path& file) {
    return parseDeltaTTable(readWholeFile(file), file);
}

MeanElements loadMeanElements(const std::filesystem::path& file) {
    return withinMemory(file, [&] { return parseMeanElements(readWholeFile(file), file); });
}

MeanElements parseMeanElements(std::string text, const std::filesystem::path& file) {
    ItemReader reader(std::move(text), file);
    MeanElements elements{};
    for (int block = 0; block < 10; ++block) {
        reader.readText("the label of block " + std::to_string(block + 1) + " of 10");
        for (auto& row : elements[block])
            for (double& value : row)
                value = reader.readNumber("28 numbers in block " + std::to_string(block + 1) + " of 10");
    }
    return elements;
}

PrecessionPolynomials loadPrecessionPolynomials(const std::filesystem::path& file) {
    return withinMemory(file, [&] { return parsePrecessionPolynomials(readWholeFile(file), file); });
}

PrecessionPolynomials parsePrecessionPolynomials(std::string text, const std::filesystem::path& file) {
    ItemReader reader(std::move(text), file);
    PrecessionPolynomials polynomials{};
    for (int angle = 0; angle < 4; ++angle) {
        const std::string block = "block " + std::to_string(angle + 1) + " of 4";
        reader.readLine("the header line of " + block);
        for (double& value : polynomials[angle])
            value = reader.readNumber("7 coefficients in " + block) / 3600 / degreesPerRadian;
    }
    return polynomials;
}

RotationMatrix precessionMatrix(double a0, double a1, double a2) {
    const double cA = std::cos(a0), sA = std::sin(a0);
    const double cB = std::cos(a1), sB = std::sin(a1);
    const double cC = std::cos(a2), sC = std::sin(a2);
    return {{
        {cC * cA + sC * cB * sA, cC * sA - sC * cB * cA, -sC * sB},
        {sC * cA - cC * cB * sA, sC * sA + cC * cB * cA, cC * sB},
        {sB * sA, -sB * cA, cB},
    }};
}

StartupTables loadStartupTables(const std::filesystem::path& folder) {
    StartupTables tables;
    tables.deltaTTable = loadDeltaTTable(folder / deltaTFileName);
    tables.meanElementsFile = folder / meanElementsFileName;
    tables.meanElements = loadMeanElements(tables.meanElementsFile);
    tables.precessionFile = folder / precessionFileName;
    tables.precessionPolynomials = loadPrecessionPolynomials(tables.precessionFile);
    const auto& p = tables.precessionPolynomials;
    tables.icrfToJ2000Ecliptic = precessionMatrix(p[0][0], p[1][0], p[2][0]);
    INVMAT(tables.icrfToJ2000Ecliptic, tables.j2000EclipticToIcrf);
    return tables;
}

} // namespace nivora
