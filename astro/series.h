// Positions of the Sun, the Moon and the planets from series files of terms in multiples of
// mean elements.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/startuptables.h"
#include "astro/vectors.h"

namespace nivora {

class ItemReader;

// v(0) = T, v(1) = T^2, v(2) = T^3, v(3) = 100 T, and v(4 + 3i + j) the mean element of block i,
// row j in degrees 0..360.
using SeriesArguments = std::array<double, 34>;

// Sum of c_k T^k for k = 0..6, the powers formed by repeated multiplication from 1.
double polynomial(const std::array<double, 7>& c, double t);

// The series argument vector of a dynamical-time day number. c = 1 includes the constant terms
// of the mean elements (nutation), c = 0 leaves them out (positions, whose phases carry them).
// Throws DataFileError naming the mean-elements file when a finite d gives an argument that is
// not finite (absurd numbers in the file).
void PLTPARAM2(const StartupTables& tables, DayNumber d, std::int16_t c, SeriesArguments& v);

// One term of a series section, as the file holds it.
struct SeriesTerm {
    enum class Kind {
        mean,     // "mean":  m3..m33, c
        MEAN,     // "MEAN":  m3..m33, g, c, t1, t2, t3
        periodic, // "#...":  m3..m33, phi, A0, A1, A2, A3
    };
    Kind kind = Kind::mean;
    std::array<double, 31> multipliers{}; // of v(3)..v(33)
    // mean: {c}; MEAN: {g, c, t1, t2, t3}; periodic: {phi, A0, A1, A2, A3}.
    std::array<double, 5> values{};
    // Where the reader found multipliers other than 0 (indexes into `multipliers`, in order), so
    // that sums skip the zeros, which changes no bit of them. usedCount < 0: not indexed, all 31
    // are summed.
    std::array<std::uint8_t, 31> used{};
    std::int8_t usedCount = -1;
};

struct SeriesSection {
    std::vector<SeriesTerm> terms;
};

// Turns the series frame about x by the inclination and then about z by the node; both are
// polynomials in T (powers 0..6) in arc seconds.
struct NodeBlock {
    std::array<double, 7> node{};
    std::array<double, 7> inclination{};
};

// A parsed series file ("prmsun2.plt", "prmmon2.plt", a planet's file). Parsing and evaluating
// are apart so that a parsed file can be kept and evaluated many times.
struct SeriesFile {
    SeriesSection longitude;          // arc seconds
    SeriesSection latitude;           // arc seconds
    SeriesSection distance;           // the file's unit before the divisor
    bool logarithmicDistance = false; // "dist-exp": the distance is 10 to the section's value
    double divisor = 1;
    std::vector<NodeBlock> nodeBlocks;
    std::filesystem::path file; // named when a position from it is not finite
};

// A parsed nutation file ("nutation.txt"): the same terms, two sections, no distance, no nodes.
struct NutationSeriesFile {
    SeriesSection longitude; // arc seconds
    SeriesSection obliquity; // arc seconds
};

// Reads a series file: one ignored item; longitude terms up to "latitude"; latitude terms up to
// an item beginning "dist" ("dist-exp" selects the logarithmic form); the divisor; distance terms
// up to "ascending-node" or "end"; node blocks up to "end". In a section, "mean", "MEAN" and any
// item beginning "#" open a term; every other item is skipped. Throws DataFileError for a missing
// file, one that ends before "end", a text where a number belongs, or a divisor of 0. When a
// keyword is never found, the error points at the first skipped word before the end (most likely
// the keyword misspelt), not at the file's last line.
SeriesFile parseSeriesFile(const std::filesystem::path& file);
SeriesFile parseSeriesText(std::string text, const std::filesystem::path& file);

// Reads a nutation file: one ignored item; terms up to "latitude"; terms up to exactly "end".
NutationSeriesFile parseNutationFile(const std::filesystem::path& file);
NutationSeriesFile parseNutationText(std::string text, const std::filesystem::path& file);

// The sum of a section: angle sections turn the mean terms' degrees into arc seconds (factor
// 3600), the distance section applies no factor.
double sumSeriesSection(const SeriesSection& section, const SeriesArguments& v, bool angleSection);

// The body's position in the J2000 ecliptic from a parsed file (node blocks applied), in the
// file's distance unit.
DirectionVector seriesPosition(const SeriesFile& series, const SeriesArguments& v);

// What PLTLOC0 reads of the sky frames and the body table; every caller passes the frames it means.
struct SeriesFrames {
    RotationMatrix j2000EclipticToTrueEcliptic = identityMatrix();
    DirectionVector sunVector{};                // geocentric Sun, AU, true ecliptic of date (geo = 1)
    DirectionVector annualAberrationEcliptic{}; // Earth's velocity / c, true ecliptic (aber = 1)
};

// Longitude and latitude (radians, true ecliptic of date, lon in (-pi, pi]) and distance (the
// file's unit) of a body from a parsed series file at a dynamical-time day number. geo = 1 adds
// the Sun vector (heliocentric to geocentric); aber = 1 adds the annual aberration to the
// direction, except for a position of zero length, which has no direction to shift. Any other
// value of geo or aber is off. Throws DataFileError naming series.file when a finite d gives a
// position that is not finite (absurd terms, divisor or exponent in the file).
void locateFromSeries(const StartupTables& tables, const SeriesFrames& frames, const SeriesFile& series,
                      DayNumber d, std::int16_t geo, std::int16_t aber, double& lon, double& lat,
                      double& dist);

// The same, reading the series file anew. Throws DataFileError when the file is missing or malformed.
void PLTLOC0(const StartupTables& tables, const SeriesFrames& frames, const std::filesystem::path& file,
             DayNumber d, std::int16_t geo, std::int16_t aber, double& lon, double& lat, double& dist);

} // namespace nivora
