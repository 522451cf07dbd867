// Parsed series files kept between calls of PLTLOC0.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "astro/series.h"

namespace nivora {

// Holds each series file parsed once and parses it again whenever the file on disk changes (its
// size or its modification time), so a position from the cache is the one a fresh read would
// give. A time stamp within a few seconds of the read could still be shared by a later save of
// the same size (file systems that keep whole or even seconds), so until the stamp lies that far
// back the file is read again and compared with the text that was parsed. What remains unseen is
// a same-size rewrite given an old time stamp on purpose. Files are told apart by their absolute
// path, so a change of the working folder never serves another folder's file. One cache belongs
// to one program run; it is not thread-safe.
class SeriesFileCache {
public:
    // The parsed file. Throws DataFileError as parseSeriesFile does, also for a file that was
    // cached and has since gone. A returned file stays valid after the cache reloads it.
    std::shared_ptr<const SeriesFile> series(const std::filesystem::path& file);

    // Forgets every parsed file.
    void clear() { entries_.clear(); }

private:
    struct Entry {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        std::shared_ptr<const SeriesFile> parsed;
        // The parsed text, kept while the time stamp is too recent to vouch for it; empty after.
        std::string text;
        bool recent = false;
    };
    std::map<std::filesystem::path, Entry> entries_;
};

// PLTLOC0 with the series file taken from a cache: the same results, without re-reading an
// unchanged file at every call.
void PLTLOC0(const StartupTables& tables, const SeriesFrames& frames, SeriesFileCache& cache,
             const std::filesystem::path& file, DayNumber d, std::int16_t geo, std::int16_t aber,
             double& lon, double& lat, double& dist);

} // namespace nivora
