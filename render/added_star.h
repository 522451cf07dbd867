// The added star of the "Adding A Star" form FORM9: its direction (ADDSTAR), its mark with the
// legend and parallax line at every drawing, and the form's overdraw onto the chart shown.
#pragma once

#include <string>

#include "astro/vectors.h"

namespace nivora {

class Ui;
struct ProgramRecords;
struct SkyFrames;

// The fields of FORM9 that give the place. Numbers stay text until ADDSTAR reads them.
struct AddedStarFields {
    int frame = 3;                  // COMBO4, AddedStarFrame 0..9; -1 none chosen
    int distanceOn = 0;             // CHECK11
    std::string first = "12";       // EDIT14, hours or degrees
    std::string firstMinutes = "00";  // EDIT15
    std::string second = "+00";     // EDIT16, degrees
    std::string secondMinutes = "00"; // EDIT17
    std::string distance = "1";     // EDIT62
    bool astronomicalUnits = false; // RADIO51: the distance is in AU, else km
    bool fromSurface = false;       // RADIO60: counted from the observer (or the ground)
    bool degrees = false;           // RADIO62: the first pair is degrees and arc minutes
};
AddedStarFields readAddedStarFields(const Ui& ui);

// What the drawing and the overdraw need of the chart they draw on.
struct AddedStarChart {
    int chartMode = 2;
    bool refractionOn = false;
    bool diurnalAberrationOn = false;
};

enum class AddedStarStatus {
    ok,
    noFrame,      // no frame chosen
    zeroVector,   // nothing to normalise
    badDistance,  // "Distance" ticked on a sky chart with a distance not above 0
};

struct AddedStar {
    AddedStarStatus status = AddedStarStatus::ok;
    DirectionVector v{};   // unit, geocentric, apparent, true ecliptic of date
    double dist = 1;       // km; 1 when no distance applies
};

// ADDSTAR: the added star's direction and distance from the form's fields and the frames of a
// drawing. Only a status of ok gives a usable vector.
AddedStar ADDSTAR(const AddedStarFields& fields, const SkyFrames& sky, const AddedStarChart& chart);

// The message for a distance that is not above 0.
inline constexpr const char* addedStarDistanceMessage = "Distance of the added star must be above 0.";

// The first field of FORM9 that ADDSTAR and the mark read on a chart of `chartMode` and whose
// text single precision does not hold, as an "ALERT" text naming it after its label
// ("Declination of the added star must be a number from ..."); empty when all hold theirs.
std::string addedStarFieldFault(const Ui& ui, int chartMode);

// What the head of a drawing takes from FORM9 when CHECK1 is ticked, and the star it gives.
struct AddedStarCapture {
    int frame = 3;
    int markKind = 2;     // 1 "( x )", 2 "circle", 3 "outline"
    int sizeKind = 1;     // 0 for the cross, 1 magnitude, 2 radius in degrees
    float sizeValue = 0;  // EDIT18
    int distanceOn = 0;
    std::string name;     // EDIT38
    AddedStar star;
};
// Reads the form and runs ADDSTAR with the live chart mode and switches; "ALERT" for an unusable
// distance.
AddedStarCapture captureAddedStar(ProgramRecords& records);

// The added-star pass: mark, legend and parallax line of a captured star, unless its place or
// the chart hides it.
void drawAddedStar(ProgramRecords& records, const AddedStarCapture& capture);

// "OverD" of FORM9 after its chart and size checks: the mark alone over the chart shown, with
// the frames, geometry, chart mode, projection and switches of its drawing. A field it cannot
// take (addedStarFieldFault) gets an "ALERT" and nothing is drawn. True when something may have
// been drawn.
bool overdrawAddedStar(ProgramRecords& records);

} // namespace nivora
