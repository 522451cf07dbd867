// DRAWINGIMG: one whole chart into the chart bitmap, its passes in their fixed order.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "render/added_star.h"
#include "render/bodytable.h"
#include "render/geometry.h"
#include "render/orientation.h"
#include "render/skyframes.h"

namespace nivora {

struct ProgramRecords;

// The working values of one drawing that its later passes read; gone after the drawing.
struct DrawingWork {
    SkyFrameTimes times;          // day numbers and the visible horizon
    std::string comment;          // EDIT19, for the information panel
    ReadoutValues readout;        // the readout body's place
    ConstellationChoice choice;   // coloring and the highlighted constellation
    BoxCentres boxes;
    int orbitObjectValid = 0;     // 1 when the orbit step drew valid elements
    // What the readout reads of the orbit object and the added star, written by their steps:
    // the orbit object's geocentric place (km, true ecliptic of date); the added star's
    // direction (true ecliptic of date, annual aberration included), distance (km, 1 when
    // none is given) and the frame it was typed in.
    DirectionVector orbitObjectPosition{};
    bool addedStarValid = false;
    DirectionVector addedStarDirection{};
    double addedStarDistance = 1;
    int addedStarFrame = 0;
    // Present when the "Adding A Star" switch was on at the head of the drawing. Later passes go
    // by this, not the form: events pumped between the steps may turn the switch meanwhile.
    std::optional<AddedStarCapture> addedStar;
};

// Passes that belong to higher rooms or to later work, installed by them. An empty hook is
// skipped.
struct DrawingHooks {
    // CENTRALIZE(apply, index): centres the view on the chosen constellation or body (apply 1)
    // or only checks it (colouring); may rewrite EDIT12 and EDIT13.
    std::function<void(ProgramRecords&, int apply, int index)> centralize;
    // The data-file overlay DRAWFILE, when "Draw by File" is on.
    std::function<void(ProgramRecords&)> overlay;
};

// Draws one chart over what the bitmap holds (DRAW clears it first, "OverD" does not) and
// leaves the drawing's state in records.drawn. Refuses DRAW, overdraws and clicks while it runs
// and keeps the windows alive between its steps. A series file that fails stops the drawing with
// one "ALERT" naming the file and the line, and the previous state is kept; a planet's file
// that fails skips that planet with one "ALERT". Returns false when the drawing stopped.
bool DRAWINGIMG(ProgramRecords& records);

} // namespace nivora
