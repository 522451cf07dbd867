#include "chartwin/overlay_form.h"

#include <fstream>

#include <gtest/gtest.h>

#include "chartwin/tests/search_fixture.h"

namespace nivora {
namespace {

class OverlayForm : public testing_support::SearchRoom {
protected:
    void SetUp() override
    {
        SearchRoom::SetUp();
        bindOverlayForm(*p_);
        ui().form("FORM4").show();
    }
    bool on(const char* control) { return ui().control(control).enabled(); }
};

// Each option button applies the rule for its own code, whatever was enabled before.
TEST_F(OverlayForm, OptionButtonsEnableTheirRows) {
    struct Case { const char* button; std::vector<const char*> enabled, disabled; };
    const std::vector<Case> cases = {
        {"RADIO13", {"EDIT30", "EDIT31", "TEXT67"}, {}},
        {"RADIO12", {"EDIT30", "EDIT31"}, {}},
        {"RADIO11", {}, {"EDIT30", "EDIT31", "TEXT67"}},
        {"RADIO15", {"EDIT32", "EDIT33"}, {}},
        {"RADIO14", {}, {"EDIT32", "EDIT33"}},
        {"RADIO8", {"EDIT24", "EDIT25"}, {"EDIT35", "EDIT37", "RADIO25", "RADIO26", "TEXT76", "TEXT78"}},
        {"RADIO24", {"EDIT35", "EDIT36", "EDIT37", "RADIO25", "RADIO26", "TEXT76", "TEXT77"}, {"EDIT24"}},
        {"RADIO32", {}, {"EDIT24", "EDIT35", "EDIT37", "RADIO25", "TEXT78"}},
        {"RADIO67", {"EDIT35", "EDIT37", "RADIO26"}, {"EDIT24"}},
        {"RADIO7", {}, {"EDIT24", "EDIT35", "EDIT37", "RADIO26", "TEXT76"}},
        {"RADIO10", {"EDIT26", "EDIT27", "EDIT28", "RADIO17", "RADIO20", "TEXT63"}, {}},
        {"RADIO16", {"EDIT28", "RADIO19", "TEXT57"}, {"EDIT26", "EDIT27"}},
        {"RADIO9", {}, {"EDIT26", "EDIT28", "RADIO18", "TEXT58"}},
        {"RADIO22", {"EDIT34"}, {}},
        {"RADIO21", {}, {"EDIT34"}},
    };
    set("EDIT30", "14");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ui().userClick(c.button);
        for (const char* name : c.enabled) EXPECT_TRUE(on(name)) << name;
        for (const char* name : c.disabled) EXPECT_FALSE(on(name)) << name;
    }
    EXPECT_EQ(ui().control("EDIT30").text(), "14");   // disabling keeps the text
}

TEST_F(OverlayForm, OkKeepsTheSwitchesAndCancelClearsOnlyThem) {
    for (const char* button : {"BUTTON9", "BUTTON14"}) {
        SCOPED_TRACE(button);
        ui().form("FORM4").show();
        ui().control("CHECK4").setValue(1);
        ui().control("CHECK6").setValue(1);
        ui().control("CHECK5").setValue(1);
        set("EDIT54", "mine.txt");
        ui().userClick(button);
        const int kept = std::string(button) == "BUTTON9" ? 1 : 0;
        EXPECT_FALSE(ui().form("FORM4").visible());
        EXPECT_EQ(ui().control("CHECK4").value(), kept);
        EXPECT_EQ(ui().control("CHECK6").value(), kept);
        EXPECT_EQ(ui().control("CHECK5").value(), 1);
        EXPECT_EQ(ui().control("EDIT54").text(), "mine.txt");
    }
}

TEST_F(OverlayForm, ReferFilesAndSwatchesTakeOnlyAChoice) {
    dialogs_->answerFile(std::nullopt);
    set("EDIT54", "before.txt");
    ui().userClick("BUTTON13");
    EXPECT_EQ(ui().control("EDIT54").text(), "before.txt");
    const std::string sample = (folder_ / "tokyo10828.txt").string();
    dialogs_->answerFile(sample);
    ui().userClick("BUTTON13");
    EXPECT_EQ(ui().control("EDIT54").text(), sample);
    EXPECT_EQ(dialogs_->calls.back().title, "DATA FILE");
    EXPECT_EQ(dialogs_->calls.back().filter, "(*.*)");

    p_->overlayColors.markColor = 0x00FF00;
    dialogs_->answerColour(std::nullopt);
    ui().userClick("PICTURE1");
    EXPECT_EQ(p_->overlayColors.markColor, 0x00FF00);
    dialogs_->answerColour(Rgb{100, 100, 55});
    ui().userClick("PICTURE1");
    EXPECT_EQ(p_->overlayColors.markColor, 100 + 256 * 100 + 65536 * 55);
    dialogs_->answerColour(Rgb{255, 255, 255});
    ui().userClick("PICTURE2");
    EXPECT_EQ(p_->overlayColors.commentColor, 0xFFFFFF);
}

TEST_F(OverlayForm, SaveAndLoadFormatThroughTheDialogs) {
    set("EDIT20", "14");
    dialogs_->answerFile((folder_ / "mine.frm").string());
    ui().userClick("BUTTON12");
    ASSERT_TRUE(std::filesystem::exists(folder_ / "mine.frm"));
    EXPECT_EQ(dialogs_->calls.back().title, "Save Format");
    EXPECT_EQ(dialogs_->calls.back().initialName, "form_1.frm");
    EXPECT_EQ(dialogs_->calls.back().filter, "Format Data(*.frm)");
    EXPECT_TRUE(dialogs_->calls.back().confirmOverwrite);

    // The file holds both switches on; loading keeps them as they are now.
    {
        std::ifstream in(folder_ / "mine.frm");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        ASSERT_GE(lines.size(), 45u);
        lines[43] = "1\r";
        lines[44] = "1\r";
        std::ofstream out(folder_ / "mine.frm", std::ios::binary);
        for (const std::string& line : lines) out << line << '\n';
    }
    set("EDIT20", "99");
    dialogs_->answerFile(std::nullopt);
    ui().userClick("BUTTON11");
    EXPECT_EQ(ui().control("EDIT20").text(), "99");
    dialogs_->answerFile((folder_ / "mine.frm").string());
    ui().userClick("BUTTON11");
    EXPECT_EQ(dialogs_->calls.back().title, "Load Format");
    EXPECT_EQ(dialogs_->calls.back().initialName, "*.frm");
    EXPECT_EQ(ui().control("EDIT20").text(), "14");
    EXPECT_EQ(ui().control("CHECK4").value(), 0);
    EXPECT_EQ(ui().control("CHECK6").value(), 0);
    EXPECT_TRUE(alerts().empty());
}

} // namespace
} // namespace nivora
