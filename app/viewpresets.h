// The main window's view controls: the direction presets and compass buttons, "Initialize", the
// layout buttons, the frame choice COMBO6 and the magnification buttons "Up", "Down" and
// "<<Calculate". They only write fields and options; the next DRAW takes them.
#pragma once

#include <optional>
#include <string>

#include "astro/projection.h"

namespace nivora {

class Program;
class Ui;

// The magnification after "Up" and "Down": half steps up to 10, whole steps from 10 to 999.
float magnificationUp(float v);
float magnificationDown(float v);

// The magnification at which a circle of `radiusDegrees` about the centre reaches the edge of the
// image box, raised to the next 0.001; it does not depend on the chart scale. Nothing for a
// radius the projection cannot show whole (below 0.5 or beyond 180 degrees, beyond the limits of
// the stereographic, transverse Mercator, gnomonic, orthographic and user projections, or off
// the chart where the projection puts it: the gnomonic beyond about 87 degrees, the user
// projection from its domain's edge on) and for a zero divisor (transverse Mercator at 90
// degrees, a chart scale of 0). 90 degrees of the orthographic projection is its limb.
std::optional<double> scopeMagnification(double radiusDegrees, ProjectionKind kind,
                                         const ProjectionSetup& setup);

// EDIT75's text of a magnification: its decimal text without the sign position, 7 characters
// at most.
std::string magnificationText(double v);

// Captions of the compass buttons and of the direction fields and preset rows for the frame
// chosen in COMBO6 (DirectionFrame 0 zenithal, 1-4 equatorial, 5-8 ecliptic).
void relabelDirectionFrame(Ui& ui);

void COMBO6_CHANGE(Ui& ui);
// "Initialize": the view, the layout and the direction, depth, magnitude and line options
// back to their starting values.
void BUTTON26_ON(Program& program);
// "Normal Size", "half Height", "Dual-Box".
void RADIO27_ON(Program& program);
void RADIO28_ON(Program& program);
void RADIO29_ON(Program& program);
// "Up", "Down", "<<Calculate". "<<Calculate" names a scope radius single precision does not
// hold in an "ALERT" ("9e99", "nan"); one it cannot show changes nothing, without a word.
void BUTTON47_ON(Ui& ui);
void BUTTON48_ON(Ui& ui);
void BUTTON46_ON(Program& program);

// Binds the 17 preset buttons and every handler above.
void bindViewPresets(Program& program);

} // namespace nivora
