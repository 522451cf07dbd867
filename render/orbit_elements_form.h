// The "Orbital Elements" form FORM7 as the orbit computations read it: its controls by name, at
// every call, so "Calculate" and the drawing always use what the form shows.
#pragma once

#include <string>

#include "astro/orbit.h"

namespace nivora {

class Ui;

class FormOrbitElements : public OrbitElementsForm {
public:
    explicit FormOrbitElements(Ui& ui) : ui_(ui) {}
    std::string text(OrbitEdit edit) const override;
    void setText(OrbitEdit edit, const std::string& text) override;
    int value(OrbitRadio radio) const override;
    int listIndex(OrbitCombo combo) const override;

private:
    Ui& ui_;
};

// The first field that makes the elements unusable, as the form names it ("Perihelion
// Distance", "eccentricity", ...), or empty when the computations accept them.
std::string unusableOrbitField(const OrbitElementsForm& form);

// The first field the orbit computations read whose text double precision does not hold, as an
// "ALERT" text naming it as the form does ("Inclination of the Orbital Elements must be a number
// from ..."); empty when all hold theirs.
std::string orbitFieldFault(const OrbitElementsForm& form);

} // namespace nivora
