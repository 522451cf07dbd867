// The data-file keyword search of the "DRAW using Data File" form: the records whose field of
// one search row holds the keyword, listed in the pointing window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "chartwin/chartwin_records.h"
#include "chartwin/keyword_search.h"
#include "chartwin/user_data_file.h"

namespace nivora {

// The frame of the pointed position a base-frame direction turns into first: 1 the apparent
// equator when the chart is apparent, else 2 the true equator.
int searchHitSlot(std::uint8_t chartMode, std::uint8_t searchDisplayFrameIndex);

// The corrections of the chart a search hit is placed for.
struct HitCorrections {
    std::uint8_t chartMode = 2;
    std::uint8_t searchDisplayFrameIndex = 0;
    std::uint8_t refractionOn = 0;
    std::uint8_t diurnalAberrationOn = 0;
};

// The nine frames of a record's coordinates (degrees) in the file's frame. Frame 0 is where the
// overlay draws the record; frames 1-8 hold its place without the chart's corrections.
PointedFrames fileSearchFrames(double lonDegrees, double latDegrees, const OverlaySettings& s,
                               const SkyFrames& searchSky, const HitCorrections& chart,
                               const StartupTables& tables);

// The listing of the records whose field of row `row` (1-4) holds the keyword; reads the lines
// from `next` until it returns false. `single` gets the one match's line.
SearchListing listFileMatches(const OverlaySettings& s, int row, const std::string& keyword,
                              int searchMax, const std::function<bool(std::string&)>& next,
                              std::string& lastMatch);

// SEARCHFILE: sets up the search's sky, tests the settings ("Illegal setting."), lists the
// matches and points at a single one while the chart window is shown. A data file that is there
// but cannot be read gets an "ALERT" saying why.
void SEARCHFILE(ChartWindowRecords& p, int row);

// "Search" of rows 1-4: "The File does not exist." for a data file that is missing (or no plain
// file), else SEARCHFILE.
void BUTTON27_ON(ChartWindowRecords& p);
void BUTTON28_ON(ChartWindowRecords& p);
void BUTTON29_ON(ChartWindowRecords& p);
void BUTTON30_ON(ChartWindowRecords& p);

// Binds the four buttons, refused while a drawing runs.
void bindFileSearch(ChartWindowRecords& p);

} // namespace nivora
