#include "render/orbit_elements_form.h"

#include <utility>
#include <vector>

#include "astro/fieldnumber.h"
#include "options/observation_input.h"
#include "platform/forms.h"

namespace nivora {

namespace {

std::string name(const char* kind, int number) { return kind + std::to_string(number); }

std::string nodeName(const OrbitElementsForm& form)
{
    return form.value(OrbitRadio::RADIO75) == 1 ? "R.A. of the ascending node" : "Longitude of the ascending node";
}

std::string perihelionName(const OrbitElementsForm& form)
{
    if (form.value(OrbitRadio::RADIO71) != 1)
        return "Argument of Perihelion";
    return form.value(OrbitRadio::RADIO75) == 1 ? "R.A. of Perihelion" : "Longitude of Perihelion";
}

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

std::string orbitFieldFault(const OrbitElementsForm& form)
{
    const bool epoch = form.value(OrbitRadio::RADIO68) == 1;
    const std::string date = epoch ? " of the Epoch" : " of the Perihelion Passage";
    std::vector<std::pair<std::string, OrbitEdit>> read = {
        {"Perihelion Distance", OrbitEdit::EDIT80}, {"Semi-major Axis", OrbitEdit::EDIT81},
        {"eccentricity", OrbitEdit::EDIT82},        {"Period", OrbitEdit::EDIT83},
        {nodeName(form), OrbitEdit::EDIT86},        {"Inclination", OrbitEdit::EDIT87},
        {perihelionName(form), OrbitEdit::EDIT88},  {"Year" + date, OrbitEdit::EDIT84},
        {"Day" + date, OrbitEdit::EDIT85},          {"Year of the Epoch of Longitude", OrbitEdit::EDIT90},
        {"Day of the Epoch of Longitude", OrbitEdit::EDIT91}};
    if (epoch)
        read.push_back({"Mean Anomaly", OrbitEdit::EDIT89});
    std::vector<NumberField> fields;
    for (const auto& [name, edit] : read)
        fields.push_back({name + " of the Orbital Elements", form.text(edit), FieldPrecision::Double});
    return numberFieldFault(fields);
}

std::string unusableOrbitField(const OrbitElementsForm& form)
{
    if (!(readFieldNumber(form.text(OrbitEdit::EDIT80)) > 0))
        return "Perihelion Distance";
    const std::string e = form.text(OrbitEdit::EDIT82);
    const double eValue = readFieldNumber(e);
    if (eValue < 0 || (eValue == 0 && !e.starts_with('0')))
        return "eccentricity";
    if (form.text(OrbitEdit::EDIT86).empty())
        return nodeName(form);
    if (form.text(OrbitEdit::EDIT87).empty())
        return "Inclination";
    if (form.text(OrbitEdit::EDIT88).empty())
        return perihelionName(form);
    return {};
}

} // namespace nivora
