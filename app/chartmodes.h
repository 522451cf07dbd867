// The three chart modes of the main window: the sky of an assigned local time (RADIO2), the star
// map (RADIO3) and the Earth map (RADIO105). A switch saves or restores the sky-mode settings and
// the overlay layout, relabels and enables the fields, reloads the constellation (or nations)
// list and resets the view; nothing is drawn until the next DRAW.
#pragma once

#include <cstdint>
#include <string>

namespace nivora {

class Program;
struct MinuteOptions;

// The direction longitude turned to the other side, as the Earth map, seen from outside, needs
// it: -v brought into (-180, 180], the first 8 characters of its text (" 30", "-30", " 180").
std::string turnedLongitudeText(float longitude);

// The readout units on entering the Earth map take their signed forms (1 to 4, 2 and 3 to 5);
// on leaving it 4 and 5 go back to 1 and 2, so hours-minutes-seconds comes back as degrees.
void shiftUnitsIntoEarthMap(MinuteOptions& minute);
void shiftUnitsOutOfEarthMap(MinuteOptions& minute);

// The saved preferences (settings file lines 30, 31, 49 and 70) that the Earth map sets for
// itself on entering. The person's are kept then, and leaving the map gives back each one that
// still holds the map's value, so the settings file keeps the person's choice; one the person
// changed on the map stays as chosen there (a readout unit in its unsigned form).
struct EarthMapPreferences {
    std::uint8_t azElUnit = 2;
    std::uint8_t raDecUnit = 3;
    std::uint8_t centralizeWeighting = 2;
    std::uint8_t sunDataFrame = 1;
};

// The Earth map's epoch in the computer's zone of `clockZoneHours`: the day ("1", or "0" for a
// zone of -12 hours or less) and the hour, 12:00 UT as the two last characters of its text
// (" 5", "21", "24").
struct EarthMapEpoch {
    std::string day, hour;
};
EarthMapEpoch earthMapEpoch(float clockZoneHours);

void RADIO2_ON(Program& program);
void RADIO3_ON(Program& program);
void RADIO105_ON(Program& program);

void bindChartModes(Program& program);

} // namespace nivora
