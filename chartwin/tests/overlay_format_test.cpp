#include "chartwin/overlay_format.h"

#include "chartwin/chartwin_forms.h"
#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include "platform/tests/full_disk.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace nivora {
namespace {

namespace fs = std::filesystem;

struct OverlayFormat : testing::Test {
    OverlayFormat()
        : folder(fs::temp_directory_path() / ("nivora-frm-" + std::to_string(::getpid())))
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        ui.load({"MAINFORM", "main", {}});
        ui.load(dataFileForm());
        ui.setDialogs(std::move(scripted));
    }
    ~OverlayFormat() override { fs::remove_all(folder); }

    std::vector<std::string> save()
    {
        EXPECT_TRUE(FRMSAV(ui, colors, file));
        std::ifstream in(file, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    void write(const std::vector<std::string>& lines)
    {
        std::ofstream out(file, std::ios::binary);
        for (const std::string& line : lines) out << line << "\r\n";
    }
    static std::string trimmed(const std::string& s)
    {
        std::istringstream in(s);
        std::string word;
        in >> word;
        return word;
    }
    bool enabled(const char* name) { return ui.control(name).enabled(); }
    std::string text(const char* name) { return ui.control(name).text(); }

    fs::path folder;
    fs::path file = folder / "form_1.frm";
    Ui ui;
    ScriptedDialogs* dialogs = nullptr;
    OverlayColors colors;
};

TEST(FrameList, ConversionsBothWays)
{
    const struct {
        int index, frameClass, frameVariant;
    } frames[] = {{0, 1, 0}, {1, 4, 0}, {2, 2, 0}, {5, 2, 3}, {6, 3, 0}, {9, 3, 3}};
    for (const auto& f : frames) {
        int c = -1, v = -1, index = -1;
        CRDCNV1(f.index, c, v);
        EXPECT_EQ(c, f.frameClass) << f.index;
        EXPECT_EQ(v, f.frameVariant) << f.index;
        CRDCNV2(c, v, index);
        EXPECT_EQ(index, f.index);
    }
    int c = 7, v = 7, index = 4;
    CRDCNV1(10, c, v);
    EXPECT_EQ(c, 7);
    CRDCNV2(5, 0, index);
    EXPECT_EQ(index, 4);
    CRDCNV2(2, 9, index);   // would land among the ecliptic entries
    EXPECT_EQ(index, 4);
}

TEST(Swatch, TextIsWhiteOnlyOnDarkColours)
{
    EXPECT_EQ(swatchTextColour(0x00FF00), (Rgb{255, 255, 255}));   // 255
    EXPECT_EQ(swatchTextColour(0xFF00FF), (Rgb{0, 0, 0}));         // 510
    EXPECT_EQ(swatchTextColour(0x000100), (Rgb{255, 255, 255}));
    EXPECT_EQ(swatchTextColour(0x010000 + 0xFF), (Rgb{0, 0, 0}));   // 256
}

TEST_F(OverlayFormat, WritesFrameClassAndVariantAndColours)
{
    ui.control("COMBO3").setIndex(5);   // "Equatorial(ICRF)"
    std::vector<std::string> lines = save();
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(trimmed(lines[1]), "2");
    EXPECT_EQ(trimmed(lines[49]), "3");
    EXPECT_EQ(trimmed(lines[29]), "65280");
    EXPECT_EQ(trimmed(lines[30]), "16711935");

    ui.control("COMBO3").setIndex(0);
    ASSERT_TRUE(FRMLOAD(ui, colors, file, 0));
    EXPECT_EQ(ui.control("COMBO3").index(), 5);

    ui.control("COMBO3").setIndex(1);   // "Zenithal(South=0)"
    lines = save();
    EXPECT_EQ(trimmed(lines[1]), "4");
    EXPECT_EQ(trimmed(lines[49]), "0");
}

TEST_F(OverlayFormat, RoundTripRestoresTheWholeForm)
{
    Form form = ui.form("FORM4");
    ui.control("EDIT54").setText("  my, data: file.txt ");
    form.setGroupCode("longitudeUnit", 3);
    form.setGroupCode("markShape", 5);
    form.setGroupCode("commentMode", 2);
    form.setGroupCode("endMode", 2);
    form.setGroupCode("radiusUnit", 2);
    ui.control("EDIT30").setText("40");
    ui.control("EDIT37").setText("2.5");
    ui.control("EDIT29").setText("%,");
    ui.control("EDIT34").setText("END");
    ui.control("CHECK8").setValue(1);
    ui.control("EDIT51").setText("Name, first");
    ui.control("EDIT46").setText("5");
    ui.control("CHECK10").setValue(1);
    ui.control("EDIT57").setText("12");
    ui.control("CHECK4").setValue(1);
    ui.control("CHECK12").setValue(1);
    colors = {0x123456, 0x000001};
    save();

    Ui other;
    other.load({"MAINFORM", "main", {}});
    other.load(dataFileForm());
    OverlayColors read;
    ASSERT_TRUE(FRMLOAD(other, read, file, 1));
    for (const char* edit : {"EDIT54", "EDIT20", "EDIT21", "EDIT30", "EDIT37", "EDIT29", "EDIT34",
                             "EDIT51", "EDIT46", "EDIT57", "EDIT39"})
        EXPECT_EQ(other.control(edit).text(), ui.control(edit).text()) << edit;
    for (const char* group : {"longitudeUnit", "markShape", "commentMode", "endMode", "radiusUnit",
                              "commentPosition", "latitudeUnit"})
        EXPECT_EQ(other.form("FORM4").groupCode(group), form.groupCode(group)) << group;
    for (const char* check : {"CHECK4", "CHECK6", "CHECK5", "CHECK7", "CHECK8", "CHECK10", "CHECK12"})
        EXPECT_EQ(other.control(check).value(), ui.control(check).value()) << check;
    EXPECT_EQ(read.markColor, 0x123456);
    EXPECT_EQ(read.commentColor, 1);
    // The loaded codes enable what they use.
    EXPECT_TRUE(other.control("EDIT30").enabled());
    EXPECT_TRUE(other.control("EDIT35").enabled());
    EXPECT_FALSE(other.control("EDIT24").enabled());
    EXPECT_TRUE(other.control("EDIT26").enabled());
    EXPECT_TRUE(other.control("RADIO17").enabled());
    EXPECT_TRUE(other.control("EDIT34").enabled());
}

TEST_F(OverlayFormat, OnlyModeOneRestoresTheTwoSwitches)
{
    ui.control("CHECK4").setValue(1);
    ui.control("CHECK6").setValue(1);
    save();
    ui.control("CHECK4").setValue(0);
    ui.control("CHECK6").setValue(0);
    ASSERT_TRUE(FRMLOAD(ui, colors, file, 0));
    EXPECT_EQ(ui.control("CHECK4").value(), 0);
    EXPECT_EQ(ui.control("CHECK6").value(), 0);
    ASSERT_TRUE(FRMLOAD(ui, colors, file, 1));
    EXPECT_EQ(ui.control("CHECK4").value(), 1);
    EXPECT_EQ(ui.control("CHECK6").value(), 1);
}

TEST_F(OverlayFormat, TwentyFourLinesTakeTheMissingGroupsDefaults)
{
    ui.control("COMBO3").setIndex(4);   // "Equatorial(Mean)": class 2
    ui.control("CHECK12").setValue(1);
    ui.control("CHECK7").setValue(1);
    ui.control("EDIT50").setText("title");
    ui.control("EDIT35").setText("99");
    ui.control("EDIT39").setText("7");
    colors = {1, 2};
    std::vector<std::string> lines = save();
    lines.resize(24);
    write(lines);

    ASSERT_TRUE(FRMLOAD(ui, colors, file, 1));
    EXPECT_EQ(text("EDIT35"), "");
    EXPECT_EQ(text("EDIT36"), "");
    EXPECT_EQ(text("EDIT37"), "1");
    EXPECT_EQ(text("EDIT39"), "1");
    EXPECT_EQ(colors.markColor, 0x00FF00);
    EXPECT_EQ(colors.commentColor, 0xFF00FF);
    EXPECT_EQ(ui.control("CHECK7").value(), 0);
    EXPECT_EQ(text("EDIT50"), "");
    EXPECT_EQ(ui.control("COMBO3").index(), 2);   // "Equatorial(Apparent)"
    EXPECT_EQ(ui.control("CHECK12").value(), 1);
}

TEST_F(OverlayFormat, AFileCutInsideAGroupReadsAsCutBeforeIt)
{
    ui.control("EDIT35").setText("44");
    ui.control("EDIT39").setText("3");
    std::vector<std::string> lines = save();
    lines.resize(30);   // 25-28 and 29 whole, 30-31 cut in two
    write(lines);
    colors = {5, 6};
    ASSERT_TRUE(FRMLOAD(ui, colors, file, 0));
    EXPECT_EQ(text("EDIT35"), "44");
    EXPECT_EQ(text("EDIT39"), "3");
    EXPECT_EQ(colors.markColor, 0x00FF00);
    EXPECT_EQ(colors.commentColor, 0xFF00FF);
}

TEST_F(OverlayFormat, ShortOrUnreadableFilesChangeNothing)
{
    std::vector<std::string> lines = save();
    lines.resize(23);
    write(lines);
    ui.control("EDIT54").setText("kept.txt");
    EXPECT_FALSE(FRMLOAD(ui, colors, file, 0));
    EXPECT_FALSE(FRMLOAD(ui, colors, folder / "absent.frm", 0));
    EXPECT_EQ(text("EDIT54"), "kept.txt");
    ASSERT_EQ(dialogs->alerts().size(), 2u);
    EXPECT_NE(dialogs->alerts()[0].find("form_1.frm"), std::string::npos);
    EXPECT_NE(dialogs->alerts()[1].find("absent.frm"), std::string::npos);
}

TEST_F(OverlayFormat, CodesOutsideTheirRangeLeaveButtonsAndEnabling)
{
    std::vector<std::string> lines = save();
    lines[13] = " 9 ";   // mark shape
    lines[16] = " 0 ";   // comment mode
    lines[14] = "70";
    write(lines);
    ui.form("FORM4").setGroupCode("markShape", 2);
    enableOverlayControls(ui, "markShape", 2);
    ASSERT_TRUE(FRMLOAD(ui, colors, file, 0));
    EXPECT_EQ(ui.form("FORM4").groupCode("markShape"), 2);
    EXPECT_TRUE(enabled("EDIT24"));
    EXPECT_EQ(text("EDIT24"), "70");
    EXPECT_EQ(ui.form("FORM4").groupCode("commentMode"), 1);
}

TEST_F(OverlayFormat, EnablingFollowsEachGroupsCode)
{
    const struct {
        const char* group;
        int code;
        std::vector<const char*> on, off;
    } cases[] = {
        {"longitudeUnit", 1, {}, {"EDIT30", "TEXT66"}},
        {"longitudeUnit", 3, {"EDIT30", "TEXT66"}, {}},
        {"latitudeUnit", 2, {"EDIT32", "TEXT70"}, {}},
        {"markShape", 4, {}, {"EDIT24", "EDIT35", "RADIO25", "EDIT37"}},
        {"markShape", 2, {"EDIT24"}, {"EDIT35", "RADIO26"}},
        {"markShape", 5, {"EDIT35", "RADIO26", "TEXT78"}, {"EDIT25"}},
        {"commentMode", 3, {"EDIT28", "RADIO20"}, {"EDIT26", "TEXT56"}},
        {"commentMode", 2, {"EDIT26", "EDIT28", "TEXT63"}, {}},
        {"commentMode", 1, {}, {"EDIT26", "EDIT28", "RADIO17"}},
        {"endMode", 2, {"EDIT34"}, {}},
        {"endMode", 1, {}, {"EDIT34"}},
    };
    for (const auto& c : cases) {
        enableOverlayControls(ui, c.group, c.code);
        for (const char* name : c.on) EXPECT_TRUE(enabled(name)) << c.group << c.code << name;
        for (const char* name : c.off) EXPECT_FALSE(enabled(name)) << c.group << c.code << name;
    }
}

TEST_F(OverlayFormat, AFailedWriteKeepsTheOldFileAndSaysSo)
{
    save();
    const auto before = fs::file_size(file);
    ui.control("EDIT54").setText("a much longer name than the one saved before.txt");
    {
        const FullDisk full;
        EXPECT_FALSE(FRMSAV(ui, colors, file));
    }
    EXPECT_EQ(fs::file_size(file), before);
    ASSERT_EQ(dialogs->alerts().size(), 1u);
    EXPECT_NE(dialogs->alerts()[0].find("form_1.frm"), std::string::npos);
}

} // namespace
} // namespace nivora
