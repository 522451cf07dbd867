// "Search by Keyword" of the main window: the records of the current mode's star list (or
// cities list) whose line holds the keyword.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chartwin/chartwin_records.h"
#include "chartwin/keyword_search.h"

namespace nivora {

struct StarSearchResult {
    SearchListing listing;
    // The right ascension and declination texts of the latest listed match.
    std::string raText, decText;
};

// Lists the lines of a star list that hold `keyword` (letter case counting; "#" lines never
// match, "#-" ends the list) as the pointing window shows them. `earthMap` 1 takes the RA text
// from column 8, so a west longitude keeps its sign; `starCode` is "Star-code,etc".
StarSearchResult listStarMatches(const std::vector<std::string>& lines, std::string_view keyword,
                                 bool starCode, int earthMap, int searchMax);

// The nine frames of an ICRF right ascension and declination in degrees for the search's sky,
// without proper motion; frame 0 as the chart would show it with the switches given.
PointedFrames starSearchFrames(double raDegrees, double decDegrees, const SkyFrames& searchSky,
                               std::uint8_t searchDisplayFrameIndex, std::uint8_t chartMode,
                               std::uint8_t refractionOn, std::uint8_t diurnalAberrationOn,
                               const RotationMatrix& icrfToJ2000Ecliptic);

// BUTTON73_ON "Search": sets up the search's sky first, refuses an empty keyword with "Illegal
// setting.", lists the matches in the pointing window and points at a single match while the
// chart window is shown. A list that cannot be read gets an "ALERT" naming it; the pointing
// window keeps its text.
void BUTTON73_ON(ChartWindowRecords& p);

// Binds BUTTON73_ON, refused while a drawing runs.
void bindStarSearch(ChartWindowRecords& p);

} // namespace nivora
