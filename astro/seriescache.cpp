#include "astro/seriescache.h"

namespace nivora {

void PLTLOC0(const StartupTables& tables, const SeriesFrames& frames, SeriesFileCache& cache,
             const std::filesystem::path& file, DayNumber d, std::int16_t geo, std::int16_t aber,
             double& lon, double& lat, double& dist) {
    const std::shared_ptr<const SeriesFile> series = cache.series(file);
    locateFromSeries(tables, frames, *series, d, geo, aber, lon, lat, dist);
}

} // namespace nivora
