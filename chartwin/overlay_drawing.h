// DRAWFILE: the records of the user's data file marked on the last chart, through its frames,
// corrections and projection; and the form's "OverDraw" that runs it on its own.
#pragma once

#include <cstdint>

#include "chartwin/chartwin_records.h"

namespace nivora {

struct OverlaySettings;

// Both coordinates' fields, and their minutes' where the unit needs them, have a column and a
// width.
bool coordinateFieldsReadable(const OverlaySettings& s);

// What one pass found. An unreadable file is one that is there but cannot be read (too large,
// say): the pass has shown an "ALERT" saying why.
enum class OverlayFile { Read, Missing, Unreadable };

// Marks the data file's records in the chart bitmap with the form's layout and the state of the
// last drawing. err 1 for settings that cannot be used (an empty path, an unreadable coordinate
// field), tested after the file's presence; a missing or unreadable file draws nothing. Needs a
// drawing since the start.
OverlayFile DRAWFILE(ChartWindowRecords& p, std::int16_t& err);

// "OverDraw": refused without a chart window ("Main Picture do not exist."), after a change of
// size or layout ("The Size of Image has changed."), for a coordinate column or width no field
// holds (naming it), for a missing data file ("The File does not exist.") and for one that
// cannot be read (the pass said why); "Some Settings are odd." for err 1; else shows the chart.
void BUTTON15_ON(ChartWindowRecords& p);

// Installs DRAWFILE as the drawing's overlay pass and binds "OverDraw" (refused while a drawing
// runs).
void bindOverlayDrawing(ChartWindowRecords& p);

} // namespace nivora
