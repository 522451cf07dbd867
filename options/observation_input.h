// The main window's place, date and time, time zones and view fields, read by control name at
// every call. Nothing is copied: an edit made between two reads is seen by the later one.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "astro/fieldnumber.h"

namespace nivora {

class Ui;

// A number field as a check reads it: its name in an "ALERT", its text and its precision.
struct NumberField {
    std::string name;
    std::string text;
    FieldPrecision precision = FieldPrecision::Single;
};

// The "ALERT" text for the first of `fields` whose text is no number a field of its precision
// holds (fieldHoldsNumber): "<name> must be a number from -3.4E+38 to 3.4E+38." (-1.7E+308 to
// 1.7E+308 in double precision). Empty when every field holds its text.
std::string numberFieldFault(const std::vector<NumberField>& fields);

// The largest whole number of days, hours or minutes a single-precision field counts: the date
// and time fields and both zones are held within it either way.
inline constexpr float dateFieldLimit = 16777216;

// Numbers are read from the start of a field's text (blanks skipped, a sign allowed, anything
// else 0) and held in single precision, as the windows keep them. Needs the declared MAINFORM.
class ObservationInput {
public:
    explicit ObservationInput(const Ui& ui) : ui_(ui) {}

    // Place. In the map modes the first two are the map pole.
    float longitude() const;       // EDIT2, degrees, east positive
    float latitude() const;        // EDIT3, degrees, north positive
    float altitudeMetres() const;  // EDIT43
    float azimuthShift() const;    // EDIT42, degrees (map modes)

    // The computer's clock zone; its minutes take the sign of EDIT4 when its text starts "-".
    float clockZoneHours() const;    // EDIT4
    float clockZoneMinutes() const;  // EDIT5
    // The zone of the date and time fields; its minutes are negated when EDIT6 starts "-".
    float zoneHours() const;         // EDIT6
    float zoneMinutes() const;       // EDIT7

    float year() const;       // EDIT8
    int monthIndex() const;   // COMBO1 list index, 0 January ... 11 December
    float day() const;        // EDIT9
    float hour() const;       // EDIT10
    float minute() const;     // EDIT11
    std::string comment() const;   // EDIT19
    // The first field the sky frames of a drawing or a search read that holds no number they can
    // take, as an "ALERT" text naming the field; empty when all hold one. Year, day, hour, minute
    // and the place's zone must be numbers from -16777216 to 16777216 (dateFault, zoneFault); the
    // place, and the altitude (in the sky, `skyChart`) or the shift of azimuth (in a map), any
    // number single precision holds. The place's fields go by the captions of their labels.
    std::string skyFramesFault(bool skyChart) const;
    // The first of year, day, hour and minute that is no number from -16777216 to 16777216, as
    // "Year must be a number from -16777216 to 16777216."; empty when all are.
    std::string dateFault() const;
    // The same for "Actual Time Zone" (EDIT6, EDIT7) and "PC's Time Zone" (EDIT4, EDIT5).
    std::string zoneFault() const;
    std::string clockZoneFault() const;

    // View.
    float directionLongitude() const;  // EDIT12, degrees, in the frame of COMBO6
    float directionLatitude() const;   // EDIT13
    int directionFrame() const;        // COMBO6 list index (DirectionFrame 0-8)
    float rotation() const;            // EDIT64, degrees clockwise
    int displayFrame() const;          // COMBO5 list index (DisplayFrame 0-7)
    int constellationIndex() const;    // COMBO2 list index, -1 when nothing is chosen
    std::string constellationItem() const;   // COMBO2 chosen item's text, "" when none
    int coloring() const;              // CHECK2
    int centralizing() const;          // CHECK3
    // The first of direction and rotation whose text single precision does not hold, as for
    // skyFramesFault; the direction's fields go by the captions of their labels.
    std::string viewFault() const;

    // Layout.
    float imageSize() const;       // EDIT1, pixels
    float magnification() const;   // EDIT75
    int layout() const;            // 1 RADIO27 "Normal Size", 2 RADIO28 "half Height", 3 RADIO29 "Dual-Box"; 0 none
    float scopeRadius() const;     // EDIT76, degrees
    std::string timeStep() const;  // EDIT63

    // The number of any named field, by the same rule.
    float number(std::string_view control) const;
    std::string text(std::string_view control) const;

private:
    struct DateField {
        const char* name;
        const char* control;
        float value;
    };
    std::string withinDateLimit(std::initializer_list<DateField> fields) const;
    float minutesSignedBy(std::string_view minutes, std::string_view hours) const;
    std::string captionName(std::string_view label) const;
    const Ui& ui_;
};

} // namespace nivora
