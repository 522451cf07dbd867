#include "app/data_files.h"

#include "app/tests/started_program.h"

#include <gtest/gtest.h>

namespace nivora {
namespace {

struct DataFiles : StartedProgram {
    DataFiles() : StartedProgram("datafiles") {}
    void SetUp() override
    {
        folder.copyData({"nation.txt"});
        write("short.txt", {"# two lists", "And Andromeda", "", "  Ant Antlia", "#comment", "#--------",
                            "Aps after the end"});
        write("open.txt", {"Ari Aries", "Aur Auriga"});
        start();
    }
    Control combo() { return program->ui.control("COMBO2"); }
    DataFileSettings& files() { return program->dataFileSettings; }
};

TEST_F(DataFiles, TheListEndsAtItsMarkerAndKeepsLinesAsTheyAre)
{
    files().dataFiles[0][2] = "short.txt";
    refillConstellationList(*program);
    EXPECT_EQ(combo().items(), (std::vector<std::string>{"And Andromeda", "", "  Ant Antlia"}));
    EXPECT_EQ(combo().index(), -1);
    EXPECT_TRUE(alerts().empty());

    write("empty.txt", {"#-", "And Andromeda"});
    files().dataFiles[0][2] = "empty.txt";
    refillConstellationList(*program);
    EXPECT_EQ(combo().itemCount(), 0);
}

TEST_F(DataFiles, AListThatCannotBeReadIsNamedOnceAndNeverHangs)
{
    const struct {
        const char* name;
        int items;
        const char* named;
    } cases[] = {
        {"open.txt", 2, "open.txt"},   // no end marker: the items read so far
        {"absent.txt", 0, "absent.txt"},
        {"", 0, "no file name"},
    };
    for (const auto& c : cases) {
        dialogs->calls.clear();
        files().dataFiles[0][2] = c.name;
        refillConstellationList(*program);
        EXPECT_EQ(combo().itemCount(), c.items) << c.name;
        ASSERT_EQ(alerts().size(), 1u) << c.name;
        EXPECT_NE(alerts()[0].find(c.named), std::string::npos) << alerts()[0];
    }
}

TEST_F(DataFiles, TheEarthMapSetFillsTheListWithNations)
{
    program->chartView.earthMap = 1;
    refillConstellationList(*program);
    EXPECT_GT(combo().itemCount(), 200);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(DataFiles, OkRefillsOnlyWhenTheCurrentListNameChanged)
{
    Ui& ui = program->ui;
    ASSERT_EQ(combo().itemCount(), 99);
    combo().setIndex(4);

    ui.userMenu("SETFILES");
    ui.userClick("BUTTON5");   // unchanged
    EXPECT_FALSE(ui.form("FORM3").visible());
    EXPECT_EQ(combo().index(), 4);

    ui.control("EDIT95").setText("short.txt");   // the set not shown
    ui.control("EDIT59").setText("faint.txt");
    ui.userClick("BUTTON5");
    EXPECT_EQ(files().dataFiles[1][2], "short.txt");
    EXPECT_EQ(files().dataFiles[0][1], "faint.txt");
    EXPECT_EQ(combo().index(), 4);
    EXPECT_EQ(combo().itemCount(), 99);

    ui.control("EDIT60").setText("open.txt ");   // an exact compare: a blank is a change
    ui.userClick("BUTTON5");
    EXPECT_EQ(files().dataFiles[0][2], "open.txt ");
    EXPECT_EQ(combo().index(), -1);
    EXPECT_EQ(alerts().size(), 1u);   // "open.txt " cannot be read

    ui.control("EDIT60").setText("open.txt");
    ui.userClick("BUTTON5");
    EXPECT_EQ(combo().itemCount(), 2);
}

TEST_F(DataFiles, CancelRestoresTheFormFromTheTable)
{
    Ui& ui = program->ui;
    dialogs->answerFile(path("open.txt"));
    ui.userClick("BUTTON3");
    EXPECT_EQ(text("EDIT60"), path("open.txt"));
    EXPECT_EQ(files().dataFiles[0][2], "velka.txt");   // only "OK" stores it
    // The dialog started on the stored entry, with the row's title and filter.
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls[0].title, "CONSTELLATION LIST FILE");
    EXPECT_EQ(dialogs->calls[0].initialName, path("velka.txt"));
    EXPECT_EQ(dialogs->calls[0].filter, "(*.*)");

    ui.userClick("BUTTON57");   // cancelled: the field stays
    EXPECT_EQ(text("EDIT96"), "coast_bd.net");
    EXPECT_EQ(dialogs->calls[1].filter, "(*.net)");

    ui.control("RADIO57").setValue(1);
    ui.control("RADIO58").setValue(0);
    ui.userClick("BUTTON6");
    EXPECT_EQ(text("EDIT60"), "velka.txt");
    EXPECT_EQ(ui.control("RADIO57").value(), files().fontKind == 1 ? 1 : 0);
}

TEST_F(DataFiles, JapaneseFontsNeedTheirFamilyElseEuropeanForGood)
{
    Program& p = *program;
    p.dataFileSettings.fontKind = 2;
    applyInterfaceFonts(p, {"Arial", "Courier New"});
    EXPECT_EQ(p.dataFileSettings.fontKind, 1);
    EXPECT_EQ(p.ui.control("COMBO2").font().family, "Arial");
    EXPECT_EQ(p.ui.control("EDIT54").font().family, "Arial");
    EXPECT_EQ(p.ui.form("FORM6").font(), (FontSpec{"Courier New", 14}));

    p.dataFileSettings.fontKind = 2;
    applyInterfaceFonts(p, {"Arial", "MS UI Gothic"});
    EXPECT_EQ(p.dataFileSettings.fontKind, 2);
    EXPECT_EQ(p.ui.control("EDIT19").font().family, "MS UI Gothic");
    EXPECT_EQ(p.ui.control("EDIT38").font().family, "MS UI Gothic");
    EXPECT_EQ(p.ui.control("EDIT93").font().family, "Arial");   // the Earth set keeps its font
    EXPECT_EQ(p.ui.form("FORM6").font(), (FontSpec{"ＭＳ ゴシック", 16}));

    p.dataFileSettings.fontKind = 1;
    applyInterfaceFonts(p, {"MS UI Gothic"});
    EXPECT_EQ(p.ui.control("EDIT58").font().family, "Arial");
}

} // namespace
} // namespace nivora
