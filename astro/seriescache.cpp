#include "astro/seriescache.h"

#include <chrono>
#include <string>
#include <system_error>
#include <utility>

#include "astro/datafile.h"

namespace nivora {

namespace {

// The coarsest time stamp in use (FAT keeps even seconds): a save made after a read carries a
// time no earlier than this before the read.
constexpr auto timeStampGranule = std::chrono::seconds(3);

} // namespace

std::shared_ptr<const SeriesFile> SeriesFileCache::series(const std::filesystem::path& file) {
    const auto readStart = std::filesystem::file_time_type::clock::now();
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
    const bool recent = modified > readStart - timeStampGranule;
    const auto found = entries_.find(key);
    if (found != entries_.end() && found->second.size == size && found->second.modified == modified) {
        Entry& entry = found->second;
        if (!entry.recent)
            return entry.parsed;
        std::string text = readWholeFile(file);
        if (text == entry.text) {
            if (!recent) {
                entry.recent = false;
                entry.text = std::string();
            }
            return entry.parsed;
        }
    }
    entries_.erase(key);
    std::string text = readWholeFile(file);
    std::string kept = recent ? text : std::string();
    auto parsed = std::make_shared<const SeriesFile>(parseSeriesText(std::move(text), file));
    entries_[key] = Entry{size, modified, parsed, std::move(kept), recent};
    return parsed;
}

void PLTLOC0(const StartupTables& tables, const SeriesFrames& frames, SeriesFileCache& cache,
             const std::filesystem::path& file, DayNumber d, std::int16_t geo, std::int16_t aber,
             double& lon, double& lat, double& dist) {
    const std::shared_ptr<const SeriesFile> series = cache.series(file);
    locateFromSeries(tables, frames, *series, d, geo, aber, lon, lat, dist);
}

} // namespace nivora
