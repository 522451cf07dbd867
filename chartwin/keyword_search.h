// What the two keyword searches share: the listing in the pointing window, its size, and the
// pointed position a single match gives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chartwin/chartwin_records.h"

namespace nivora {

// The text a search prints: whole lines, the last one left open (no line end) when `lastOpen`.
struct SearchListing {
    std::vector<std::string> lines;
    bool lastOpen = false;
    int matches = 0;   // searchMax + 1 when the search stopped at "Too Many."
};

// The bytes of `text` without a character cut at either end: a field taken by byte columns may
// begin or end inside a multibyte character, which would print as garbage.
std::string_view wholeCharacters(std::string_view text);

// `width` bytes of `line` from the 1-based `column` on, fewer or none where it is shorter; a
// column or width below 1 gives nothing.
std::string_view lineField(std::string_view line, int column, int width);

// The pointing window's height for a listing of `matches` (searchMax + 1 after "Too Many.").
int searchListingHeight(int matches, int searchMax);

// Replaces the pointing window's text with the listing, disables its commands ("Measure Angle"
// also unticked) and sizes it for the matches: 448 wide, 85 + 51 n high, less 34 after "Too
// Many.", plus 17 when nothing matched, or larger where the lines would be clipped; then shows
// it.
void showSearchListing(Ui& ui, const SearchListing& listing, int searchMax);

// A single match while the chart window is shown: "Centralize" and "x" act on `frames`.
void pointAtSearchMatch(ChartWindowRecords& p, const PointedFrames& frames);

// Frames 5-8 from frames 1-4.
void fillEclipticFrames(PointedFrames& frames, const SkyFrames& sky, const RotationMatrix& icrfToJ2000Ecliptic);

} // namespace nivora
