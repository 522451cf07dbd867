// One run of nivora: the windows and every record the program keeps while it runs. A test builds
// a fresh Program in a temporary folder and throws it away afterwards.
#pragma once

#include "app/chartmodes.h"
#include "chartwin/chartwin_records.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace nivora {

class Program : public ChartWindowRecords {
public:
    explicit Program(std::filesystem::path folder = std::filesystem::current_path());

    // The start-up in its fixed order: the start-up tables, the windows, the leftovers of an
    // interrupted save of "nivora.ini" or "nivora.frm" removed, "nivora.ini" or the first-run
    // values, the values of every start, the data file table and the constellation list,
    // "nivora.frm" or the overlay's defaults, the chart bitmap; then the main window shows.
    // False when a start-up table is missing or malformed: one message has named the file and
    // the line, and nothing was written.
    bool start();

    // What every way of ending saves: "nivora.ini" in the sky mode, "nivora.frm" unless the
    // Earth map is shown.
    void saveAtShutDown();

    // "nivora.ini" and "nivora.frm" in the working folder. A file that exists but could not be
    // read at its last reading (the reading's "ALERT" said why), or that is no plain file (a
    // named pipe, a device, a folder, or a link to one: an "ALERT" says so, and it is never
    // opened; the end says it wrote nothing to it), is never written over, so that what the
    // user had survives for him to mend; one that was read but is too short is replaced as if
    // absent.
    // Reads the file in `mode` when it exists; false when it is absent or was not taken.
    bool loadSettingsFile(std::int16_t mode);
    bool loadOverlayFormatFile(int mode);
    void saveSettingsFile();
    void saveOverlayFormatFile();

    // Runs the event loop until the program ends; returns the exit code.
    int run();

    // What the Earth map changed of the saved preferences on entering; leaving gives it back.
    EarthMapPreferences preferencesBeforeEarthMap;

private:
    bool settingsFileKept_ = false;
    bool overlayFormatFileKept_ = false;
    std::string settingsFileNotPlain_;   // what stands in the file's place, when no plain file
    std::string overlayFormatFileNotPlain_;
};

} // namespace nivora
