#include "converter/conversion.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvex {
namespace {

// Star records with the right ascension right-aligned in 9-18 and the declination in 20-29.
const std::string stars =
    "#number  RA(deg)     Dec(deg)\n"
    "UMa0001  165.93196   61.75103\n"
    "UMa0002  165.46032   56.38243\n"
    "UMa0003  178.45770   53.69476\n"
    "Ori0001   88.79294    7.40706\n"
    "#-\n";

std::string lines(std::initializer_list<const char*> list) {
    std::string text;
    for (const char* line : list) text += std::string(line) + "\r\n";
    return text;
}

TEST(Conversion, SegmentsAndMarkersInPairFileOrder) {
    const std::string pairs =
        "# Big Dipper\n"
        "UMa      UMa0001 UMa0002  trailing text is ignored\n"
        "#-----\n"
        "UMa      UMa0002 UMa0003\n"
        "#- end\n"
        "Ori      Ori0001 UMa0001\n";
    Conversion c = convertConstellationLines(stars, pairs);
    EXPECT_EQ(c.lineFile, lines({"UMa       165.93196   61.75103  165.46032   56.38243",
                                 "#--------",
                                 "UMa       165.46032   56.38243  178.45770   53.69476",
                                 "#--------"}));
    EXPECT_EQ(c.segments, 2);
    EXPECT_EQ(c.dropped, 0);
}

TEST(Conversion, MissingStarsDropOnlyTheirPair) {
    struct Case { const char* pair; int dropped; };
    const Case cases[] = {
        {"UMa      UMa0001 UMa9999", 1},   // second star unknown
        {"UMa      UMa9999 UMa0001", 1},   // first star unknown
        {"UMa       UMa0001 UMa0002", 1},  // numbers shifted by a blank do not match
        {"UMa      UMa0001", 1},           // no second number at all
        {"UMa", 1},
        {"", 1},                           // an empty line is a record with empty numbers
        {"UMa      UMa0001 UMa0001", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.pair);
        const std::string pairs = std::string("Ori      Ori0001 UMa0001\n") + k.pair +
                                  "\nUMa      UMa0002 UMa0003\n#-\n#-\n";
        Conversion c = convertConstellationLines(stars, pairs);
        EXPECT_EQ(c.dropped, k.dropped);
        EXPECT_EQ(c.segments, 3 - k.dropped);
        EXPECT_EQ(c.lineFile.rfind("Ori", 0), 0u);
        EXPECT_NE(c.lineFile.find("UMa       165.46032"), std::string::npos);
    }
}

TEST(Conversion, EmptyPairFileGivesTheTwoMarkers) {
    EXPECT_EQ(convertConstellationLines(stars, "#-\n#-\n").lineFile, lines({"#--------", "#--------"}));
}

TEST(Conversion, FirstOfTwoEqualNumbersWins) {
    const std::string twice = "UMa0001    1.00000    2.00000\nUMa0001    3.00000    4.00000\n#-\n";
    Conversion c = convertConstellationLines(twice, "X        UMa0001 UMa0001\n#-\n#-\n");
    EXPECT_EQ(c.lineFile.substr(0, 52), "X           1.00000    2.00000    1.00000    2.00000");
}

TEST(Conversion, ShortStarLinesArePaddedToTheirColumns) {
    const std::string shortStars =
        "A000001  10.5      -5.25\n"   // declination text shorter than its 10 columns
        "A000002  20.0\n"              // no declination at all
        "A000003\n"                    // no coordinates at all
        "#-\n";
    Conversion c = convertConstellationLines(shortStars,
                                             "Abc      A000001 A000002\n"
                                             "Abc      A000003 A000001\n"
                                             "A\n#-\n#-\n");
    const auto records = splitLines(c.lineFile);
    ASSERT_EQ(records.size(), 4u);
    // The chart reads the coordinates from fixed columns 10, 21, 32 and 43, ten characters each.
    struct Case { std::size_t record; const char *ra1, *dec1, *ra2, *dec2; };
    const Case cases[] = {
        {0, " 10.5     ", "-5.25     ", " 20.0     ", "          "},
        {1, "          ", "          ", " 10.5     ", "-5.25     "},
    };
    for (const Case& k : cases) {
        const std::string_view r = records[k.record];
        SCOPED_TRACE(std::string(r));
        EXPECT_EQ(r.size(), 52u);
        EXPECT_EQ(r.substr(0, 9), "Abc      ");
        EXPECT_EQ(r.substr(9, 10), k.ra1);
        EXPECT_EQ(r.substr(20, 10), k.dec1);
        EXPECT_EQ(r.substr(31, 10), k.ra2);
        EXPECT_EQ(r.substr(42, 10), k.dec2);
    }
}

TEST(Conversion, CrLfAndLfReadAlike) {
    std::string crlfStars, crlfPairs;
    const std::string pairs = "UMa      UMa0001 UMa0002\n#-\n#-\n";
    for (char ch : stars) crlfStars += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    for (char ch : pairs) crlfPairs += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(convertConstellationLines(crlfStars, crlfPairs).lineFile,
              convertConstellationLines(stars, pairs).lineFile);
}

TEST(Conversion, StarTableLimit) {
    auto list = [](int count) {
        std::string text = "#number\n";
        for (int i = 0; i < count; ++i) {
            char line[40];
            std::snprintf(line, sizeof line, "S%06d  100.00000   10.00000\n", i);
            text += line;
        }
        return text + "#- end\nS999999  not a star record after the end\n";
    };
    EXPECT_EQ(readStarTable(list(maxStars)).size(), 4999u);
    EXPECT_THROW(readStarTable(list(maxStars + 1)), ConversionError);
}

TEST(Conversion, MissingMarkersAreRefused) {
    struct Case { const char* stars; const char* pairs; };
    const Case cases[] = {
        {"UMa0001  165.93196   61.75103\n", "#-\n#-\n"},
        {"", "#-\n#-\n"},
        {"#-\n", ""},
        {"#-\n", "UMa      UMa0001 UMa0002\n"},
        {"#-\n", "#-\nUMa      UMa0001 UMa0002\n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.stars) + "|" + k.pairs);
        EXPECT_THROW(convertConstellationLines(k.stars, k.pairs), ConversionError);
    }
}

TEST(Conversion, ArbitraryInputNeverBreaksTheColumns) {
    // Lines built from the pieces the readers look at, in random order and length.
    const char* const pieces[] = {"#-", "#", "UMa0001", "UMa0002", " ", "  165.93196", "\r",
                                  "\n", "\r\n", "-", "\t", "\xff", "UMa      ", "0"};
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        std::string starText, pairText;
        for (std::string* text : {&starText, &pairText}) {
            const int count = random() % 40;
            for (int i = 0; i < count; ++i) *text += pieces[random() % std::size(pieces)];
        }
        try {
            Conversion c = convertConstellationLines(starText + "\n#-\n", pairText);
            for (std::string_view line : splitLines(c.lineFile))
                EXPECT_TRUE(line == "#--------" || line.size() == 52) << line;
        } catch (const ConversionError&) {
        }
    }
}

// "@" stands for a NUL, which a string literal cannot hold.
std::string withNul(std::string text) {
    for (char& c : text)
        if (c == '@') c = '\0';
    return text;
}

TEST(Conversion, ControlCharactersInCopiedFieldsAreRefusedByLine) {
    const std::string pairs = "UMa      UMa0001 UMa0002\n#-\n#-\n";
    struct Case {
        std::string stars, pairs, says;
    };
    const Case cases[] = {
        {withNul("UMa0001  165.9@196   61.75103\nUMa0002  1 2\n#-\n"), pairs,
         "line 1: the right ascension holds the control character \\x00."},
        {"#\nUMa0001  165.93196   61.75103\nUMa\x1b" "002  1 2\n#-\n", pairs,
         "line 3: the star number holds the control character \\x1B."},
        {"UMa0001  1          \t2\n#-\n", pairs, "line 1: the declination holds the control character \\x09."},
        {stars, "#\nUM\x7f      UMa0001 UMa0002\n#-\n#-\n", "line 2: the label holds the control character \\x7F."},
        {stars, withNul("UMa@     UMa9999 UMa0002\n#-\n#-\n"), "line 1: the label"},   // even when dropped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        try {
            convertConstellationLines(c.stars, c.pairs);
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
    // Past column 29 of a star line and column 24 of a pair line nothing is copied or refused.
    EXPECT_EQ(convertConstellationLines(withNul("UMa0001  165.93196   61.75103\tBig@Dipper\n#-\n"),
                                        "UMa      UMa0001 UMa0001\t\x01\n#-\n#-\n")
                  .segments,
              1);
}

TEST(Conversion, EveryLineEndAndAByteOrderMarkReadAlike) {
    const std::string pairs = "UMa      UMa0001 UMa0002\n#-\nUMa      UMa0002 UMa0003\n#-\n";
    const Conversion plain = convertConstellationLines(stars, pairs);
    const auto withEnds = [](std::string text, const std::string& end) {
        std::string out;
        for (char c : text) out += c == '\n' ? end : std::string(1, c);
        return out;
    };
    for (const std::string end : {"\r\n", "\r"}) {
        SCOPED_TRACE(end.size());
        EXPECT_EQ(convertConstellationLines(withEnds(stars, end), withEnds(pairs, end)).lineFile, plain.lineFile);
        EXPECT_EQ(convertConstellationLines("\xEF\xBB\xBF" + withEnds(stars, end), "\xEF\xBB\xBF" + withEnds(pairs, end))
                      .lineFile,
                  plain.lineFile);
    }
}

TEST(Conversion, TheIndexKeepsTheFirstOfEqualNumbersOverAFullTable) {
    std::string table;
    for (int i = 0; i < maxStars - 1; ++i) table += "S" + std::to_string(1000000 + i).substr(1) + " " +
                                                      std::to_string(i) + "\n";
    table += "S000007 second\n#-\n";   // the same number again, last in the list
    const Conversion c = convertConstellationLines(table, "Xyz      S000007 S004997\n#-\n#-\n");
    EXPECT_EQ(c.lineFile.substr(9, 10), "7         ");
    EXPECT_EQ(c.lineFile.substr(31, 10), "4997      ");
}

class ConversionFilesTest : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tarvex-test-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        write("stars.txt", stars);
        write("pairs.txt", "UMa      UMa0001 UMa0002\n#-\n#-\n");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
    }
    std::string read(const std::string& name) {
        std::ifstream in(folder / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    ConversionFiles files(const std::filesystem::path& output) {
        return {folder / "stars.txt", folder / "pairs.txt", output};
    }
    int entries() {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder),
                                              std::filesystem::directory_iterator()));
    }

    std::filesystem::path folder;
};

TEST_F(ConversionFilesTest, ReplacesTheOutputWhole) {
    write("out.net", std::string(10000, 'x'));
    Conversion c = convertFiles(files(folder / "out.net"));
    EXPECT_EQ(c.segments, 1);
    EXPECT_EQ(read("out.net"), c.lineFile);
    EXPECT_EQ(entries(), 3);   // no temporary file left behind
}

TEST_F(ConversionFilesTest, NeverWritesOverAnInput) {
    std::filesystem::create_directories(folder / "sub");
    std::filesystem::create_symlink(folder / "pairs.txt", folder / "link.txt");
    const std::filesystem::path outputs[] = {
        folder / "stars.txt", folder / "sub" / ".." / "pairs.txt", folder / "." / "stars.txt",
        folder / "link.txt"};
    for (const auto& output : outputs) {
        SCOPED_TRACE(output.string());
        EXPECT_THROW(convertFiles(files(output)), ConversionError);
        EXPECT_EQ(read("stars.txt"), stars);
        EXPECT_EQ(read("pairs.txt"), "UMa      UMa0001 UMa0002\n#-\n#-\n");
    }
}

TEST_F(ConversionFilesTest, AFailureLeavesTheOldOutput) {
    write("out.net", "old");
    write("open.txt", "UMa      UMa0001 UMa0002\n#-\n");
    write("endless.txt", "UMa0001  165.93196   61.75103\n");
    ConversionFiles broken[] = {
        {folder / "stars.txt", folder / "open.txt", folder / "out.net"},
        {folder / "endless.txt", folder / "pairs.txt", folder / "out.net"},
        {folder / "missing.txt", folder / "pairs.txt", folder / "out.net"},
        {folder / "stars.txt", folder, folder / "out.net"},
    };
    for (const auto& f : broken) {
        SCOPED_TRACE(f.starPositions.string() + " " + f.starPairs.string());
        EXPECT_THROW(convertFiles(f), ConversionError);
        EXPECT_EQ(read("out.net"), "old");
    }
    EXPECT_EQ(entries(), 5);
}

TEST_F(ConversionFilesTest, InputsThatAreNoPlainFileSayWhy) {
    std::filesystem::create_directories(folder / "sub");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink("loop", folder / "loop");
    const std::filesystem::path huge = folder / "huge.txt";
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, maxInputBytes + 1);   // sparse: costs no disk
    struct Case {
        std::filesystem::path input;
        const char* says;
    };
    const Case cases[] = {
        {folder / "sub", ": it is a folder."},
        {folder / "fifo", ": it is not a plain file."},   // and opening it does not wait for a writer
        {"/dev/null", ": it is not a plain file."},
        {folder / "loop", ": Too many levels of symbolic links."},
        {folder / "missing.txt", ": No such file or directory."},
        {huge, ": it is larger than 64 MB."},
        {"/proc/self/mem", ": Input/output error."},   // a plain file whose reading fails, even for root
        {folder / "odd\nname", "odd\\x0Aname\": No such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.string());
        for (const ConversionFiles& f : {ConversionFiles{c.input, folder / "pairs.txt", folder / "out.net"},
                                         ConversionFiles{folder / "stars.txt", c.input, folder / "out.net"}}) {
            try {
                convertFiles(f);
                ADD_FAILURE() << "no error";
            } catch (const ConversionError& e) {
                EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
            }
            EXPECT_FALSE(std::filesystem::exists(folder / "out.net"));
        }
    }
}

TEST_F(ConversionFilesTest, TheOutputKeepsItsModeAndItsLink) {
    write("real.net", "old");
    std::filesystem::permissions(folder / "real.net", std::filesystem::perms(0640));
    std::filesystem::create_symlink("real.net", folder / "out.net");
    const Conversion c = convertFiles(files(folder / "out.net"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "out.net"));
    EXPECT_EQ(read("real.net"), c.lineFile);
    EXPECT_EQ(std::filesystem::status(folder / "real.net").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(entries(), 4);
}

TEST_F(ConversionFilesTest, AFullDiskKeepsTheOldOutputAndLeavesNoTemporaryFile) {
    write("out.net", "old");
    std::string many = "UMa      UMa0001 UMa0002\n";
    for (int i = 0; i < 12; ++i) many += many;
    write("pairs.txt", many + "#-\n#-\n");
    // Files may grow to 4 KB only, as on a disk that is full; the signal would end the test.
    struct rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    try {
        convertFiles(files(folder / "out.net"));
        ADD_FAILURE() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find("out.net\": File too large."), std::string::npos) << e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(read("out.net"), "old");
    EXPECT_EQ(entries(), 3);
}

// A named pipe in the output's place, or a link to one, stays what it is: nothing is written
// through it, and no plain file replaces it.
TEST_F(ConversionFilesTest, AnOutputThatIsNoPlainFileIsRefusedAndKept) {
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink("fifo", folder / "linked.net");
    for (const auto& [name, what] : {std::pair{"fifo", "a named pipe"}, std::pair{"linked.net", "a link to a named pipe"}}) {
        SCOPED_TRACE(name);
        try {
            convertFiles(files(folder / name));
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write \"" + (folder / name).string() + "\": it is " + what +
                                                 ", not a plain file.");
        }
        EXPECT_EQ(std::filesystem::symlink_status(folder / "fifo").type(), std::filesystem::file_type::fifo);
        EXPECT_TRUE(std::filesystem::is_symlink(folder / "linked.net"));
        EXPECT_EQ(entries(), 4);
    }
}

// What a conversion meets as an ordinary user (nobody, where the tests run as root, for whom
// the system lets every write pass): the error it gives, or "" when it wrote the output.
std::string convertAsOrdinaryUser(const std::filesystem::path& folder, const std::string& output) {
    int pipe[2];
    if (::pipe(pipe) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::string said;
        if (::chdir(folder.c_str()) != 0 ||
            (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)))
            said = "cannot become an ordinary user";
        else {
            try {
                convertFiles({"stars.txt", "pairs.txt", output});
            } catch (const ConversionError& e) {
                said = e.what();
            }
        }
        [[maybe_unused]] const auto sent = ::write(pipe[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string said;
    char block[512];
    for (ssize_t n; (n = ::read(pipe[0], block, sizeof block)) > 0;) said.append(block, std::size_t(n));
    ::close(pipe[0]);
    ::waitpid(child, nullptr, 0);
    return said;
}

// An output that may not be written, or a link that cannot be followed, stays as it was: no
// plain file takes the link's place, and the refusal says why.
TEST_F(ConversionFilesTest, AnOutputThatMayNotBeWrittenOrFollowedIsRefusedAndKept) {
    namespace fs = std::filesystem;
    const bool root = ::geteuid() == 0;
    write("readonly.net", "old");
    fs::permissions(folder / "readonly.net", fs::perms(0444));
    if (root) {
        // The user may pass through the folders above, as through a home folder.
        for (fs::path above = folder.parent_path(); above != above.root_path(); above = above.parent_path())
            fs::permissions(above, fs::perms::others_exec, fs::perm_options::add);
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown((folder / "readonly.net").c_str(), 65534, 65534), 0);
    }
    write("others.net", "old");   // root's, where the tests run as root
    fs::permissions(folder / "others.net", fs::perms(0644));
    fs::create_symlink("loop.net", folder / "loop.net");
    fs::create_symlink("b.net", folder / "a.net");
    fs::create_symlink("a.net", folder / "b.net");
    fs::create_directories(folder / "locked");
    write("locked/out.net", "old");
    fs::permissions(folder / "locked", fs::perms::none);
    fs::create_symlink("locked/out.net", folder / "into.net");
    fs::create_symlink("missing/out.net", folder / "nowhere.net");
    // 41 links one after another: one more than the system follows.
    write("chained.net", "old");
    fs::create_symlink("chained.net", folder / "chain40.net");
    for (int i = 39; i >= 0; --i)
        fs::create_symlink("chain" + std::to_string(i + 1) + ".net", folder / ("chain" + std::to_string(i) + ".net"));
    struct Case {
        const char* output;
        std::string cause;
    };
    std::vector<Case> cases = {
        {"readonly.net", std::strerror(EACCES)},
        {"loop.net", std::strerror(ELOOP)},
        {"a.net", std::strerror(ELOOP)},
        {"into.net", std::strerror(EACCES)},
        {"nowhere.net", std::strerror(ENOENT)},
        {"chain0.net", std::strerror(ELOOP)},
    };
    if (root) cases.push_back({"others.net", std::strerror(EACCES)});
    const int before = entries();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const std::string said = convertAsOrdinaryUser(folder, c.output);
        EXPECT_NE(said.find("Cannot write"), std::string::npos) << said;
        EXPECT_NE(said.find(": " + c.cause + "."), std::string::npos) << said;
        EXPECT_EQ(entries(), before);
    }
    for (const char* link : {"loop.net", "a.net", "b.net", "into.net", "nowhere.net", "chain0.net", "chain40.net"})
        EXPECT_TRUE(fs::is_symlink(folder / link)) << link;
    for (const char* kept : {"readonly.net", "others.net", "chained.net"}) EXPECT_EQ(read(kept), "old") << kept;
    EXPECT_EQ(fs::status(folder / "readonly.net").permissions(), fs::perms(0444));
    fs::permissions(folder / "locked", fs::perms(0700));
    EXPECT_EQ(read("locked/out.net"), "old");
}

// A conversion killed midway leaves its temporary file; the next conversion to the same output
// removes it, but not one another conversion is still writing, nor a person's copy.
TEST_F(ConversionFilesTest, AKilledConversionsLeftoverGoesAtTheNextOne) {
    const char* left[] = {"out.net.~saving~k1LLed", "out.net.~SAVING~abc123"};
    const char* kept[] = {"out.net.Backup", ".out.net.a1b2c3", "out.net.~saving~LiVe01", "other.net.~saving~k1LLed"};
    for (const char* name : left) write(name, "half");
    for (const char* name : kept) write(name, "keep");
    // A live temporary file is locked by its writer.
    const int live = ::open((folder / "out.net.~saving~LiVe01").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    const Conversion c = convertFiles(files(folder / "out.net"));
    ::close(live);
    EXPECT_EQ(read("out.net"), c.lineFile);
    for (const char* name : left) EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
    for (const char* name : kept) EXPECT_EQ(read(name), "keep") << name;
    EXPECT_EQ(entries(), 3 + int(std::size(kept)));
}

// The longest name a folder holds is written too, and a new output takes the usual permissions.
TEST_F(ConversionFilesTest, AnOutputOfTheLongestLegalNameIsWritten) {
    const mode_t mask = ::umask(022);
    for (const std::size_t length : {241, 255}) {
        const std::string name = std::string(length - 4, 'n') + ".net";
        SCOPED_TRACE(length);
        const Conversion c = convertFiles(files(folder / name));
        EXPECT_EQ(read(name), c.lineFile);
        EXPECT_EQ(std::filesystem::status(folder / name).permissions(), std::filesystem::perms(0644));
        std::filesystem::remove(folder / name);
    }
    ::umask(mask);
    EXPECT_EQ(entries(), 2);
}

TEST_F(ConversionFilesTest, UnwritableOutputIsReported) {
    EXPECT_THROW(convertFiles(files(folder / "no-such-folder" / "out.net")), ConversionError);
    EXPECT_THROW(convertFiles(files(folder)), ConversionError);
    EXPECT_THROW(convertFiles(files(folder / "*.*")), ConversionError);
    EXPECT_FALSE(std::filesystem::exists(folder / "*.*"));
}

} // namespace
} // namespace tarvex
