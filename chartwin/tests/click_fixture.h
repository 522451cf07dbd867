// A chart window room with every form a click reads: the main window's fields, the chart window,
// the data-file form, the "Minute Option" form and the pointing window; Tokyo on 2026-08-28 at
// 22:00, drawn from the shipped data folder.
#pragma once

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "astro/constants.h"
#include "chartwin/chart_window.h"
#include "chartwin/chartwin_forms.h"
#include "chartwin/click.h"
#include "options/minute_form.h"
#include "platform/dialogs.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora::testing_support {

class ClickFixture : public testing::Test {
protected:
    void SetUp() override {
        p_ = std::make_unique<ChartWindowRecords>(NIVORA_DATA_DIR);
        ensureApplication();
        p_->tables = loadStartupTables(NIVORA_DATA_DIR);
        FormSpec main = observationFields();
        main.controls.push_back({ControlKind::Button, "BUTTON1"});
        main.controls.push_back({ControlKind::Button, "BUTTON50"});
        ui().load(main);
        ui().load(chartWindowForm());
        ui().load(dataFileForm());
        ui().load(minuteOptionForm());
        ui().load(pointingForm());
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs_ = scripted.get();
        ui().setDialogs(std::move(scripted));
        bindChartWindow(*p_);
        bindPointingWindow(*p_);
        ui().form("FORM6").setFont({"Courier New", 14});
        const std::pair<const char*, const char*> tokyo[] = {
            {"EDIT2", "+139.6917"}, {"EDIT3", "+35.6895"}, {"EDIT43", "40"}, {"EDIT4", "+9"},
            {"EDIT5", "0"},         {"EDIT6", "+9"},       {"EDIT7", "0"},   {"EDIT8", "2026"},
            {"EDIT9", "28"},        {"EDIT10", "22"},      {"EDIT11", "0"},  {"EDIT1", "1000"},
            {"EDIT75", "4"},
        };
        for (const auto& [name, text] : tokyo)
            ui().control(name).setText(text);
        ui().control("COMBO1").setIndex(7);
        p_->chartOptions.magnitudeLimit = 5.5f;
    }

    Ui& ui() { return p_->ui; }
    ChartWindowRecords& p() { return *p_; }
    std::vector<std::string> alerts() const { return dialogs_->alerts(); }
    std::string readout() { return ui().form("FORM6").surfaceText(); }

    void setCentre(double azimuthDegrees, double elevationDegrees) {
        char text[32];
        std::snprintf(text, sizeof text, "%+.4f", azimuthDegrees);
        ui().control("EDIT12").setText(text);
        std::snprintf(text, sizeof text, "%+.4f", elevationDegrees);
        ui().control("EDIT13").setText(text);
    }
    void draw() { ui().userClick("BUTTON1"); }

    // The base-frame azimuth (through west) and elevation, degrees, of an ICRF direction on the
    // chart last drawn.
    void azimuthElevation(const DirectionVector& icrf, double& az, double& el) {
        const DirectionVector b = rotate(p().drawn.sky.icrfToBase, icrf);
        double r;
        ZENITH(b[0], b[1], b[2], az, el, r);
        az *= degreesPerRadian;
        el *= degreesPerRadian;
        if (az < 0)
            az += 360;
    }
    // Draws the chart turned toward an ICRF direction.
    void drawToward(const DirectionVector& icrf) {
        draw();
        double az, el;
        azimuthElevation(icrf, az, el);
        setCentre(az, el);
        draw();
    }

    // Where the drawing puts a catalogue direction.
    std::optional<ChartPixel> pixelOf(const DirectionVector& icrf) {
        return PointPipeline(p()).placeCatalogue(p().drawn.sky.icrfToBase, icrf);
    }
    // A user's click on bitmap pixel (x, y), nothing scrolled.
    void clickPixel(double x, double y) {
        ui().userClickForm("FORM2", int(std::lround(x)) + imageInset - p().chartView.scrollX,
                           int(std::lround(y)) + imageInset - p().chartView.scrollY);
    }

    std::unique_ptr<ChartWindowRecords> p_;
    ScriptedDialogs* dialogs_ = nullptr;
};

} // namespace nivora::testing_support
