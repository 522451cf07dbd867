// One run of nivora: the windows and every record the program keeps while it runs. A test builds
// a fresh Program in a temporary folder and throws it away afterwards.
#pragma once

#include "options/option_records.h"
#include "options/settings_records.h"
#include "platform/chartbitmap.h"
#include "platform/forms.h"

#include <filesystem>
#include <functional>

namespace nivora {

class Program {
public:
    // The working folder holds the data files, "nivora.ini" and "nivora.frm"; bare file names
    // are taken from it.
    explicit Program(std::filesystem::path folder = std::filesystem::current_path());
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the windows with `declare` (the program's forms and menu bar), binds the shut-down
    // and shows MAINFORM. Without a declaration a bare main window with "File" / "End" stands in.
    void start(const std::function<void(Program&)>& declare = {});

    // Runs the event loop until the program ends; returns the exit code.
    int run();

    // A name in the working folder.
    std::filesystem::path file(const std::string& name) const { return folder / name; }

    std::filesystem::path folder;
    Ui ui;   // first of the records' users, last to go: handlers hold references into *this

    ChartOptions chartOptions;
    ReadoutOptions readoutOptions;
    MinuteOptions minuteOptions;
    UserProjection userProjection;

    ChartView chartView;
    ChartLayout chartLayout;
    SearchLimits searchLimits;
    DataFileSettings dataFileSettings;
    PlanetSettings planetSettings;
    OverlayColors overlayColors;

    ChartBitmap chartBitmap;
};

} // namespace nivora
