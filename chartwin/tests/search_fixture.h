// A chart window room for the searches and the overlay: the main window's fields, the chart
// window, the data-file form and the pointing window, in a working folder of the test's own
// with the shipped data files copied into it.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "astro/datafile.h"
#include "chartwin/chart_window.h"
#include "chartwin/chartwin_forms.h"
#include "chartwin/star_search.h"
#include "platform/dialogs.h"
#include "render/tests/render_fixture.h"

namespace nivora::testing_support {

class SearchRoom : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("nivora-search-" + std::to_string(::getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        for (const auto& entry : std::filesystem::directory_iterator(NIVORA_DATA_DIR))
            std::filesystem::copy_file(entry.path(), folder_ / entry.path().filename());
        ensureApplication();
        p_ = std::make_unique<ChartWindowRecords>(folder_);
        p_->tables = loadStartupTables(folder_);
        FormSpec main = observationFields();
        main.controls.push_back({ControlKind::Button, "BUTTON1"});
        main.controls.push_back({ControlKind::Button, "BUTTON50"});
        main.controls.push_back({ControlKind::Edit, "EDIT104"});
        main.controls.push_back({ControlKind::Button, "BUTTON73"});
        ui().load(main);
        ui().load(chartWindowForm());
        ui().load(dataFileForm());
        ui().load(pointingForm());
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs_ = scripted.get();
        ui().setDialogs(std::move(scripted));
        bindChartWindow(*p_);
        bindStarSearch(*p_);
        p_->chartBitmap.create(600, 360);
    }
    void TearDown() override
    {
        p_.reset();
        std::filesystem::remove_all(folder_);
    }

    Ui& ui() { return p_->ui; }
    void set(const char* control, const std::string& text) { ui().control(control).setText(text); }
    std::vector<std::string> alerts() const { return dialogs_->alerts(); }
    std::string pointingText() const { return p_->ui.form("FORM6").surfaceText(); }
    int pointingHeight() const { return p_->ui.form("FORM6").geometry().height; }
    void writeFile(const std::string& name, const std::string& text) const
    {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    // A file just past the readers' size cap, and what a reader says of it. Sparse: no disk.
    std::string writeTooLarge(const std::string& name) const
    {
        writeFile(name, "");
        std::filesystem::resize_file(folder_ / name, maxDataFileBytes + 1);
        return "\"" + (folder_ / name).string() + "\": expected a data file of at most 64 MB";
    }
    std::filesystem::path path(const std::string& name) const { return folder_ / name; }
    // What the readers say of a file in the working folder that they refuse.
    std::string readerSays(const std::string& name, const std::string& expected) const
    {
        return "\"" + (folder_ / name).string() + "\": expected " + expected;
    }
    // The main window's fields from the sample's header: Tokyo, 2026 August 28.
    void setTokyo(const std::string& hour = "22", const std::string& minute = "00")
    {
        set("EDIT2", "139.6917");
        set("EDIT3", "35.6895");
        set("EDIT43", "40");
        set("EDIT6", "+9");
        set("EDIT7", "00");
        set("EDIT8", "2026");
        ui().control("COMBO1").setIndex(7);
        set("EDIT9", "28");
        set("EDIT10", hour);
        set("EDIT11", minute);
    }
    // DRAW at a size and magnification, centred on a direction of the chosen direction frame.
    void drawAt(const std::string& size, const std::string& magnification, double lon, double lat,
                int directionFrame = 0)
    {
        set("EDIT12", std::to_string(lon));
        set("EDIT13", std::to_string(lat));
        ui().control("COMBO6").setIndex(directionFrame);
        ui().userType("EDIT1", size);
        ui().userType("EDIT75", magnification);
        ui().userClick("BUTTON1");
    }

    std::filesystem::path folder_;
    std::unique_ptr<ChartWindowRecords> p_;
    ScriptedDialogs* dialogs_ = nullptr;
};

} // namespace nivora::testing_support
