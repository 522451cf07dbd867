// Orbits from classical elements around the Sun or the Earth: period and size, Kepler's equation
// for the three conics, and the position of the object at a day number.
//
// The "Orbital Elements" form is the only store of the elements; these computations read its
// fields through OrbitElementsForm at every call and write the derived size and shape back.
// Units follow the centre: around the Sun AU, Julian years and gmSun; around the Earth km, days
// and gmEarth. Angles on the form are degrees.
#pragma once

#include <string>

#include "astro/vectors.h"

namespace nivora {

enum class OrbitEdit {
    EDIT80 = 80, // perihelion distance q
    EDIT81 = 81, // semi-major axis a
    EDIT82 = 82, // eccentricity e
    EDIT83 = 83, // period P
    EDIT84 = 84, // year of the epoch or perihelion passage
    EDIT85 = 85, // day (with fraction) of that date
    EDIT86 = 86, // longitude or right ascension of the ascending node
    EDIT87 = 87, // inclination
    EDIT88 = 88, // argument, or longitude, of perihelion
    EDIT89 = 89, // mean anomaly at the epoch
    EDIT90 = 90, // year of the equinox of the angles
    EDIT91 = 91, // day of that equinox date
};

enum class OrbitRadio {
    RADIO68 = 68, // 1: the date is the epoch of the mean anomaly; else the perihelion passage
    RADIO71 = 71, // 1: EDIT88 holds the longitude of perihelion
    RADIO72 = 72, // 1: around the Sun; else around the Earth
    RADIO74 = 74, // 1: angles referred to the ecliptic
    RADIO75 = 75, // 1: angles referred to the equator
};

enum class OrbitCombo {
    COMBO7 = 7, // month index 0..11 of the epoch or perihelion passage
    COMBO8 = 8, // month index 0..11 of the equinox date
};

// What the orbit computations use of the "Orbital Elements" form.
class OrbitElementsForm {
public:
    virtual ~OrbitElementsForm() = default;
    virtual std::string text(OrbitEdit edit) const = 0;
    // Called only for EDIT80 to EDIT83.
    virtual void setText(OrbitEdit edit, const std::string& text) = 0;
    virtual int value(OrbitRadio radio) const = 0; // 0 or 1
    virtual int listIndex(OrbitCombo combo) const = 0;
};

// Shown in a field for a quantity these elements do not have; it reads as 0.
inline constexpr const char* missingQuantityText = "*.****";

// Completes the missing one of semi-major axis a and period P (both 0 or below: nothing) and
// writes its text into EDIT83 or EDIT81.
void SM2PRD(OrbitElementsForm& form, double& a, double& P);

// "Calculate": completes perihelion distance, semi-major axis, eccentricity and period from those
// filled in, writing "*.****" where a quantity does not exist (a and P for e >= 1, e when q > a).
// The eccentricity counts as given only when its text begins with "0". A semi-major axis without
// a perihelion distance leaves the eccentricity as it is.
void OOBJDSTCAL(OrbitElementsForm& form);

// Eccentric anomaly E of E - e sin E = M, 0 <= e < 1, to 1E-8 radians.
double KEPLER0(double M, double e);
// Hyperbolic anomaly H of e sinh H - H = M, e > 1, to 1E-8.
double KEPLER1(double M, double e);
// True anomaly of the parabolic mean anomaly M: tan(v/2) + tan^3(v/2) / 3 = M.
double KEPLER2(double M);

// Day number of a form date: year, month index 0..11 (kept to that range), day with fraction.
DayNumber orbitFormDayNumber(double year, int monthIndex, double day);

// Position (X, Y, Z) in km of the object at day number t, relative to its centre, in the frame and
// equinox of its elements: epochDay is the day number of the equinox date, frame 1 ecliptic and 2
// equatorial. Runs OOBJDSTCAL first. ok = 0 (and the other outputs untouched) for unusable
// elements: q not above 0, e negative or unreadable, an empty node, inclination or perihelion
// field, or a position too far out to hold.
void OOBJCAL(OrbitElementsForm& form, double t, double& X, double& Y, double& Z, double& epochDay,
             float& frame, float& ok);

} // namespace nivora
