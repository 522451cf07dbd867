#include "options/observation_input.h"

#include "astro/fieldnumber.h"
#include "platform/forms.h"

#include <cmath>
#include <initializer_list>

namespace nivora {

std::string numberFieldFault(const std::vector<NumberField>& fields)
{
    for (const NumberField& f : fields)
        if (!fieldHoldsNumber(f.text, f.precision))
            return f.name + (f.precision == FieldPrecision::Single ? " must be a number from -3.4E+38 to 3.4E+38."
                                                                   : " must be a number from -1.7E+308 to 1.7E+308.");
    return {};
}

std::string ObservationInput::text(std::string_view control) const
{
    return ui_.control(control).text();
}

float ObservationInput::number(std::string_view control) const
{
    return float(readFieldNumber(text(control)));
}

float ObservationInput::minutesSignedBy(std::string_view minutes, std::string_view hours) const
{
    const float m = number(minutes);
    return text(hours).starts_with('-') ? -m : m;
}

float ObservationInput::longitude() const { return number("EDIT2"); }
float ObservationInput::latitude() const { return number("EDIT3"); }
float ObservationInput::altitudeMetres() const { return number("EDIT43"); }
float ObservationInput::azimuthShift() const { return number("EDIT42"); }
float ObservationInput::clockZoneHours() const { return number("EDIT4"); }
float ObservationInput::clockZoneMinutes() const { return minutesSignedBy("EDIT5", "EDIT4"); }
float ObservationInput::zoneHours() const { return number("EDIT6"); }
float ObservationInput::zoneMinutes() const { return minutesSignedBy("EDIT7", "EDIT6"); }
float ObservationInput::year() const { return number("EDIT8"); }
int ObservationInput::monthIndex() const { return ui_.control("COMBO1").index(); }
float ObservationInput::day() const { return number("EDIT9"); }
float ObservationInput::hour() const { return number("EDIT10"); }
float ObservationInput::minute() const { return number("EDIT11"); }
std::string ObservationInput::comment() const { return text("EDIT19"); }

std::string ObservationInput::captionName(std::string_view label) const
{
    const std::string caption = ui_.control(label).caption();
    return caption.substr(0, caption.find('('));   // "Longitude(E:+)" is the longitude
}

std::string ObservationInput::skyFramesFault(bool skyChart) const
{
    std::string fault = numberFieldFault(
        {{captionName("TEXT4"), text("EDIT2")},
         {captionName("TEXT5"), text("EDIT3")},
         skyChart ? NumberField{"Altitude", text("EDIT43")} : NumberField{"Shift of Azimuth", text("EDIT42")}});
    if (fault.empty())
        fault = dateFault();
    if (fault.empty())
        fault = zoneFault();
    return fault;
}

std::string ObservationInput::withinDateLimit(std::initializer_list<DateField> fields) const
{
    // The fields and the date steps are single precision, which counts whole days, hours and
    // minutes up to 2^24; the day number a drawing makes of them stays finite far beyond. The
    // zones go into the same day number.
    for (const DateField& f : fields)
        if (!fieldHoldsNumber(text(f.control), FieldPrecision::Single) || !(std::fabs(f.value) <= dateFieldLimit))
            return std::string(f.name) + " must be a number from -16777216 to 16777216.";
    return {};
}

std::string ObservationInput::dateFault() const
{
    return withinDateLimit({{"Year", "EDIT8", year()},
                            {"Day", "EDIT9", day()},
                            {"Hour", "EDIT10", hour()},
                            {"Minute", "EDIT11", minute()}});
}

std::string ObservationInput::zoneFault() const
{
    return withinDateLimit({{"Actual Time Zone", "EDIT6", zoneHours()}, {"Actual Time Zone", "EDIT7", zoneMinutes()}});
}

std::string ObservationInput::clockZoneFault() const
{
    return withinDateLimit(
        {{"PC's Time Zone", "EDIT4", clockZoneHours()}, {"PC's Time Zone", "EDIT5", clockZoneMinutes()}});
}

std::string ObservationInput::viewFault() const
{
    return numberFieldFault({{captionName("TEXT18"), text("EDIT12")},
                             {captionName("TEXT19"), text("EDIT13")},
                             {"Rotation", text("EDIT64")}});
}

float ObservationInput::directionLongitude() const { return number("EDIT12"); }
float ObservationInput::directionLatitude() const { return number("EDIT13"); }
int ObservationInput::directionFrame() const { return ui_.control("COMBO6").index(); }
float ObservationInput::rotation() const { return number("EDIT64"); }
int ObservationInput::displayFrame() const { return ui_.control("COMBO5").index(); }
int ObservationInput::constellationIndex() const { return ui_.control("COMBO2").index(); }

std::string ObservationInput::constellationItem() const
{
    const Control combo = ui_.control("COMBO2");
    return combo.index() < 0 ? std::string() : combo.text();
}

int ObservationInput::coloring() const { return ui_.control("CHECK2").value(); }
int ObservationInput::centralizing() const { return ui_.control("CHECK3").value(); }
float ObservationInput::imageSize() const { return number("EDIT1"); }
float ObservationInput::magnification() const { return number("EDIT75"); }

int ObservationInput::layout() const
{
    return ui_.control("RADIO27").value() + 2 * ui_.control("RADIO28").value() +
           3 * ui_.control("RADIO29").value();
}

float ObservationInput::scopeRadius() const { return number("EDIT76"); }
std::string ObservationInput::timeStep() const { return text("EDIT63"); }

} // namespace nivora
