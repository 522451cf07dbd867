// The objects nearest to a clicked point: the user's data file, the Sun, the Moon and the
// planets, the faint and the bright star list, in that order, and the point's constellation.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "chartwin/chartwin_records.h"
#include "chartwin/click.h"
#include "chartwin/user_data_file.h"

namespace nivora {

// Up to nine entries, nearest (largest cosine) first. A text's first character names its
// source: "#" a data-file row, "P" a body (then its BodyIndex), "!" the faint list, " " the
// bright list (then the whole record line).
struct NearestList {
    static constexpr int capacity = 9;
    int nearestCount = 0;
    std::array<double, capacity> nearestCosines{};
    std::array<std::string, capacity> nearestTexts{};
};

// Keeps the list in descending order; among equal cosines the later-found stands first, and a
// candidate equal to the last entry of a full list replaces it. `nearestMax` is kept to 1..9.
void insertNearest(NearestList& list, int nearestMax, double cosine, std::string text);

// The prefilter of a star or an equatorial data-file row around a point: 1 a plain box, 2 one
// whose right-ascension window crosses 0/360 degrees, 3 a cap around the north pole, 4 around
// the south pole. Bounds in degrees.
struct SearchBox {
    int kind = 1;
    float decLow = 0, decHigh = 0, raLow = 0, raHigh = 0;
};
SearchBox makeSearchBox(double ra, double dec);   // radians
// Whether a row at (ra, dec), degrees as read, can lie near the point; values on a bound pass.
bool insideSearchBox(const SearchBox& box, double raDegrees, double decDegrees);

// What one click found, for the readout of the same click.
struct NearestSearch {
    NearestList list;
    std::string pointConstellation;
    // Per list, 0 bright, 1 faint: the proper-motion shift and the four field titles.
    std::array<std::uint8_t, 2> properMotionOffset{};
    std::array<std::array<std::string, 4>, 2> starFieldTitles{};
    // The form as the data-file scan read it, its fields cut to what the readout shows
    // (keepFieldsWithin, keepFieldsShown); its rows print from these values.
    OverlaySettings overlay;
};

// Scans the sources for a point on the chart. A star list or the constellation list that
// cannot be read gets one "ALERT" naming it and is left out, and so does a data file that is
// there but cannot be read; the data file is skipped silently when it is not ticked, not named,
// not found or not fully described.
NearestSearch findNearest(ChartWindowRecords& p, const ClickPoint& click);

} // namespace nivora
