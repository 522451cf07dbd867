// Parsed series files kept between calls of PLTLOC0.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "astro/parsedfilecache.h"
#include "astro/series.h"

namespace nivora {

// Series files kept parsed as ParsedFileCache keeps them: a position from the cache is the one a
// fresh read would give.
class SeriesFileCache {
public:
    // The parsed file. Throws DataFileError as parseSeriesFile does, also for a file that was
    // cached and has since gone. A returned file stays valid after the cache reloads it.
    std::shared_ptr<const SeriesFile> series(const std::filesystem::path& file) { return cache_.get(file); }

    // Forgets every parsed file.
    void clear() { cache_.clear(); }

private:
    ParsedFileCache<SeriesFile> cache_{parseSeriesText, parseSeriesFile};
};

// PLTLOC0 with the series file taken from a cache: the same results, without re-reading an
// unchanged file at every call.
void PLTLOC0(const StartupTables& tables, const SeriesFrames& frames, SeriesFileCache& cache,
             const std::filesystem::path& file, DayNumber d, std::int16_t geo, std::int16_t aber,
             double& lon, double& lat, double& dist);

} // namespace nivora
