#include "render/orbit_elements_form.h"

#include "astro/fieldnumber.h"
#include "platform/forms.h"

namespace nivora {

namespace {

std::string name(const char* kind, int number) { return kind + std::to_string(number); }

} // namespace

std::string FormOrbitElements::text(OrbitEdit edit) const
{
    return ui_.control(name("EDIT", int(edit))).text();
}

void FormOrbitElements::setText(OrbitEdit edit, const std::string& text)
{
    ui_.control(name("EDIT", int(edit))).setText(text);
}

int FormOrbitElements::value(OrbitRadio radio) const
{
    return ui_.control(name("RADIO", int(radio))).value();
}

int FormOrbitElements::listIndex(OrbitCombo combo) const
{
    return ui_.control(name("COMBO", int(combo))).index();
}

std::string unusableOrbitField(const OrbitElementsForm& form)
{
    if (!(readFieldNumber(form.text(OrbitEdit::EDIT80)) > 0))
        return "Perihelion Distance";
    const std::string e = form.text(OrbitEdit::EDIT82);
    const double eValue = readFieldNumber(e);
    if (eValue < 0 || (eValue == 0 && !e.starts_with('0')))
        return "eccentricity";
    const bool equator = form.value(OrbitRadio::RADIO75) == 1;
    if (form.text(OrbitEdit::EDIT86).empty())
        return equator ? "R.A. of the ascending node" : "Longitude of the ascending node";
    if (form.text(OrbitEdit::EDIT87).empty())
        return "Inclination";
    if (form.text(OrbitEdit::EDIT88).empty())
        return form.value(OrbitRadio::RADIO71) != 1 ? "Argument of Perihelion"
               : equator                            ? "R.A. of Perihelion"
                                                    : "Longitude of Perihelion";
    return {};
}

} // namespace nivora
