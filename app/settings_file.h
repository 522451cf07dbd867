// "nivora.ini" and the "Location Data" files, star-map presets (".crd"), and the File menu's
// commands that save and load them and save the chart as a bitmap.
#pragma once

#include "render/program_records.h"

#include <cstdint>
#include <string>

namespace nivora {

// The modes of INILOAD.
enum : std::int16_t {
    loadLocationData = 0,   // "Load Location Data": the place, zone, comment, altitude, switches
    returnToSky = 1,        // back to the sky mode: also the date and time
    loadAtStartUp = 2,      // start-up: everything the file holds
};

inline constexpr const char* settingsFileName = "nivora.ini";

// The chart window's outer size on a first run: the needed size of the first-run chart (size 320,
// one box at full height), cut to the screen's free area.
struct WindowExtent {
    std::int16_t width = 0;
    std::int16_t height = 0;
};
WindowExtent firstRunChartWindowSize(const ChartLayout& layout);

// Writes the 70-line settings file from the fields and records (the chart window's size lines
// empty while its first-run size waits for the window to open). A bare name is taken from the
// working folder. The old file is replaced only once the new one is complete; an "ALERT" names a
// file that cannot be written, and false comes back.
bool INISAV(ProgramRecords& p, const std::string& file);

// Reads a settings file in one of the three modes. A file that cannot be read or has fewer than
// 23 lines gets an "ALERT" naming it (and saying why it cannot be read) and changes nothing;
// false then, with *unreadable (when given) telling the first case from the second. A file that
// ends inside a later group is read as if it ended before that group; at start-up an "ALERT"
// says so, naming what takes its first-run value (one that ends after a whole group is an older
// layout and says nothing). A number line whose text no value of its precision holds ("9e99"
// as the scope radius) takes its first-run value, and start-up names it in the same "ALERT";
// the user-defined projection's lines are taken whole or not at all. Values outside their
// scheme read as their first-run values. At start-up an empty "PC's Time Zone" line (the run
// command's starter file) gives the computer's own zone, as a first run does, and empty chart
// window size lines the first run's size, fitted to the screen when the window opens.
bool INILOAD(ProgramRecords& p, const std::string& file, std::int16_t mode, bool* unreadable = nullptr);

// Star-map presets: the map's pole, shift, comment and display frame.
bool CRDSAV(ProgramRecords& p, const std::string& file);
// A preset of fewer than 11 lines, or one that cannot be read, gets an "ALERT"; nothing changes.
bool CRDLOAD(ProgramRecords& p, const std::string& file);

// Binds SAVELOC_ON, LOADLOC_ON and SAVEBITMAP_ON.
void bindFileMenu(ProgramRecords& p);

} // namespace nivora
