#include "chartwin/search_sky.h"

#include <algorithm>

#include "astro/corrections.h"
#include "astro/datafile.h"
#include "astro/precession.h"
#include "astro/seriescache.h"
#include "options/observation_input.h"
#include "render/orientation.h"

namespace nivora {

namespace {

// Through a volatile float: GCC 12's vectoriser at -O2 drops the narrowing of a pair of
// components otherwise.
DirectionVector heldSingle(DirectionVector v)
{
    for (double& x : v) {
        volatile float narrowed = float(x);
        x = narrowed;
    }
    return v;
}

} // namespace

SkyFrameTimes setUpSearchSky(SkyFrames& sky, std::uint8_t& displayFrameIndex,
                             const ObservationInput& input, std::uint8_t chartMode,
                             const StartupTables& tables, SeriesFileCache& cache,
                             const std::filesystem::path& folder)
{
    const SkyFrameTimes times = setUpSkyFrames(sky, input, chartMode, tables,
                                               folder / std::string(nutationFileName),
                                               PlacePrecision::Single);
    displayFrameIndex = std::uint8_t(std::clamp(input.displayFrame(), 0, 7));

    // The Sun's true-ecliptic longitude of the search's own date: its own precession matrix
    // goes to the series, the drawing's stays as the drawing left it.
    const SeriesFrames frames{sky.j2000EclipticToTrueEcliptic, {}, {}};
    double sunLongitude = 0, sunLatitude = 0, sunDistance = 0;
    PLTLOC0(tables, frames, cache, folder / "prmsun2.plt", times.dayNumberTT, 0, 0, sunLongitude,
            sunLatitude, sunDistance);
    double vx = 0, vy = 0;
    ABERRATION(times.dayNumberTT, sunLongitude, vx, vy);
    sky.annualAberrationEcliptic = {vx, vy, 0};
    sky.annualAberrationEquatorial =
        heldSingle(rotate(sky.trueEclipticToTrueEquator, sky.annualAberrationEcliptic));

    setBaseMatrices(sky, chartMode, displayFrameIndex, tables);
    return times;
}

bool SEARCHCNST(ChartWindowRecords& p)
{
    if (const std::string fault = ObservationInput(p.ui).skyFramesFault(p.chartView.chartMode == skyChartMode);
        !fault.empty()) {
        p.ui.alert(fault);
        return false;
    }
    SkyFrames sky;
    std::uint8_t displayFrameIndex = 0;
    try {
        setUpSearchSky(sky, displayFrameIndex, ObservationInput(p.ui), p.chartView.chartMode,
                       p.tables, p.seriesCache, p.folder);
    } catch (const DataFileError& error) {
        p.ui.alert(error.what());
        return false;
    }
    p.searchSky = sky;
    p.searchDisplayFrameIndex = displayFrameIndex;
    return true;
}

} // namespace nivora
