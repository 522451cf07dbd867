// One run of nivora: the windows and every record the program keeps while it runs. A test builds
// a fresh Program in a temporary folder and throws it away afterwards.
#pragma once

#include "chartwin/chartwin_records.h"

#include <filesystem>
#include <functional>

namespace nivora {

class Program : public ChartWindowRecords {
public:
    explicit Program(std::filesystem::path folder = std::filesystem::current_path());

    // Loads the windows with `declare` (the program's forms and menu bar), binds the shut-down
    // and shows MAINFORM. Without a declaration a bare main window with "File" / "End" stands in.
    void start(const std::function<void(Program&)>& declare = {});

    // Runs the event loop until the program ends; returns the exit code.
    int run();
};

} // namespace nivora
