#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/tests/full_disk.h"
#include "platform/tests/named_pipe.h"
#include "astro/datafile.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <filesystem>
#include <fstream>

#include <functional>
#include <optional>
#include <system_error>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nivora {
namespace {

namespace fs = std::filesystem;

struct TempFolder : testing::Test {
    fs::path folder;
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("nivora-platform-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return (folder / name).string();
    }
};

TEST(Fonts, WindowsFamiliesMapToInstalledStandIns)
{
    struct Case { const char* windows; const char* installed; double points; int pixels; };
    const Case cases[] = {
        {"Courier New", "Liberation Mono", 14, 19},
        {"Arial", "Liberation Sans", 12, 16},
        {"ＭＳ ゴシック", "IPAGothic", 16, 21},
        {"MS UI Gothic", "IPAPGothic", 9, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windows);
        EXPECT_EQ(installedFamily(c.windows), c.installed);
        const QFont f = makeFont({c.windows, c.points});
        EXPECT_EQ(f.pixelSize(), c.pixels);
        EXPECT_EQ(QFontInfo(f).family().toStdString(), c.installed);   // really installed
    }
    EXPECT_EQ(installedFamily("Tahoma"), "Tahoma");
}

TEST(Fonts, FamilySearchFindsTheJapaneseFontByItsWindowsName)
{
    EXPECT_TRUE(fontFamilyExists("MS UI Gothic"));
    EXPECT_TRUE(fontFamilyExists("Liberation Sans"));
    EXPECT_FALSE(fontFamilyExists("ms ui gothic"));   // the exact name only
    EXPECT_FALSE(fontFamilyExists("No Such Family"));
}

TEST_F(TempFolder, ExistenceIsAnExactNameSearch)
{
    write("nivora.ini", "x");
    fs::create_directories(folder / "sub.ini");
    EXPECT_TRUE(fileExists((folder / "nivora.ini").string()));
    EXPECT_FALSE(fileExists((folder / "NIVORA.INI").string()));
    EXPECT_FALSE(fileExists((folder / "nivora.in").string()));
    EXPECT_FALSE(fileExists((folder / "sub.ini").string()));   // a folder is no file
    EXPECT_FALSE(fileExists((folder / "*.ini").string()));
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(fileExists((folder / "missing" / "a.txt").string()));
}

TEST_F(TempFolder, LinesEndInCrLfOrLf)
{
    struct Case { const char* bytes; std::vector<std::string> lines; };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},           // last line without an end
        {"a\n\nb\r\n\r\n", {"a", "", "b", ""}},
        {"", {}},
        {" x \r\n", {" x "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
        const auto lines = readLines(write("t.txt", c.bytes));
        ASSERT_TRUE(lines);
        EXPECT_EQ(*lines, c.lines);
    }
    EXPECT_FALSE(readLines(folder / "missing.txt"));
}

TEST_F(TempFolder, AFileIsReplacedOnlyWhenTheNewOneIsComplete)
{
    const std::string path = write("nivora.ini", "old\r\n");
    FileReplacer replacer(path);
    replacer.line("+135.0");
    replacer.line("+35.0");
    EXPECT_EQ(readLines(path)->front(), "old");   // untouched until the commit
    ASSERT_TRUE(replacer.commit());
    EXPECT_EQ(*readLines(path), (std::vector<std::string>{"+135.0", "+35.0"}));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "+135.0\r\n+35.0\r\n");

    FileReplacer nowhere(folder / "missing" / "x.ini");
    nowhere.line("a");
    EXPECT_FALSE(nowhere.commit());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(TempFolder, ReplacingKeepsLinksModesAndNeverFollowsAStaleTemporaryName)
{
    const std::string victim = write("victim.txt", "keep me");
    write("real.ini", "old\r\n");
    fs::permissions(folder / "real.ini", fs::perms(0600));
    fs::create_symlink("real.ini", folder / "nivora.ini");
    // The name the writer once used for its temporary file, planted as a link to another file.
    fs::create_symlink(victim, folder / "nivora.ini.new~");
    FileReplacer replacer(folder / "nivora.ini");
    replacer.line("new");
    ASSERT_TRUE(replacer.commit()) << replacer.error();
    EXPECT_TRUE(replacer.error().empty());
    EXPECT_TRUE(fs::is_symlink(folder / "nivora.ini"));
    EXPECT_EQ(*readLines(folder / "real.ini"), std::vector<std::string>{"new"});
    EXPECT_EQ(fs::status(folder / "real.ini").permissions(), fs::perms(0600));
    EXPECT_EQ(*readLines(victim), std::vector<std::string>{"keep me"});
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
}

TEST_F(TempFolder, AFailedReplaceKeepsTheOldFileAndSaysWhy)
{
    const std::string old = "old line\r\nsecond\r\n";
    write("nivora.ini", old);
    fs::create_directories(folder / "sub");
    struct Case {
        const char* name;
        fs::path target;
        bool fullDisk;
        std::string cause;   // as the system names it
    };
    const Case cases[] = {
        {"full disk", folder / "nivora.ini", true, std::generic_category().message(EFBIG)},
        {"missing folder", folder / "missing" / "x.ini", false, std::generic_category().message(ENOENT)},
        {"a folder in its place", folder / "sub", false, "it is a folder, not a plain file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Small enough to be held, and large enough to be written before the commit.
        for (const int lines : {2000, 60000}) {
            FileReplacer replacer(c.target);
            for (int i = 0; i < lines; ++i) replacer.line("a longer text than the old file had");
            bool done;
            {
                std::optional<FullDisk> full;
                if (c.fullDisk) full.emplace(10);
                done = replacer.commit();
            }
            EXPECT_FALSE(done);
            EXPECT_EQ(replacer.error(), "Cannot write \"" + c.target.string() + "\": " + c.cause);
            std::ifstream in(folder / "nivora.ini", std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
            EXPECT_TRUE(fs::is_empty(folder / "sub"));
        }
    }
}

// A text far larger than the writer holds goes out in pieces of every size, in order, and the
// old file stays until the commit.
TEST_F(TempFolder, ALargeFileIsWrittenWholeAndInOrder)
{
    struct Case {
        const char* name;
        std::size_t piece;
        int count;
    };
    const Case cases[] = {
        {"small pieces", 1000, 5000},
        {"pieces of about the held size", (1 << 20) - 7, 5},
        {"pieces larger than it holds", 3 << 20, 2},
    };
    const std::string path = write("chart.bmp", "old");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string expected;
        FileReplacer replacer(path);
        for (int i = 0; i < c.count; ++i) {
            const std::string piece(c.piece, char('a' + i % 26));
            replacer.raw(piece);
            replacer.raw("|");
            expected += piece + "|";
        }
        std::ifstream before(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}), "old");
        ASSERT_TRUE(replacer.commit()) << replacer.error();
        std::ifstream after(path, std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(after), {}) == expected);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
        std::ofstream(path, std::ios::binary) << "old";
    }
}

// Nothing is written through or over what is no plain file, nor is it ever opened: a named
// pipe would hold the writer up.
TEST_F(TempFolder, TargetsThatAreNoPlainFilesAreRefusedAndKept)
{
    const NamedPipe pipe(folder / "pipe");
    fs::create_directories(folder / "sub");
    fs::create_symlink("pipe", folder / "nivora.frm");
    fs::create_symlink("sub", folder / "nivora.ini");
    struct Case {
        const char* name;
        std::string what;
    };
    const Case cases[] = {
        {"pipe", "a named pipe"},
        {"nivora.frm", "a link to a named pipe"},
        {"sub", "a folder"},
        {"nivora.ini", "a link to a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const int lines : {1, 60000}) {
            FileReplacer replacer(folder / c.name);
            for (int i = 0; i < lines; ++i) replacer.line("settings");
            EXPECT_FALSE(replacer.commit());
            EXPECT_EQ(replacer.error(),
                      "Cannot write \"" + (folder / c.name).string() + "\": it is " + c.what + ", not a plain file");
        }
    }
    EXPECT_EQ(fs::symlink_status(folder / "pipe").type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_symlink(folder / "nivora.frm"));
    EXPECT_TRUE(fs::is_symlink(folder / "nivora.ini"));
    EXPECT_TRUE(fs::is_empty(folder / "sub"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
}

// Links the system cannot follow are refused by the writer with the system's cause, and stay
// links: no plain file ever takes their place.
TEST_F(TempFolder, LinksThatCannotBeFollowedAreRefusedAndKept)
{
    write("settings.ini", "old\r\n");
    // One link after another up to the plain file: the system follows 40.
    const auto chain = [&](const std::string& name, int links) {
        for (int i = links - 1; i >= 0; --i)
            fs::create_symlink(i + 1 == links ? "settings.ini" : name + std::to_string(i + 1),
                               folder / (name + std::to_string(i)));
        return name + "0";
    };
    fs::create_symlink("self", folder / "self");
    fs::create_symlink("there", folder / "back");
    fs::create_symlink("back", folder / "there");
    const std::string tooLong = chain("long", 41);
    const std::string longest = chain("ok", 40);
    const std::string loop = std::generic_category().message(ELOOP);
    struct Case {
        std::string name;
        std::string cause;   // empty: followed and written
    };
    const Case cases[] = {
        {"self", loop},
        {"back", loop},
        {tooLong, loop},
        {longest, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(whyNoLinkFollowed(folder / c.name), c.cause);
        FileReplacer replacer(folder / c.name);
        replacer.line("new");
        EXPECT_EQ(replacer.commit(), c.cause.empty());
        EXPECT_EQ(replacer.error(), c.cause.empty() ? "" : "Cannot write \"" + (folder / c.name).string() + "\": " + c.cause);
        EXPECT_TRUE(fs::is_symlink(folder / c.name));
    }
    EXPECT_EQ(*readLines(folder / "settings.ini"), std::vector<std::string>{"new"});
    for (const char* notALink : {"settings.ini", "missing.ini"}) EXPECT_EQ(whyNoLinkFollowed(folder / notALink), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1 + 3 + 41 + 40);
}

TEST_F(TempFolder, WhatStandsInAPlainFilesPlace)
{
    const NamedPipe pipe(folder / "pipe");
    write("plain.ini", "x");
    fs::create_symlink("plain.ini", folder / "link.ini");
    fs::create_symlink("gone.ini", folder / "dangling.ini");
    fs::create_symlink("/dev/null", folder / "device.ini");
    struct Case {
        fs::path path;
        const char* what;
    };
    const Case cases[] = {
        {folder / "plain.ini", ""},
        {folder / "link.ini", ""},       // followed, as every link to a plain file
        {folder / "missing.ini", ""},
        {folder / "dangling.ini", ""},   // nothing there yet
        {folder / "pipe", "a named pipe"},
        {folder / "device.ini", "a link to a device"},
        {"/dev/null", "a device"},
        {folder, "a folder"},
    };
    for (const Case& c : cases) EXPECT_EQ(notAPlainFileButWhat(c.path), c.what) << c.path;
}

// Only what the writer itself names its temporary files goes: the target, the mark and six
// letters or digits of any case, as a plain file. A person's copy under any other name stays,
// also one the writer of earlier versions could have made ("nivora.ini.qKzRtB").
TEST_F(TempFolder, StrayTemporariesOfTheWriterAndNothingElseAreRemoved)
{
    struct Case {
        const char* name;
        bool removed;
    };
    const Case cases[] = {
        {"nivora.ini.~saving~qKz4tB", true},
        {"nivora.ini.~saving~abcdef", true},     // letters of one case
        {"nivora.ini.~saving~QKZRTB", true},
        {"nivora.ini.~SAVING~qKz4tB", true},
        {"nivora.ini.~saving~123456", true},
        {"nivora.ini.Backup", false},
        {"nivora.ini.backup", false},
        {"nivora.ini.qKzRtB", false},
        {"nivora.ini.~saving~qKz4t", false},     // five
        {"nivora.ini.~saving~qKz4tBw", false},   // seven
        {"nivora.ini.~saving~qK-4tB", false},
        {"nivora.ini~saving~qKz4tB", false},
        {"nivora.ini.saving~qKz4tB", false},
        {"xnivora.ini.~saving~qKz4tB", false},
        {"nivora.frm.~saving~qKz4tB", false},    // another target's
    };
    write("nivora.ini", "kept\r\n");
    for (const Case& c : cases) write(c.name, "left\r\n");
    fs::create_directories(folder / "nivora.ini.~saving~FoLdEr");
    fs::create_symlink("nivora.ini", folder / "nivora.ini.~saving~LiNkEd");
    removeStrayTemporaries(folder / "nivora.ini");
    for (const Case& c : cases) EXPECT_EQ(fs::exists(folder / c.name), !c.removed) << c.name;
    EXPECT_TRUE(fs::is_directory(folder / "nivora.ini.~saving~FoLdEr"));
    EXPECT_TRUE(fs::is_symlink(folder / "nivora.ini.~saving~LiNkEd"));
    EXPECT_EQ(*readLines(folder / "nivora.ini"), std::vector<std::string>{"kept"});
}

// A save killed midway, beside its target or beside the file the target links to: the next
// clean-up removes what it left, and nothing else.
TEST_F(TempFolder, WhatAKilledSaveLeftIsRemoved)
{
    fs::create_directories(folder / "real");
    write("real/settings.ini", "old\r\n");
    fs::create_symlink("real/settings.ini", folder / "linked.ini");
    write("plain.ini", "old\r\n");
    write("plain.ini.Backup", "a copy\r\n");
    for (const char* name : {"plain.ini", "linked.ini"}) {
        SCOPED_TRACE(name);
        const pid_t child = ::fork();
        if (child == 0) {
            // Past what the writer holds, so that the temporary file is there; then killed.
            FileReplacer replacer(folder / name);
            for (int i = 0; i < 60000; ++i) replacer.line("a line of new settings");
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
    }
    const auto count = [](const fs::path& where) {
        return std::distance(fs::directory_iterator(where), fs::directory_iterator());
    };
    ASSERT_EQ(count(folder), 5);          // real, linked.ini, plain.ini, its copy, a leftover
    ASSERT_EQ(count(folder / "real"), 2);
    removeStrayTemporaries(folder / "plain.ini");
    removeStrayTemporaries(folder / "linked.ini");
    EXPECT_EQ(count(folder), 4);
    EXPECT_EQ(count(folder / "real"), 1);
    EXPECT_EQ(*readLines(folder / "plain.ini.Backup"), std::vector<std::string>{"a copy"});
    EXPECT_EQ(*readLines(folder / "linked.ini"), std::vector<std::string>{"old"});
}

// Saves killed midway leave their temporary files; the next save to the same target removes
// them as it begins. A save another running copy is still writing is never removed, neither
// then nor by a start-up's clean-up, and completes.
TEST_F(TempFolder, TheNextSaveRemovesWhatKilledSavesLeftButNeverALiveOne)
{
    const fs::path target = folder / "planisph.bmp";
    write("planisph.bmp", "old");
    write("planisph.bmp.Backup", "a copy");
    const auto beginSave = [&](FileReplacer& replacer) {
        // Past what the writer holds, so that the temporary file is there.
        replacer.raw(std::string(3 << 20, 'k'));
    };
    for (int kill = 0; kill < 3; ++kill) {
        const pid_t child = ::fork();
        if (child == 0) {
            FileReplacer replacer(target);
            beginSave(replacer);
            ::_exit(0);
        }
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    }
    const auto count = [&] { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); };
    EXPECT_EQ(count(), 2 + 1);   // each save removed what the one before left

    // Another copy, midway through its save until told to finish.
    int started[2], finish[2], done[2];
    ASSERT_EQ(::pipe(started), 0);
    ASSERT_EQ(::pipe(finish), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t live = ::fork();
    if (live == 0) {
        FileReplacer replacer(target);
        beginSave(replacer);
        char go = 0;
        [[maybe_unused]] auto w = ::write(started[1], &go, 1);
        [[maybe_unused]] auto r = ::read(finish[0], &go, 1);
        replacer.raw("live");
        const char result = replacer.commit() ? 'y' : 'n';
        [[maybe_unused]] auto said = ::write(done[1], &result, 1);
        ::_exit(0);
    }
    char go = 0;
    ASSERT_EQ(::read(started[0], &go, 1), 1);
    EXPECT_EQ(count(), 2 + 1);   // the live one only

    removeStrayTemporaries(target);   // as a second copy's start does
    EXPECT_EQ(count(), 2 + 1);
    {
        FileReplacer replacer(target);
        beginSave(replacer);
        EXPECT_EQ(count(), 2 + 1 + 1);   // its own and the live one only
        replacer.raw("next");
        ASSERT_TRUE(replacer.commit()) << replacer.error();
    }
    EXPECT_EQ(count(), 2 + 1);

    ASSERT_EQ(::write(finish[1], &go, 1), 1);
    char result = 0;
    ASSERT_EQ(::read(done[0], &result, 1), 1);
    ASSERT_EQ(::waitpid(live, nullptr, 0), live);
    EXPECT_EQ(result, 'y');
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(fs::file_size(target), (3u << 20) + 4);
    EXPECT_EQ(*readLines(folder / "planisph.bmp.Backup"), std::vector<std::string>{"a copy"});
    for (int* ends : {started, finish, done})
        for (int i = 0; i < 2; ++i) ::close(ends[i]);
}

// What stands at the target is checked again just before the rename: a named pipe or a folder
// put there while the text was written stays what it is.
TEST_F(TempFolder, ATargetChangedWhileWritingIsCheckedAgain)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> change;
        const char* what;
    };
    const Case cases[] = {
        {"a named pipe", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, "a named pipe"},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, "a folder"},
        {"a link to a device", [](const fs::path& p) { fs::create_symlink("/dev/null", p); }, "a link to a device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path target = folder / "nivora.ini";
        write("nivora.ini", "old");
        FileReplacer replacer(target);
        replacer.raw(std::string(3 << 20, 'x'));
        fs::remove(target);
        c.change(target);
        EXPECT_FALSE(replacer.commit());
        EXPECT_EQ(replacer.error(), "Cannot write \"" + target.string() + "\": it is " + c.what + ", not a plain file");
        EXPECT_NE(fs::symlink_status(target).type(), fs::file_type::regular);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
        fs::remove(target);
    }
}

// A file without write permission stays as it is, also where the system lets root write it;
// the longest names a folder holds are written, and what a killed save to them left goes.
TEST_F(TempFolder, ReadOnlyFilesStayAndTheLongestNamesAreWritten)
{
    for (const fs::perms mode : {fs::perms(0444), fs::perms(0400), fs::perms::none}) {
        SCOPED_TRACE(int(mode));
        write("nivora.ini", "old\r\n");
        fs::permissions(folder / "nivora.ini", mode);
        FileReplacer replacer(folder / "nivora.ini");
        replacer.line("new");
        EXPECT_FALSE(replacer.commit());
        EXPECT_EQ(replacer.error(), "Cannot write \"" + (folder / "nivora.ini").string() + "\": " +
                                        std::generic_category().message(EACCES));
        fs::permissions(folder / "nivora.ini", fs::perms(0600));
        EXPECT_EQ(*readLines(folder / "nivora.ini"), std::vector<std::string>{"old"});
        fs::remove(folder / "nivora.ini");
    }
    for (const std::size_t length : {241, 255}) {
        SCOPED_TRACE(length);
        const fs::path target = folder / (std::string(length - 4, 'n') + ".bmp");
        const pid_t child = ::fork();
        if (child == 0) {
            FileReplacer killed(target);
            killed.raw(std::string(3 << 20, 'k'));
            ::_exit(0);
        }
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        FileReplacer replacer(target);
        replacer.line("new");
        ASSERT_TRUE(replacer.commit()) << replacer.error();
        EXPECT_EQ(*readLines(target), std::vector<std::string>{"new"});
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
        fs::remove(target);
    }
}

TEST_F(TempFolder, ReadingLinesKeepsTheReadersRules)
{
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" "a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
        EXPECT_EQ(readLines(write("t.txt", c.bytes)), c.lines);
    }
    fs::create_directories(folder / "sub");
    std::string why;
    EXPECT_FALSE(readLines(folder / "sub", &why));
    EXPECT_NE(why.find("sub\": expected a data file, not a folder"), std::string::npos) << why;
    const fs::path huge = folder / "huge.txt";
    std::ofstream(huge).close();
    fs::resize_file(huge, maxDataFileBytes + 1);
    EXPECT_FALSE(readLines(huge, &why));
    EXPECT_NE(why.find("huge.txt\": expected a data file of at most 64 MB"), std::string::npos) << why;
}

TEST(Sandbox, TestsWriteOnlyIntoAFolderOfTheirOwn)
{
    // Qt keeps its file-dialog history under the home folder; a test must never touch the user's.
    const char* sandbox = std::getenv("NIVORA_TEST_SANDBOX");
    ASSERT_NE(sandbox, nullptr) << "run through scripts/sandboxed-test.sh";
    for (const char* name : {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                             "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        const char* value = std::getenv(name);
        ASSERT_NE(value, nullptr) << name;
        EXPECT_TRUE(std::string_view(value).starts_with(sandbox)) << name << "=" << value;
    }
    EXPECT_TRUE(fs::temp_directory_path().string().starts_with(sandbox));
}

TEST(Clock, TestsReplaceTheClock)
{
    const LocalDateTime fixed{2008, 12, 31, 23, 59, 0};
    {
        ClockOverride clock([&] { return fixed; });
        EXPECT_EQ(localNow(), fixed);
    }
    const LocalDateTime now = localNow();
    EXPECT_GE(now.year, 2020);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
}

// The computer's own zone, east positive, in whole minutes; POSIX writes its offsets west
// positive.
TEST(Clock, TheComputersZoneIsItsOffsetFromUtc)
{
    const char* before = std::getenv("TZ");
    const std::string kept = before ? before : "";
    const std::pair<const char*, int> zones[] = {
        {"UTC0", 0}, {"JST-9", 540}, {"EST5", -300}, {"IST-5:30", 330}, {"NST3:30", -210}, {"NPT-5:45", 345},
    };
    for (const auto& [zone, minutes] : zones) {
        setenv("TZ", zone, 1);
        tzset();
        EXPECT_EQ(localNow().utcOffsetMinutes, minutes) << zone;
    }
    if (before)
        setenv("TZ", kept.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST_F(TempFolder, ScriptedOpenDialogAcceptsOnlyExistingFiles)
{
    ScriptedDialogs d;
    const std::string present = write("form_1.frm", "x");
    d.answerFile(present);
    d.answerFile((folder / "gone.frm").string());
    d.answerFile(std::nullopt);
    EXPECT_EQ(d.openFile("Load Format", "*.frm", "Format Data(*.frm)"), present);
    EXPECT_EQ(d.openFile("Load Format", "*.frm", "Format Data(*.frm)"), std::nullopt);
    EXPECT_EQ(d.openFile("Load Format", "*.frm", "Format Data(*.frm)"), std::nullopt);
    EXPECT_EQ(d.openFile("Load Format", "*.frm", "Format Data(*.frm)"), std::nullopt);  // none queued
    ASSERT_EQ(d.calls.size(), 4u);
    EXPECT_EQ(d.calls[0].title, "Load Format");
    EXPECT_EQ(d.calls[0].filter, "Format Data(*.frm)");
}

} // namespace
} // namespace nivora
