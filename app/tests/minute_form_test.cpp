#include "options/minute_form.h"

#include "app/settings_file.h"
#include "app/tests/started_program.h"
#include "astro/constants.h"

#include <gtest/gtest.h>

namespace nivora {
namespace {

struct MinuteForm : StartedProgram {
    MinuteForm() : StartedProgram("minute") {}
    void SetUp() override { start(); }

    Ui& ui() { return program->ui; }
    int value(const char* control) { return ui().control(control).value(); }
    std::vector<std::string> coefficients()
    {
        std::vector<std::string> texts;
        for (int edit = 67; edit <= 74; ++edit)
            texts.push_back(ui().control("EDIT" + std::to_string(edit)).text());
        return texts;
    }
    void readCoefficients(const std::string& name)
    {
        dialogs->answerFile(path(name));
        ui().userClick("BUTTON49");
    }
};

TEST_F(MinuteForm, EveryMenuItemFillsTheFormFromTheRecords)
{
    Program& p = *program;
    p.minuteOptions = {2.5f, 8.5f, 1, 4, 3, 1, 2};
    p.userProjection.radiusDegrees = 60;
    p.userProjection.aspectYX = 2.5;
    p.userProjection.coefficients[2] = 15.3;
    p.userProjection.coefficients[3] = -0.05;
    for (const char* item : {"MAGSCALE", "SRFHEIGHT", "MNOPTION", "COMUNITS"}) {
        SCOPED_TRACE(item);
        set("EDIT40", "typed");
        ui().userMenu(item);
        EXPECT_TRUE(ui().form("FORM5").visible());
        EXPECT_EQ(text("EDIT40"), " 2.5");
        EXPECT_EQ(text("EDIT41"), " 8.5");
        EXPECT_EQ(text("EDIT65"), " 60.00");
        EXPECT_EQ(text("EDIT66"), "2.500000");
        // Two integer digits: the usual width would show +9.300000.
        EXPECT_EQ(text("EDIT67"), "+15.300000");
        EXPECT_EQ(text("EDIT68"), "-0.050000");
        EXPECT_EQ(text("EDIT69"), "+0");
        EXPECT_EQ(value("RADIO36") + value("RADIO64") + value("RADIO49") + value("RADIO42") + value("RADIO45"), 5);
        ui().userClick("BUTTON17");
    }
    // "OK" stores what the fields show.
    ui().userMenu("MNOPTION");
    ui().userClick("BUTTON16");
    EXPECT_DOUBLE_EQ(p.userProjection.coefficients[2], 15.3);
    EXPECT_EQ(p.minuteOptions.raDecUnit, 4);
    EXPECT_EQ(p.minuteOptions.commentUnit, 2);

    // A code outside its group's range leaves the group as it was.
    p.minuteOptions.azElUnit = 9;
    ui().userMenu("MNOPTION");
    EXPECT_EQ(value("RADIO36"), 1);
}

TEST_F(MinuteForm, CancelDropsTheCopyButNotTheLiveFields)
{
    Program& p = *program;
    ui().userMenu("MNOPTION");
    ui().userType("EDIT40", "3");
    ui().userType("EDIT78", "0.5");
    ui().userType("EDIT77", "400");
    ui().userClick("RADIO54");
    ui().userClick("BUTTON17");
    EXPECT_FALSE(ui().form("FORM5").visible());
    EXPECT_FLOAT_EQ(p.minuteOptions.starScaling, 1.0f);
    ui().userMenu("MAGSCALE");
    EXPECT_EQ(text("EDIT40"), " 1");
    EXPECT_EQ(text("EDIT78"), "0.5");
    EXPECT_EQ(text("EDIT77"), "400");
    EXPECT_EQ(value("RADIO54"), 1);
}

TEST_F(MinuteForm, OkDerivesTheDomainAndNormalisationAndSurvivesARestart)
{
    Program& p = *program;
    ui().userMenu("MNOPTION");
    ui().userClick("BUTTON16");
    EXPECT_FALSE(ui().form("FORM5").visible());
    EXPECT_DOUBLE_EQ(p.userProjection.domainDegrees, 180);
    EXPECT_NEAR(p.userProjection.coefficients[0], 1 / pi, 1e-12);
    EXPECT_NEAR(p.userProjection.edgeValue, 1, 1e-12);

    // R - 0.2 R^3 stops increasing at 1.29 radians: the radius is held there.
    ui().userMenu("MNOPTION");
    ui().userType("EDIT68", "-0.2");
    ui().userType("EDIT66", "0.5");
    ui().userType("EDIT40", "2");
    ui().userClick("RADIO38");
    ui().userClick("BUTTON16");
    const double domain = p.userProjection.domainDegrees;
    EXPECT_NEAR(domain, 73.91, 0.005);
    EXPECT_DOUBLE_EQ(p.userProjection.radiusDegrees, domain);
    const double s = domain / degreesPerRadian;
    EXPECT_NEAR(p.userProjection.coefficients[0], 1 / (2 * (s - 0.2 * s * s * s)), 1e-12);
    EXPECT_NEAR(p.userProjection.edgeValue, 0.5, 1e-12);
    ui().userMenu("MNOPTION");
    EXPECT_EQ(text("EDIT65"), " 73.91");

    ASSERT_TRUE(INISAV(p, "nivora.ini"));
    Program& again = start();
    EXPECT_DOUBLE_EQ(again.userProjection.radiusDegrees, domain);
    EXPECT_DOUBLE_EQ(again.userProjection.coefficients[3], -0.2);
    EXPECT_DOUBLE_EQ(again.userProjection.aspectYX, 0.5);
    EXPECT_FLOAT_EQ(again.minuteOptions.starScaling, 2);
    EXPECT_EQ(again.minuteOptions.raDecUnit, 1);
}

TEST_F(MinuteForm, OkRefusesARadiusOrAspectThatWouldDivideByZero)
{
    Program& p = *program;
    struct Case {
        const char* edit;
        const char* typed;
        const char* field;
    };
    const Case cases[] = {
        {"EDIT65", "0", "Angle of Radius"},
        {"EDIT65", "wide", "Angle of Radius"},
        {"EDIT66", "0", "Aspect Ratio"},
        {"EDIT66", "-1", "Aspect Ratio"},
        {"EDIT67", "-1000", "Angle of Radius"},   // the polynomial falls at once: a domain of 0
    };
    const UserProjection before = p.userProjection;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " " + c.typed);
        ui().userMenu("MNOPTION");
        ui().userType("EDIT40", "3");
        ui().userType(c.edit, c.typed);
        const size_t count = alerts().size();
        ui().userClick("BUTTON16");
        ASSERT_EQ(alerts().size(), count + 1);
        EXPECT_NE(alerts().back().find(c.field), std::string::npos) << alerts().back();
        EXPECT_TRUE(ui().form("FORM5").visible());
        EXPECT_EQ(text(c.edit), c.typed);
        EXPECT_EQ(p.userProjection.coefficients, before.coefficients);
        EXPECT_EQ(p.userProjection.radiusDegrees, before.radiusDegrees);
        EXPECT_FLOAT_EQ(p.minuteOptions.starScaling, 1);
    }
}

// The star sizes are kept in single precision, the projection in double: text beyond either is
// named, and nothing is stored.
TEST_F(MinuteForm, OkRefusesTextNoFieldOfItsPrecisionHolds)
{
    Program& p = *program;
    const std::string single = " must be a number from -3.4E+38 to 3.4E+38.";
    const std::string wide = " must be a number from -1.7E+308 to 1.7E+308.";
    struct Case {
        const char* edit;
        const char* typed;
        std::string alert;
    };
    const Case cases[] = {
        {"EDIT40", "9e99", "Scaling Factor A" + single},
        {"EDIT41", "-inf", "Magnitude B" + single},
        {"EDIT65", "1e400", "Angle of Radius, Displayed in (x1)" + wide},
        {"EDIT66", "NaN", "Aspect Ratio Y/X" + wide},
        {"EDIT68", "1e400", "Coefficient of R^3" + wide},   // read as 0 before
        {"EDIT74", "inf", "Coefficient of R^9" + wide},
    };
    const UserProjection before = p.userProjection;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " " + c.typed);
        ui().userMenu("MNOPTION");
        ui().userType("EDIT41", "6");
        ui().userType(c.edit, c.typed);
        dialogs->calls.clear();
        ui().userClick("BUTTON16");
        EXPECT_EQ(alerts(), std::vector<std::string>{c.alert});
        EXPECT_TRUE(ui().form("FORM5").visible());
        EXPECT_EQ(p.userProjection.coefficients, before.coefficients);
        EXPECT_EQ(p.userProjection.aspectYX, before.aspectYX);
        EXPECT_FLOAT_EQ(p.minuteOptions.starScaling, 1);
        EXPECT_FLOAT_EQ(p.minuteOptions.dotMagnitude, 7.5f);
        ui().userClick("BUTTON17");
    }
}

TEST_F(MinuteForm, ReadCoefficientsFillsThePowersTheFileLists)
{
    struct Case {
        const char* name;
        std::vector<std::string> file;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"odd series",
         {"odd series of 2 tan(R/2)", "Term number: 5  odd", "Coefficients of Polynomial", "1", "0.0833333",
          "0.00833333", "0.000843254", "0.0000854277"},
         {"0", "  +0.083333", "0", "  +0.008333", "0", "  +0.000843", "0", "  +0.000085"}},
        {"three terms",
         {"Term number: 3", "Coefficients of Polynomial", "1", "-0.25", " 0.125 "},
         {"  -0.250000", "  +0.125000", "0", "0", "0", "0", "0", "0"}},
        {"block before the term line", {"Coefficients of Polynomial", "1", "5"}, {"0", "0", "0", "0", "0", "0", "0", "0"}},
        // A tab is blank around a number, as a space is; it must not read as 0.
        {"tab before a number",
         {"Term number: 3", "Coefficients of Polynomial", "1", "\t0.25", " \t0.5\t"},
         {"  +0.250000", "  +0.500000", "0", "0", "0", "0", "0", "0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui().userMenu("MNOPTION");
        write("poly.txt", c.file);
        readCoefficients("poly.txt");
        EXPECT_TRUE(alerts().empty());
        EXPECT_EQ(coefficients(), c.shown);
        EXPECT_EQ(text("EDIT65"), " 90.00");   // within the domain: kept
    }
    EXPECT_EQ(dialogs->calls.back().title, "Load Polynomial Data");
    EXPECT_EQ(dialogs->calls.back().filter, "Polynomial Data(*.*)");

    ui().userClick("BUTTON44");
    EXPECT_EQ(text("EDIT65"), "180");
    // A falling polynomial pulls the radius in to its domain.
    write("falling.txt", {"Term number: 3", "Coefficients of Polynomial", "1", "0", "-0.2"});
    readCoefficients("falling.txt");
    EXPECT_EQ(text("EDIT65"), "73.91");
}

TEST_F(MinuteForm, MalformedPolynomialFilesChangeNoField)
{
    struct Case {
        const char* name;
        std::vector<std::string> file;
        const char* said;
    };
    const Case cases[] = {
        {"no header", {"Term number: 3", "1", "2", "3"}, "Coefficients of Polynomial"},
        {"ends early", {"Term number: 3", "Coefficients of Polynomial", "1", "0.5"}, "line 4"},
        {"text for a number", {"Term number: 3", "Coefficients of Polynomial", "1", "half", "0.5"}, "line 4"},
        {"two numbers on a line", {"Term number: 3", "Coefficients of Polynomial", "1", "0.5, 0.2", "0.1"}, "line 4"},
    };
    ui().userMenu("MNOPTION");
    set("EDIT67", "+0.5");
    const auto before = coefficients();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("bad.txt", c.file);
        const size_t count = alerts().size();
        readCoefficients("bad.txt");
        ASSERT_EQ(alerts().size(), count + 1);
        EXPECT_NE(alerts().back().find("bad.txt"), std::string::npos) << alerts().back();
        EXPECT_NE(alerts().back().find(c.said), std::string::npos) << alerts().back();
        EXPECT_EQ(coefficients(), before);
    }
    const size_t count = alerts().size();
    EXPECT_FALSE(readCoefficientsFile(ui(), path("missing.txt")));
    ASSERT_EQ(alerts().size(), count + 1);
    EXPECT_NE(alerts().back().find("missing.txt"), std::string::npos) << alerts().back();
}

} // namespace
} // namespace nivora
