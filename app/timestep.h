// Time stepping of the main window: "before", "after" and "the Now" move the date and time fields
// (EDIT8 year, COMBO1 month, EDIT9 day, EDIT10 hour, EDIT11 minute). The arithmetic is pure; the
// handlers only read and write the fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace nivora {

class Ui;

// The date and time fields in single precision, as the window holds them.
struct DateTimeFields {
    float year = 0, monthIndex = 0, day = 0, hour = 0, minute = 0;
    friend bool operator==(const DateTimeFields&, const DateTimeFields&) = default;
};

// The step of EDIT63: a count and its unit character ("m", "h", "d", "w", "y" in either case;
// any other character counts as minutes). A text ending in a digit is all count, in minutes; a
// unit with no number before it counts 0. An empty text is no step at all.
struct TimeStep {
    float count = 0;
    char unit = 'm';
};
std::optional<TimeStep> parseTimeStep(std::string_view text);
// The "ALERT" text for a step whose count, or whose whole text, is no number single precision
// holds ("9e99", "1e400", "nan", "-infh"): "Time Step must be a number from -3.4E+38 to
// 3.4E+38."; empty for every other text.
std::string timeStepFault(std::string_view text);

// Moves the fields by n units; whole days go through the calendar. A count that is not whole
// steps by the equal number of whole minutes (halves away from zero), and years by the nearest
// whole number, so the fields keep whole numbers. A count that is not finite changes nothing.
void stepDateTime(DateTimeFields& fields, float n, char unit);

// The computer's clock time, kept in the computer's zone, expressed in the actual zone. Each zone
// is signed hours and minutes; the year is taken as 2000 plus its last two digits. Days are
// carried whole, so any zone gives an hour in 0 to 23.
DateTimeFields timeInZone(const LocalDateTime& clock, float clockZoneHours, float clockZoneMinutes,
                          float zoneHours, float zoneMinutes);

// The texts written back: the year without the blank of a non-negative number ("2009", "-44");
// day, hour and minute as two characters ("05", "23").
std::string yearFieldText(float year);
std::string twoDigitFieldText(float value);

DateTimeFields readDateTimeFields(const Ui& ui);
void writeDateTimeFields(Ui& ui, const DateTimeFields& fields);

// Steps the window's date and time fields by n units.
void STEPTIME(Ui& ui, float n, char unit);
// "before" and "after": step by the interval in EDIT63, backward or forward. Refused with an
// "ALERT" naming the field, the fields unchanged, for a step no field holds (timeStepFault), for
// date fields DRAW would refuse, and for a step that takes the year past what DRAW takes.
void BUTTON31_ON(Ui& ui);
void BUTTON32_ON(Ui& ui);
// "the Now": the computer's clock in the actual zone of EDIT6 and EDIT7. Refused as DRAW refuses
// the actual zone, naming the zone, when either zone is no number from -16777216 to 16777216.
void BUTTON45_ON(Ui& ui);

// The texts of "PC's Time Zone" (EDIT4 hours, EDIT5 minutes) for an offset from UTC in minutes,
// east positive: signed whole hours ("+9", "-5", "+0", "-0" for -0:30) and two-digit minutes,
// which take the sign of the hours' text.
struct ZoneFieldTexts {
    std::string hours, minutes;
    friend bool operator==(const ZoneFieldTexts&, const ZoneFieldTexts&) = default;
};
ZoneFieldTexts zoneFieldTexts(int utcOffsetMinutes);
// "PC's Time Zone" set to the computer's zone at this moment.
void setComputersZone(Ui& ui);

// Binds the three buttons of the main window.
void bindTimeStepping(Ui& ui);

} // namespace nivora
