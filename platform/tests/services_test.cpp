#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/fonts.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>

#include <filesystem>
#include <fstream>

namespace nivora {
namespace {

namespace fs = std::filesystem;

struct TempFolder : testing::Test {
    fs::path folder;
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("nivora-platform-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
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
