// Every reader against the files a careless or unlucky user makes: an editor's byte-order mark,
// old Mac line ends, a truncated download, a folder, a huge file, absurd numbers.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "astro/datafile.h"
#include "astro/precession.h"
#include "astro/series.h"
#include "astro/starlist.h"
#include "astro/startuptables.h"
#include "testfiles.h"

using namespace nivora;
namespace fs = std::filesystem;

namespace {

// Thirty-one multipliers, all 0 but the fourth (v(6), the first mean element).
const std::string multipliers = "0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0\r\n0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";

const std::string seriesText = "Test body\r\n"
                               "#1\r\n" + multipliers + ", 0, 3600, 0, 0, 0\r\n"
                               "latitude\r\n"
                               "#2\r\n" + multipliers + ", 90, 360, 0, 0, 0\r\n"
                               "dist\r\n"
                               "1000\r\n"
                               "mean\r\n" + multipliers + ", 1000\r\n"
                               "ascending-node\r\n"
                               "10 0 0 0 0 0 0\r\n"
                               "inclination\r\n"
                               "20 0 0 0 0 0 0\r\n"
                               "end\r\n";

// A star record: number in 1-7, RA in 8-18, Dec in 20-29, magnitude in 49-53, then the name.
std::string starRecord(const char* number, const char* ra, const char* dec, const char* magnitude) {
    std::string line(54, ' ');
    line.replace(0, 7, number);
    line.replace(8, std::string(ra).size(), ra);
    line.replace(19, std::string(dec).size(), dec);
    line.replace(48, std::string(magnitude).size(), magnitude);
    return line + "Name\r\n";
}

const std::string starListText = "#number  RA         Dec\r\n" + starRecord("UMa0001", "165.93196", "61.75103", "1.8") +
                                 starRecord("UMa0002", "165.46032", "56.38243", "2.3") + "#-\r\n";

std::string fileText(const fs::path& file) {
    return readWholeFile(file);
}

double sum(const SeriesSection& section) {
    double total = double(section.terms.size());
    for (const SeriesTerm& term : section.terms)
        for (double x : term.values) total += x;
    return total;
}

// A reader as the tests see it: its text in, a fingerprint of what it read out.
struct Reader {
    const char* name;
    std::string text;                                   // a good file, CR LF line ends
    int neededLines;                                    // the lines before it is complete
    std::function<double(const fs::path&)> read;
};

std::vector<Reader> readers() {
    return {
        {"ET-UTC.txt", fileText(fixture("startup-iau2006/ET-UTC.txt")), 4,
         [](const fs::path& file) {
             const DeltaTTable table = loadDeltaTTable(file);
             double total = table.rowCount;
             for (int r = 0; r < table.rowCount; ++r) total += table.rows[r][0] * 7 + table.rows[r][1];
             return total;
         }},
        {"prmmean2.plt", fileText(fixture("startup-iau2006/prmmean2.plt")), 50,
         [](const fs::path& file) {
             double total = 0;
             for (const auto& block : loadMeanElements(file))
                 for (const auto& row : block)
                     for (double x : row) total += x;
             return total;
         }},
        {"prmprc.txt", fileText(fixture("startup-iau2006/prmprc.txt")), 17,
         [](const fs::path& file) {
             double total = 0;
             for (const auto& angle : loadPrecessionPolynomials(file))
                 for (double x : angle) total += x;
             return total;
         }},
        {"body.plt", seriesText, 18,
         [](const fs::path& file) {
             const SeriesFile s = parseSeriesFile(file);
             return sum(s.longitude) + 3 * sum(s.latitude) + 5 * sum(s.distance) + s.divisor +
                    s.nodeBlocks.size() * 100 + s.nodeBlocks.at(0).inclination[0];
         }},
        {"ALLSTAR5.txt", starListText, 4,
         [](const fs::path& file) {
             const StarList list = readStarList(file);
             double total = double(list.records.size());
             for (const StarRecord& r : list.records)
                 total += r.raDegrees + 3 * r.decDegrees + 5 * r.magnitude + 7 * double(list.name(r).size());
             return total;
         }},
        {"nutation.txt", fileText(fixture("nutation-one-term/nutation.txt")), 10,
         [](const fs::path& file) {
             const NutationSeriesFile n = parseNutationFile(file);
             return sum(n.longitude) + 3 * sum(n.obliquity);
         }},
    };
}

std::vector<std::string> linesWithEnds(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

class HostileFiles : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("nivora-hostile-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path write(const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
        return folder / name;
    }

    fs::path folder;
};

TEST_F(HostileFiles, EveryReaderAcceptsAMarkAndEveryLineEndAndRefusesTruncations) {
    for (const Reader& reader : readers()) {
        SCOPED_TRACE(reader.name);
        const double good = reader.read(write(reader.name, reader.text));
        // A byte-order mark, LF and lone CR line ends read the same as the plain CR LF file.
        const std::string forms[] = {"\xEF\xBB\xBF" + reader.text, replaceAll(reader.text, "\r\n", "\n"),
                                     replaceAll(reader.text, "\r\n", "\r"),
                                     "\xEF\xBB\xBF" + replaceAll(reader.text, "\r\n", "\r")};
        for (const std::string& text : forms)
            EXPECT_EQ(reader.read(write(reader.name, text)), good) << text.substr(0, 20);

        // Cut before it is complete: an error that names a line of what is there.
        const std::vector<std::string> lines = linesWithEnds(reader.text);
        std::string cut;
        for (int kept = 0; kept < reader.neededLines; cut += lines[kept++]) {
            SCOPED_TRACE(kept);
            try {
                reader.read(write(reader.name, cut));
                ADD_FAILURE() << "accepted a file cut after line " << kept;
            } catch (const DataFileError& error) {
                EXPECT_EQ(error.file(), folder / reader.name);
                EXPECT_LE(error.line(), kept + 1);
            }
        }
    }
}

TEST_F(HostileFiles, EveryReaderRefusesByNameWhatIsNoPlainFileOrTooLarge) {
    fs::create_directories(folder / "folder");
    const fs::path huge = folder / "huge.txt";
    std::ofstream(huge).close();
    fs::resize_file(huge, maxDataFileBytes + 1);   // sparse: costs no disk
    fs::create_symlink("loop", folder / "loop");
    struct Case {
        fs::path file;
        const char* says;
    };
    const Case cases[] = {
        {folder / "missing.txt", "an existing data file"},
        {folder / "folder", "not a folder"},
        {"/dev/null", "not a device or pipe"},
        {folder / "loop", "a readable data file ("},
        {huge, "at most 64 MB"},
    };
    for (const Reader& reader : readers())
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(reader.name) + " " + c.file.string());
            try {
                reader.read(c.file);
                ADD_FAILURE() << "no error";
            } catch (const DataFileError& error) {
                EXPECT_EQ(error.file(), c.file);
                EXPECT_EQ(error.line(), 0);
                EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
            }
        }
}

// A named pipe put in a data file's place at any moment, between the checks and the reading
// included, is refused and never waited on: the reader holds to what it opened. In a child
// process, ended by an alarm should a read wait for ever.
TEST_F(HostileFiles, ANamedPipeSwappedInAtAnyMomentNeverHoldsAReaderUp) {
    const fs::path name = folder / "swapped.txt";
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(30);
        std::atomic<bool> stop = false;
        std::thread swapper([&] {
            const fs::path pipe = folder / "pipe.tmp", plain = folder / "plain.tmp";
            while (!stop) {
                ::mkfifo(pipe.c_str(), 0600);
                ::rename(pipe.c_str(), name.c_str());
                std::ofstream(plain) << "1\r\n";
                ::rename(plain.c_str(), name.c_str());
            }
        });
        int refused = 0, read = 0;
        for (int i = 0; i < 20000; ++i) {
            try {
                readWholeFile(name);
                ++read;
            } catch (const DataFileError& error) {
                ++refused;
            }
        }
        stop = true;
        swapper.join();
        ::_exit(refused > 0 && read > 0 ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "a read waited on the pipe" : "the swap was never met");
}

TEST_F(HostileFiles, AReadThatFailsIsAnErrorNotAShortFile) {
    // A regular file whose reading fails even for root: the process's memory from address 0.
    EXPECT_THROW(readWholeFile("/proc/self/mem"), DataFileError);
}

TEST_F(HostileFiles, NumbersThatAreFiniteButAbsurdNeverReachADrawing) {
    const StartupTables good = loadStartupTables(fixture("startup-iau2006"));
    const SeriesFrames frames;
    const double d = 365250 + 1.5;   // T = 10: the squares of huge coefficients overflow
    double lon, lat, dist, dpsi, deps, eps;
    RotationMatrix m1, m2, m3;

    struct SeriesCase {
        const char* name;
        std::string text;
    };
    const SeriesCase seriesCases[] = {
        {"term 1e308", replaceAll(seriesText, ", 0, 3600, 0, 0, 0", ", 0, 1e308, 1e308, 0, 0")},
        {"divisor 1e-300", replaceAll(seriesText, "dist\r\n1000", "dist\r\n1e-300")},
        {"exponent 1e308", replaceAll(replaceAll(seriesText, "dist\r\n", "dist-exp\r\n"), ", 1000\r\n", ", 1e308\r\n")},
    };
    for (const SeriesCase& c : seriesCases) {
        SCOPED_TRACE(c.name);
        const fs::path file = write("body.plt", c.text);
        try {
            PLTLOC0(good, frames, file, d, 0, 0, lon, lat, dist);
            ADD_FAILURE() << "gave " << lon << " " << lat << " " << dist;
        } catch (const DataFileError& error) {
            EXPECT_EQ(error.file(), file);
        }
    }

    const fs::path nutation = write("nutation.txt", replaceAll(fileText(fixture("nutation-one-term/nutation.txt")),
                                                               "-17.2 0", "1e308 1e308"));
    EXPECT_THROW(NUTATION2(good, d, dpsi, deps, nutation), DataFileError);

    StartupTables absurd = good;
    absurd.meanElements[3][1][2] = 1e308;
    SeriesArguments v;
    try {
        PLTPARAM2(absurd, d, 0, v);
        ADD_FAILURE() << "no error";
    } catch (const DataFileError& error) {
        EXPECT_EQ(error.file(), good.meanElementsFile);
    }
    PLTPARAM2(absurd, std::nan(""), 0, v);   // a day number that is no number is no file's fault

    absurd = good;
    absurd.precessionPolynomials[2][2] = 1e308;
    try {
        PRECMT(absurd, d, m1, m2, m3, eps);
        ADD_FAILURE() << "no error";
    } catch (const DataFileError& error) {
        EXPECT_EQ(error.file(), fixture("startup-iau2006") / "prmprc.txt");
    }
}

TEST_F(HostileFiles, DeltaTRowsMustAscend) {
    struct Case {
        const char* text;
        int line; // 0: accepted
    };
    const Case cases[] = {
        {"  -1000   60.0\r\n   4000   66.0\r\n#-\r\n", 0},
        {"   4000   66.0\r\n  -1000   60.0\r\n#-\r\n", 2},
        {"  -1000   60.0\r\n  -1000   61.0\r\n#-\r\n", 2},
        {"# head\r\n  -1000   60.0\r\n   4000   66.0\r\n\r\n#-\r\n", 4},   // a blank line is (0, 0)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parseDeltaTTable(c.text, "ET-UTC.txt");
            EXPECT_EQ(c.line, 0);
        } catch (const DataFileError& error) {
            EXPECT_EQ(error.line(), c.line);
        }
    }
}

TEST_F(HostileFiles, AMisspeltKeywordIsReportedWhereItStands) {
    struct Case {
        std::string from, to;
        int line;
    };
    const Case cases[] = {
        {"latitude\r\n", "latitud\r\n", 5},
        {"dist\r\n", "distance\r\n", 0},   // any item beginning "dist" opens the distance section
        // Unknown items are skipped, so the distance section runs on to "end" without the node.
        {"ascending-node\r\n", "ascending node\r\n", 0},
        {"end\r\n", "ende\r\n", 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const std::string text = replaceAll(seriesText, c.from, c.to);
        try {
            parseSeriesText(text, "body.plt");
            EXPECT_EQ(c.line, 0);
        } catch (const DataFileError& error) {
            EXPECT_EQ(error.line(), c.line) << error.what();
        }
    }
    // The NUL is shown, and nothing after it is lost.
    try {
        parseSeriesText(replaceAll(seriesText, "end\r\n", std::string("en\0d\r\n", 6)), "body.plt");
    } catch (const DataFileError& error) {
        EXPECT_NE(std::string(error.what()).find("after \"en\\x00d\""), std::string::npos) << error.what();
    }
}

} // namespace
