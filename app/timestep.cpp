#include "app/timestep.h"

#include <cctype>
#include <cstdlib>
#include <cmath>

#include "astro/fieldnumber.h"
#include "astro/vectors.h"
#include "options/observation_input.h"
#include "platform/forms.h"

namespace nivora {

namespace {

double minutesPerUnit(char unit) {
    switch (unit) {
    case 'h': case 'H': return 60;
    case 'd': case 'D': return 24 * 60;
    case 'w': case 'W': return 7 * 24 * 60;
    default: return 1;
    }
}

// Splits a value into whole periods (rounded down) and what is left in [0, period). Done in
// double so that a long step still leaves a whole minute and hour in range.
double carry(double& value, double period) {
    double rest = std::fmod(value, period);
    if (rest < 0)
        rest += period;
    const double periods = (value - rest) / period;
    value = rest;
    return periods;
}

// Hours carried into days through the calendar.
void carryHours(DateTimeFields& f, double hour) {
    const double days = carry(hour, 24);
    f.hour = float(hour);
    if (days != 0)
        DATECUL(f.year, f.monthIndex, f.day, float(days));
}

void carryMinutes(DateTimeFields& f, double minute) {
    const double hours = carry(minute, 60);
    f.minute = float(minute);
    carryHours(f, double(f.hour) + hours);
}

} // namespace

std::optional<TimeStep> parseTimeStep(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    const char unit = text.back();
    const bool digit = std::isdigit(static_cast<unsigned char>(unit)) != 0;
    return TimeStep{float(readFieldNumber(digit ? text : text.substr(0, text.size() - 1))), unit};
}

void stepDateTime(DateTimeFields& f, float n, char unit) {
    // A count past the single-precision range would leave no number in the fields.
    if (!std::isfinite(n))
        return;
    if (unit == 'y' || unit == 'Y') {
        f.year += std::round(n);
        return;
    }
    if (n != std::floor(n)) {
        n = float(std::round(double(n) * minutesPerUnit(unit)));
        unit = 'm';
    }
    switch (unit) {
    case 'h': case 'H':
        carryHours(f, double(f.hour) + n);
        break;
    case 'd': case 'D':
        DATECUL(f.year, f.monthIndex, f.day, n);
        break;
    case 'w': case 'W':
        DATECUL(f.year, f.monthIndex, f.day, 7 * n);
        break;
    default:
        carryMinutes(f, double(f.minute) + n);
        break;
    }
}

DateTimeFields timeInZone(const LocalDateTime& clock, float clockZoneHours, float clockZoneMinutes,
                          float zoneHours, float zoneMinutes) {
    DateTimeFields f{float(2000 + clock.year % 100), float(clock.month - 1), float(clock.day),
                     float(clock.hour), float(clock.minute)};
    // A zone given in fractional hours moves the minutes, so the fields stay whole.
    const double shift = std::round((double(zoneHours) - clockZoneHours) * 60 + zoneMinutes - clockZoneMinutes);
    carryMinutes(f, double(f.minute) + shift);
    return f;
}

std::string yearFieldText(float year) {
    std::string text = writeFieldNumber(year);
    if (text.starts_with(' '))
        text.erase(0, 1);
    return text;
}

std::string twoDigitFieldText(float value) {
    std::string text = writeFieldNumber(value);
    text[0] = '0';
    return text.substr(text.size() - 2);
}

DateTimeFields readDateTimeFields(const Ui& ui) {
    const ObservationInput in(ui);
    return {in.year(), float(in.monthIndex()), in.day(), in.hour(), in.minute()};
}

void writeDateTimeFields(Ui& ui, const DateTimeFields& f) {
    ui.control("EDIT8").setText(yearFieldText(f.year));
    ui.control("COMBO1").setIndex(int(f.monthIndex));
    ui.control("EDIT9").setText(twoDigitFieldText(f.day));
    ui.control("EDIT10").setText(twoDigitFieldText(f.hour));
    ui.control("EDIT11").setText(twoDigitFieldText(f.minute));
}

void STEPTIME(Ui& ui, float n, char unit) {
    DateTimeFields f = readDateTimeFields(ui);
    stepDateTime(f, n, unit);
    writeDateTimeFields(ui, f);
}

std::string timeStepFault(std::string_view text) {
    // "nan" ends in a letter, so only the whole text shows what it spells.
    const bool digit = !text.empty() && std::isdigit(static_cast<unsigned char>(text.back())) != 0;
    const std::string_view count = digit || text.empty() ? text : text.substr(0, text.size() - 1);
    return numberFieldFault({{"Time Step", std::string(count)}, {"Time Step", std::string(text)}});
}

namespace {
void stepByField(Ui& ui, float sign) {
    const ObservationInput in(ui);
    const std::string text = in.timeStep();
    const std::optional<TimeStep> step = parseTimeStep(text);
    if (!step)
        return;
    std::string fault = timeStepFault(text);
    if (fault.empty())
        fault = in.dateFault();
    DateTimeFields f = readDateTimeFields(ui);
    if (fault.empty()) {
        stepDateTime(f, sign * step->count, step->unit);
        if (!(std::fabs(f.year) <= dateFieldLimit))
            fault = "Time Step must keep the Year from -16777216 to 16777216.";
    }
    if (!fault.empty()) {
        ui.alert(fault);
        return;
    }
    writeDateTimeFields(ui, f);
}
} // namespace

void BUTTON31_ON(Ui& ui) { stepByField(ui, -1); }
void BUTTON32_ON(Ui& ui) { stepByField(ui, 1); }

void BUTTON45_ON(Ui& ui) {
    const ObservationInput in(ui);
    std::string fault = in.clockZoneFault();
    if (fault.empty())
        fault = in.zoneFault();
    if (!fault.empty()) {
        ui.alert(fault);
        return;
    }
    writeDateTimeFields(ui, timeInZone(localNow(), in.clockZoneHours(), in.clockZoneMinutes(), in.zoneHours(),
                                       in.zoneMinutes()));
}

ZoneFieldTexts zoneFieldTexts(int utcOffsetMinutes) {
    const int whole = std::abs(utcOffsetMinutes);
    const std::string minutes = std::to_string(whole % 60);
    return {(utcOffsetMinutes < 0 ? "-" : "+") + std::to_string(whole / 60),
            std::string(minutes.size() < 2 ? 1 : 0, '0') + minutes};
}

void setComputersZone(Ui& ui) {
    const ZoneFieldTexts zone = zoneFieldTexts(localNow().utcOffsetMinutes);
    ui.control("EDIT4").setText(zone.hours);
    ui.control("EDIT5").setText(zone.minutes);
}

void bindTimeStepping(Ui& ui) {
    ui.bind("BUTTON31_ON", [&ui] { BUTTON31_ON(ui); });
    ui.bind("BUTTON32_ON", [&ui] { BUTTON32_ON(ui); });
    ui.bind("BUTTON45_ON", [&ui] { BUTTON45_ON(ui); });
}

} // namespace nivora
