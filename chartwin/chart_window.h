// DRAW, the overdraw and the chart window FORM2: the window only shows the chart bitmap, at a
// fixed inset less the scroll position, and never draws the chart itself.
#pragma once

#include <cstdint>

#include "chartwin/chartwin_records.h"

namespace nivora {

// Where the bitmap's top-left corner sits in the chart window when nothing is scrolled.
constexpr int imageInset = 14;

// "DRAW": takes size, layout and magnification from the main window, makes the bitmap anew,
// draws the chart into it and fits the chart window. A size outside 1..9999, a magnification that
// is not a number above 0 or a field the drawing reads that holds no number it can take
// (drawingFieldFault: a year beyond ±16777216, a longitude beyond single precision...) is refused
// with one "ALERT" naming the field, and the last chart stays as it was. A bitmap of a new size
// that cannot be made gets "Size of Image is too large: no room for the picture.", but the last
// picture went first to make room for it: the window is left with no chart, a click on it does
// nothing and there is no picture to save until a DRAW succeeds.
void BUTTON1_ON(ChartWindowRecords& p);
// "OverD": draws a new chart over the present one; refused with "The Size of Image has
// Changed." when the size or layout fields no longer match the bitmap, and as DRAW refuses a
// magnification or a field. Nothing before a DRAW.
void BUTTON50_ON(ChartWindowRecords& p);

// The chart window's outer size at which the whole bitmap DRAW makes for a size and layout shows
// without scrolling (single precision, as RESIZECK fits the window to it).
struct ChartWindowSize {
    float width = 0;
    float height = 0;
};
ChartWindowSize neededChartWindowSize(std::int16_t imageSize, std::uint8_t dualBox, std::uint8_t halfHeight,
                                      const ChartLayout& layout);

// Fits the chart window and its scroll bars to the bitmap: shrinks the window to the needed size
// (never enlarges it), lowers scroll positions that show beyond the bitmap, and repaints when a
// scroll position changed or `repaint` is 1.
void RESIZECK(ChartWindowRecords& p, std::int16_t repaint);
void FORM2_RESIZE(ChartWindowRecords& p);
void HSCROLL1_CHANGE(ChartWindowRecords& p);
void VSCROLL1_CHANGE(ChartWindowRecords& p);

// Copies the whole bitmap into the chart window at the scroll position; erases the window's own
// marks (the click marker). Every command that draws into the bitmap ends with it.
void repaintChartWindow(ChartWindowRecords& p);

// Binds the handlers above to MAINFORM's "DRAW" and "OverD" and to FORM2. DRAW and OverD are
// refused while a drawing runs.
void bindChartWindow(ChartWindowRecords& p);

} // namespace nivora
