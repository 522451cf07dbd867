#include "astro/seriescache.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "astro/datafile.h"
#include "testfiles.h"

using namespace nivora;

namespace {

const std::filesystem::path dataDir = NIVORA_DATA_DIR;

// A series file whose longitude is one constant term of `arcsec` and whose distance is 1.
std::string constantSeries(const std::string& arcsec) {
    std::string zeros;
    for (int i = 0; i < 31; ++i)
        zeros += "0,";
    return "cache case\r\nmean," + zeros + arcsec + "\r\nlatitude\r\ndist\r\n1\r\nmean," + zeros + "1\r\nend\r\n";
}

class SeriesCacheFolder : public TempFolderTest {
protected:
    SeriesCacheFolder() : TempFolderTest("nivora-series-cache-") {}

    double longitudeDegrees(SeriesFileCache& cache, const std::filesystem::path& file) {
        double lon, lat, dist;
        PLTLOC0(StartupTables{}, SeriesFrames{}, cache, file, 1.5, 0, 0, lon, lat, dist);
        return lon * 180 / 3.1415926535898;
    }
};

} // namespace

TEST(SeriesFileCache, GivesWhatAFreshReadGives) {
    const StartupTables tables = loadStartupTables(dataDir);
    SeriesFileCache cache;
    for (const char* name : {"prmmon2.plt", "prmsun2.plt"})
        for (double d : {-36500.25, 1.5, 9000.7, 36000.0}) {
            SCOPED_TRACE(testing::Message() << name << " at " << d);
            double fresh[3], cached[3];
            PLTLOC0(tables, SeriesFrames{}, dataDir / name, d, 0, 1, fresh[0], fresh[1], fresh[2]);
            PLTLOC0(tables, SeriesFrames{}, cache, dataDir / name, d, 0, 1, cached[0], cached[1], cached[2]);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(fresh[i], cached[i]);
        }
}

TEST_F(SeriesCacheFolder, KeepsAnUnchangedFileParsedOnce) {
    SeriesFileCache cache;
    const auto file = write("a.plt", constantSeries("3600"));
    const auto first = cache.series(file);
    EXPECT_EQ(cache.series(file), first);
}

// Each change of size or time alone makes the cache read the file again.
TEST_F(SeriesCacheFolder, RereadsAChangedFile) {
    SeriesFileCache cache;
    const auto file = write("a.plt", constantSeries("3600"));
    EXPECT_NEAR(longitudeDegrees(cache, file), 1, 1e-12);
    const auto stamp = std::filesystem::last_write_time(file);

    write("a.plt", constantSeries("36000")); // longer, same time
    std::filesystem::last_write_time(file, stamp);
    EXPECT_NEAR(longitudeDegrees(cache, file), 10, 1e-12);

    write("a.plt", constantSeries("72000")); // same size, later time
    std::filesystem::last_write_time(file, stamp + std::chrono::seconds(2));
    EXPECT_NEAR(longitudeDegrees(cache, file), 20, 1e-12);
}

// Saved again within the time stamp's granule (two seconds on some file systems) with the same
// size, a file keeps both size and time; what it now holds must still be what is served.
TEST_F(SeriesCacheFolder, NoticesASameSizeRewriteThatKeepsTheTimeStamp) {
    SeriesFileCache cache;
    const auto file = write("a.plt", constantSeries("3600"));
    const auto stamp = std::filesystem::last_write_time(file);
    EXPECT_NEAR(longitudeDegrees(cache, file), 1, 1e-12);

    write("a.plt", constantSeries("7200"));
    std::filesystem::last_write_time(file, stamp);
    EXPECT_NEAR(longitudeDegrees(cache, file), 2, 1e-12);

    write("a.plt", constantSeries("72x0"));
    std::filesystem::last_write_time(file, stamp);
    EXPECT_THROW(cache.series(file), DataFileError);
}

// Once its time stamp lies well before the read, a file of unchanged size and time is served
// without reading it again. The price: a same-size rewrite given back that old stamp on purpose
// (a copy that keeps times, say) goes unseen.
TEST_F(SeriesCacheFolder, ServesAFileWithAnOldTimeStampWithoutReadingIt) {
    SeriesFileCache cache;
    const auto file = write("a.plt", constantSeries("3600"));
    const auto old = std::filesystem::last_write_time(file) - std::chrono::hours(1);
    std::filesystem::last_write_time(file, old);
    EXPECT_NEAR(longitudeDegrees(cache, file), 1, 1e-12);

    write("a.plt", constantSeries("7200"));
    std::filesystem::last_write_time(file, old);
    EXPECT_NEAR(longitudeDegrees(cache, file), 1, 1e-12);
}

TEST_F(SeriesCacheFolder, AHeldFileOutlivesItsReload) {
    SeriesFileCache cache;
    const auto file = write("a.plt", constantSeries("3600"));
    const auto held = cache.series(file);
    write("a.plt", constantSeries("36000"));
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(2));
    EXPECT_NE(cache.series(file), held);
    EXPECT_EQ(held->longitude.terms.at(0).values[0], 3600);
}

TEST_F(SeriesCacheFolder, AMissingOrBrokenFileIsAnErrorNeverAStaleResult) {
    SeriesFileCache cache;
    EXPECT_THROW(cache.series(folder_ / "never.plt"), DataFileError);

    const auto file = write("a.plt", constantSeries("3600"));
    cache.series(file);
    std::filesystem::remove(file);
    EXPECT_THROW(cache.series(file), DataFileError);

    write("a.plt", "cache case\r\nlatitude\r\n");
    EXPECT_THROW(cache.series(file), DataFileError);
}

// The key is the absolute path: the same bare name in another working folder is another file.
TEST_F(SeriesCacheFolder, ABareNameFollowsTheWorkingFolder) {
    SeriesFileCache cache;
    std::filesystem::create_directories(folder_ / "one");
    std::filesystem::create_directories(folder_ / "two");
    write("one/s.plt", constantSeries("3600"));
    write("two/s.plt", constantSeries("7200"));
    const auto stamp = std::filesystem::last_write_time(folder_ / "one/s.plt");
    std::filesystem::last_write_time(folder_ / "two/s.plt", stamp);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_ / "one");
    const double one = longitudeDegrees(cache, "s.plt");
    std::filesystem::current_path(folder_ / "two");
    const double two = longitudeDegrees(cache, "s.plt");
    std::filesystem::current_path(previous);
    EXPECT_NEAR(one, 1, 1e-12);
    EXPECT_NEAR(two, 2, 1e-12);
}

// The reader notes where the non-zero multipliers are so that sums skip the zeros; the sums of
// the shipped files must not move by a single bit for it.
TEST(SeriesTerm, SkippingZeroMultipliersChangesNoBit) {
    const StartupTables tables = loadStartupTables(dataDir);
    for (const char* name : {"prmmon2.plt", "mercury.plt"}) {
        const SeriesFile indexed = parseSeriesFile(dataDir / name);
        SeriesFile unindexed = indexed;
        for (SeriesSection* section : {&unindexed.longitude, &unindexed.latitude, &unindexed.distance})
            for (SeriesTerm& term : section->terms)
                term.usedCount = -1;
        for (double d : {-73000.3, -20000.0, 1.5, 5000.25, 73000.9}) {
            SCOPED_TRACE(testing::Message() << name << " at " << d);
            SeriesArguments v;
            PLTPARAM2(tables, d, 0, v);
            EXPECT_EQ(seriesPosition(indexed, v), seriesPosition(unindexed, v));
        }
    }
}
