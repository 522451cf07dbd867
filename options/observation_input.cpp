#include "options/observation_input.h"

#include "astro/fieldnumber.h"
#include "platform/forms.h"

#include <cmath>
#include <utility>

namespace nivora {

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

std::string ObservationInput::dateFault() const
{
    // The fields and the date steps are single precision, which counts whole days, hours and
    // minutes up to 2^24; the day number a drawing makes of them stays finite far beyond. The
    // place's zone goes into the same day number.
    constexpr float limit = 16777216;
    const std::pair<const char*, float> fields[] = {
        {"Year", year()}, {"Day", day()}, {"Hour", hour()}, {"Minute", minute()},
        {"Actual Time Zone", zoneHours()}, {"Actual Time Zone", zoneMinutes()}};
    for (const auto& [name, value] : fields)
        if (!(std::fabs(value) <= limit))
            return std::string(name) + " must be a number from -16777216 to 16777216.";
    return {};
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
