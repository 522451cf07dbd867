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

} // namespace nivora
