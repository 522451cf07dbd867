#include "astro/seriescache.h"

#include <system_error>

namespace nivora {

std::shared_ptr<const SeriesFile> SeriesFileCache::series(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::path key = std::filesystem::absolute(file, error);
    if (error)
        key = file;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    std::filesystem::file_time_type modified;
    if (!error)
        modified = std::filesystem::last_write_time(file, error);
    if (error) {
        // Gone or unreadable: let the reader say so, and keep nothing stale.
        entries_.erase(key);
        return std::make_shared<const SeriesFile>(parseSeriesFile(file));
    }
    const auto found = entries_.find(key);
    if (found != entries_.end() && found->second.size == size && found->second.modified == modified)
        return found->second.parsed;
    entries_.erase(key);
    auto parsed = std::make_shared<const SeriesFile>(parseSeriesFile(file));
    entries_[key] = Entry{size, modified, parsed};
    return parsed;
}

void PLTLOC0(const StartupTables& tables, const SeriesFrames& frames, SeriesFileCache& cache,
             const std::filesystem::path& file, DayNumber d, std::int16_t geo, std::int16_t aber,
             double& lon, double& lat, double& dist) {
    const std::shared_ptr<const SeriesFile> series = cache.series(file);
    locateFromSeries(tables, frames, *series, d, geo, aber, lon, lat, dist);
}

} // namespace nivora
