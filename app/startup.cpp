#include "app/data_files.h"
#include "app/app_forms.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/settings_file.h"
#include "app/sky_object_forms.h"
#include "app/timestep.h"
#include "app/viewpresets.h"
#include "astro/datafile.h"
#include "chartwin/chart_window.h"
#include "chartwin/file_search.h"
#include "chartwin/click.h"
#include "chartwin/overlay_format.h"
#include "chartwin/overlay_drawing.h"
#include "chartwin/overlay_form.h"
#include "chartwin/star_search.h"
#include "options/minute_form.h"
#include "platform/files.h"

#include <iostream>
#include <string_view>

namespace nivora {

namespace {

// The values a first run starts from when there is no settings file to restore.
void setFirstRunValues(Program& p)
{
    p.ui.control("COMBO1").setIndex(11);
    setComputersZone(p.ui);
    p.ui.control("EDIT1").setText("320");
    p.chartView.imageSize = 320;
    const WindowExtent window = firstRunChartWindowSize(p.chartLayout);
    p.chartView.chartWindowWidth = window.width;
    p.chartView.chartWindowHeight = window.height;
    p.dataFileSettings = DataFileSettings{};
    p.planetSettings.planetOrbitFile = {};
    p.planetSettings.planetDisplayMode = {};
    p.chartOptions.refractionOn = 1;
    p.chartOptions.diurnalAberrationOn = 1;
    p.chartOptions.centralizeWeighting = 2;
    const MinuteOptions minute;
    p.minuteOptions.starScaling = minute.starScaling;
    p.minuteOptions.dotMagnitude = minute.dotMagnitude;
    p.minuteOptions.azElUnit = minute.azElUnit;
    p.minuteOptions.raDecUnit = minute.raDecUnit;
    p.minuteOptions.sunDataFrame = minute.sunDataFrame;
    p.minuteOptions.angleUnit = minute.angleUnit;
    p.userProjection = UserProjection{};
    p.ui.form("FORM2").resizeWithinScreen(p.chartView.chartWindowWidth, p.chartView.chartWindowHeight);
}

// The values every start shows: no settings file keeps them.
void setEveryStartValues(Program& p)
{
    p.searchLimits = SearchLimits{};
    p.chartLayout = ChartLayout{};
    p.chartView.scrollX = 0;
    p.chartView.scrollY = 0;
    p.chartView.chartMode = skyChartMode;
    p.chartView.dualBox = 0;
    p.chartView.magnification = 1.0;
    p.chartView.earthMap = 0;

    ChartOptions chart;
    chart.refractionOn = p.chartOptions.refractionOn;
    chart.diurnalAberrationOn = p.chartOptions.diurnalAberrationOn;
    chart.centralizeWeighting = p.chartOptions.centralizeWeighting;
    p.chartOptions = chart;
    p.minuteOptions.commentUnit = 3;
    p.planetSettings.earthShadowDistanceMode = 1;
    p.readoutOptions = ReadoutOptions{};

    p.drawn.sky.horizonDipSine = 0;
    p.drawn.sky.horizonDipCosine = 1;
    UserProjection& user = p.userProjection;
    user.termCount = 9;
    user.chartScale = float(p.chartView.imageSize * p.chartView.magnification);
    user.edgeValue = userProjectionEdgeValue(user);
}

void chooseListEntries(Program& p)
{
    const std::pair<std::string_view, int> choices[] = {
        {"COMBO4", 3}, {"COMBO5", 0}, {"COMBO6", 0}, {"COMBO7", 0}, {"COMBO8", 0},
    };
    for (const auto& [combo, index] : choices)
        if (p.ui.hasControl(combo)) p.ui.control(combo).setIndex(index);
}

} // namespace

bool Program::start()
{
    try {
        tables = loadStartupTables(folder);
    } catch (const DataFileError& e) {
        std::cerr << "nivora: " << e.what() << '\n';
        ui.alert(e.what());
        return false;
    }

    loadWindows(ui, chartOptions, readoutOptions);
    for (std::string_view bar : {"HSCROLL1", "VSCROLL1"}) {
        Control scroll = ui.control(bar);
        scroll.setValue(0);
        scroll.setEnabled(false);
    }

    for (const char* name : {settingsFileName, overlayFormatFileName}) removeStrayTemporaries(file(name));
    if (!loadSettingsFile(loadAtStartUp)) setFirstRunValues(*this);
    setEveryStartValues(*this);
    chooseListEntries(*this);
    relabelDirectionFrame(ui);
    SETF3(*this, 1);

    setSwatchFonts(ui);
    if (!loadOverlayFormatFile(0)) setOverlayDefaults(ui, overlayColors);

    chartBitmap.create(chartView.imageSize + chartLayout.marginLeft + chartLayout.marginRight +
                           chartLayout.sideStripWidth,
                       chartView.imageSize + chartLayout.marginTop + chartLayout.marginBottom);

    bindChartWindow(*this);
    bindStarSearch(*this);
    bindOverlayForm(*this);
    bindPointingWindow(*this);
    bindOverlayDrawing(*this);
    bindFileSearch(*this);
    bindSettingFiles(*this);
    bindFileMenu(*this);
    bindMainWindow(*this);
    bindSkyObjectForms(*this);
    bindMinuteOptionForm(ui, minuteOptions, userProjection);
    ui.setShutdownSave([this] { saveAtShutDown(); });
    ui.bind("ENDING_ON", [this] { ui.shutDown(); });
    ui.bind("MAINFORM_QUERYCLOSE", [this] { ui.shutDown(); });
    ui.mainForm().show();
    return true;
}

void Program::saveAtShutDown()
{
    if (chartView.chartMode < mapChartMode && chartView.earthMap == 0) saveSettingsFile();
    if (chartView.earthMap == 0) saveOverlayFormatFile();
}

} // namespace nivora
