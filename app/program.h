// One run of nivora: the windows and every record the program keeps while it runs. A test builds
// a fresh Program in a temporary folder and throws it away afterwards.
#pragma once

#include "chartwin/chartwin_records.h"

#include <filesystem>

namespace nivora {

class Program : public ChartWindowRecords {
public:
    explicit Program(std::filesystem::path folder = std::filesystem::current_path());

    // The start-up in its fixed order: the start-up tables, the windows, "nivora.ini" or the
    // first-run values, the values of every start, the data file table and the constellation
    // list, "nivora.frm" or the overlay's defaults, the chart bitmap; then the main window shows.
    // False when a start-up table is missing or malformed: one message has named the file and
    // the line, and nothing was written.
    bool start();

    // What every way of ending saves: "nivora.ini" in the sky mode, "nivora.frm" unless the
    // Earth map is shown.
    void saveAtShutDown();

    // Runs the event loop until the program ends; returns the exit code.
    int run();
};

} // namespace nivora
