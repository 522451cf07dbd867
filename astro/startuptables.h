// The tables read once at start-up: Delta-T, mean elements, precession polynomials, and the
// constant rotation between the ICRF equator and the J2000 ecliptic built from them.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "astro/vectors.h"

namespace nivora {

// Measured Delta-T from "ET-UTC.txt", in file order (expected ascending by date).
struct DeltaTTable {
    static constexpr int capacity = 500;
    // Row r: (day number in universal time from which the value holds, Delta-T in seconds).
    std::array<std::array<float, 2>, capacity> rows{};
    std::int16_t rowCount = 0; // rows filled
};

// Mean elements from "prmmean2.plt": [block 0..9][row 0..3][power 0..6]. Power 0 in degrees,
// powers 1..6 in arc seconds per century to that power. Row 3 is read but never used.
using MeanElements = std::array<std::array<std::array<double, 7>, 4>, 10>;

// Precession angles from "prmprc.txt": [angle 0..3][power 0..6] in radians; angle 3 is the mean
// obliquity of the ecliptic.
using PrecessionPolynomials = std::array<std::array<double, 7>, 4>;

inline constexpr std::string_view deltaTFileName = "ET-UTC.txt";
inline constexpr std::string_view meanElementsFileName = "prmmean2.plt";
inline constexpr std::string_view precessionFileName = "prmprc.txt";

// Everything the start-up loads, held by the program's owner object and passed to ET2UTC,
// PLTPARAM2, PRECMT, NUTATION2 and PLTLOC0.
struct StartupTables {
    DeltaTTable deltaTTable;
    MeanElements meanElements{};
    PrecessionPolynomials precessionPolynomials{};
    RotationMatrix icrfToJ2000Ecliptic = identityMatrix();
    RotationMatrix j2000EclipticToIcrf = identityMatrix();
    // Where the mean elements and the precession polynomials came from, named when a computation
    // from them gives no finite result.
    std::filesystem::path meanElementsFile{meanElementsFileName};
    std::filesystem::path precessionFile{precessionFileName};
};

// Reads "ET-UTC.txt": a line beginning "#-" ends the table, other lines beginning "#" are
// comments, every other line is a row with the day number in characters 1..7 and Delta-T in
// characters 9..15 (a blank line is the row (0, 0)). Throws DataFileError for a missing file,
// a missing end line, a 501st row, a row whose date is not after the row before (ET2UTC could
// never reach the rows past it), or a table without rows; never writes past the 500 rows.
DeltaTTable loadDeltaTTable(const std::filesystem::path& file);
// The same over a file's text; `file` only names it in errors.
DeltaTTable parseDeltaTTable(std::string_view text, const std::filesystem::path& file);

// Reads "prmmean2.plt": ten blocks, each a label item and 28 numbers. Throws DataFileError when
// the file is missing, ends early or holds a text where a number belongs.
MeanElements loadMeanElements(const std::filesystem::path& file);
MeanElements parseMeanElements(std::string text, const std::filesystem::path& file);

// Reads "prmprc.txt": four blocks, each one whole header line and seven coefficients in arc
// seconds (T^0..T^6), the seventh ending its line. Stored in radians. Throws DataFileError as above.
PrecessionPolynomials loadPrecessionPolynomials(const std::filesystem::path& file);
PrecessionPolynomials parsePrecessionPolynomials(std::string text, const std::filesystem::path& file);

// R3(-a2).R1(a1).R3(a0), written out entry by entry: with the constant terms it takes the ICRF
// to the J2000 ecliptic, with the angles of a date to the mean ecliptic of that date.
RotationMatrix precessionMatrix(double a0, double a1, double a2);

// Loads the three files from `folder` in start-up order and builds icrfToJ2000Ecliptic and
// j2000EclipticToIcrf. Throws DataFileError naming the first file at fault.
StartupTables loadStartupTables(const std::filesystem::path& folder);

} // namespace nivora
