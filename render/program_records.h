// Every record a drawing reads or writes, held together for one run of the program. The chart
// window's room and the program's owner object build on it (ChartWindowRecords, Program), so a
// drawing takes the one owner without knowing the rooms above it.
#pragma once

#include "astro/linefile.h"
#include "astro/seriescache.h"
#include "astro/starlist.h"
#include "astro/startuptables.h"
#include "options/option_records.h"
#include "options/settings_records.h"
#include "platform/chartbitmap.h"
#include "platform/forms.h"
#include "render/drawing.h"
#include "render/drawing_state.h"

#include <filesystem>
#include <string>

namespace nivora {

struct ProgramRecords {
    // The working folder holds the data files, "nivora.ini" and "nivora.frm"; bare file names
    // are taken from it.
    explicit ProgramRecords(std::filesystem::path folder) : folder(std::move(folder)) {}
    ProgramRecords(const ProgramRecords&) = delete;
    ProgramRecords& operator=(const ProgramRecords&) = delete;
    virtual ~ProgramRecords() = default;

    // A name in the working folder.
    std::filesystem::path file(const std::string& name) const { return folder / name; }

    std::filesystem::path folder;
    Ui ui;   // first of the records' users, last to go: handlers hold references into *this

    // Read once at start-up.
    StartupTables tables;

    // Options and settings: they change only through their handlers and the settings files.
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

    // Parsed series files, kept while they stay unchanged on disk.
    SeriesFileCache seriesCache;
    // Parsed star lists, kept the same way.
    StarListCache starLists;
    // Parsed constellation-line files, kept likewise.
    LineFileCache lineFiles;

    // The whole chart; every drawing, overdraw, mark and comment goes into it.
    ChartBitmap chartBitmap;
    // What the last drawing computed; only a drawing writes it.
    DrawingState drawn;
    // The drawing's passes that higher rooms and later work install.
    DrawingHooks drawingHooks;
};

} // namespace nivora
