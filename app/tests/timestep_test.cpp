#include "app/timestep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/app_forms.h"
#include "platform/dialogs.h"
#include "platform/forms.h"

namespace nivora {
namespace {

// The fields as the window shows them: year text, month index, day, hour, minute texts.
struct Shown {
    std::string year;
    int month;
    std::string day, hour, minute;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Shown& s) {
        return out << s.year << '/' << s.month << '/' << s.day << ' ' << s.hour << ':' << s.minute;
    }
};

class MainWindowTime : public testing::Test {
protected:
    MainWindowTime() {
        ensureApplication();
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        ui.setDialogs(std::move(scripted));
        ui.load(mainWindowForm());
        bindTimeStepping(ui);
    }
    std::vector<std::string> alerts() const { return dialogs->alerts(); }
    void show(const Shown& s) {
        ui.control("EDIT8").setText(s.year);
        ui.control("COMBO1").setIndex(s.month);
        ui.control("EDIT9").setText(s.day);
        ui.control("EDIT10").setText(s.hour);
        ui.control("EDIT11").setText(s.minute);
    }
    Shown shown() const {
        return {ui.control("EDIT8").text(), ui.control("COMBO1").index(), ui.control("EDIT9").text(),
                ui.control("EDIT10").text(), ui.control("EDIT11").text()};
    }
    Ui ui;
    ScriptedDialogs* dialogs = nullptr;
};

TEST_F(MainWindowTime, BeforeAndAfterStepByTheTypedInterval) {
    struct Case {
        Shown from;
        const char* step;
        const char* button; // BUTTON31 "before", BUTTON32 "after"
        Shown to;
    };
    const Case cases[] = {
        {{"2008", 11, "31", "23", "59"}, "20m", "BUTTON32", {"2009", 0, "01", "00", "19"}},
        {{"2009", 0, "01", "00", "19"}, "20m", "BUTTON31", {"2008", 11, "31", "23", "59"}},
        {{"2008", 11, "31", "23", "59"}, "-20m", "BUTTON32", {"2008", 11, "31", "23", "39"}},
        {{"2008", 5, "10", "01", "30"}, "2h", "BUTTON31", {"2008", 5, "09", "23", "30"}},
        {{"2008", 1, "29", "12", "00"}, "1y", "BUTTON32", {"2009", 1, "29", "12", "00"}}, // not clamped
        {{"2008", 1, "27", "12", "00"}, "3d", "BUTTON32", {"2008", 2, "01", "12", "00"}},
        {{"2008", 1, "27", "12", "00"}, "1W", "BUTTON32", {"2008", 2, "05", "12", "00"}},
        {{"2008", 1, "27", "12", "00"}, "30", "BUTTON32", {"2008", 1, "27", "12", "30"}},
        {{"2008", 1, "27", "12", "00"}, "15x", "BUTTON32", {"2008", 1, "27", "12", "15"}},
        {{"2009", 0, "01", "00", "30"}, "90M", "BUTTON31", {"2008", 11, "31", "23", "00"}},
        {{"2009", 2, "01", "05", "00"}, "1D", "BUTTON31", {"2009", 1, "28", "05", "00"}},
        {{"2000", 0, "01", "00", "00"}, "1y", "BUTTON31", {"1999", 0, "01", "00", "00"}},
        {{"1", 0, "01", "00", "00"}, "2y", "BUTTON31", {"-1", 0, "01", "00", "00"}},
        {{"2008", 1, "27", "12", "00"}, "48H", "BUTTON32", {"2008", 1, "29", "12", "00"}},
        // Counts that are not whole step by whole minutes, and years by whole years.
        {{"2008", 0, "01", "10", "00"}, "1.5h", "BUTTON32", {"2008", 0, "01", "11", "30"}},
        {{"2008", 0, "01", "12", "00"}, "0.5d", "BUTTON32", {"2008", 0, "02", "00", "00"}},
        {{"2008", 0, "01", "12", "00"}, "1.5w", "BUTTON31", {"2007", 11, "22", "00", "00"}},
        {{"2008", 0, "01", "12", "00"}, "0.5m", "BUTTON32", {"2008", 0, "01", "12", "01"}},
        {{"2008", 0, "01", "12", "00"}, "0.5m", "BUTTON31", {"2008", 0, "01", "11", "59"}},
        {{"2008", 0, "01", "12", "00"}, "0.2", "BUTTON32", {"2008", 0, "01", "12", "00"}},
        {{"2008", 0, "01", "12", "00"}, "2.5y", "BUTTON32", {"2011", 0, "01", "12", "00"}},
        {{"2008", 0, "01", "12", "00"}, "2.5y", "BUTTON31", {"2005", 0, "01", "12", "00"}},
        // A unit alone steps by 0 and writes the fields back in their two-digit form.
        {{"2008", 3, "5", "7", "9"}, "d", "BUTTON32", {"2008", 3, "05", "07", "09"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << ' ' << c.button << ' ' << c.step);
        show(c.from);
        ui.control("EDIT63").setText(c.step);
        ui.userClick(c.button);
        EXPECT_EQ(shown(), c.to);
    }
}

TEST_F(MainWindowTime, AnEmptyStepChangesNothing) {
    show({"2008", 3, "5", "7", "75"});
    ui.control("EDIT63").setText("");
    ui.userClick("BUTTON32");
    ui.userClick("BUTTON31");
    EXPECT_EQ(shown(), (Shown{"2008", 3, "5", "7", "75"}));
}

// A count past the single-precision range has no whole number of minutes to step by, and a step
// that takes the year past what DRAW takes leaves no date to draw: both are refused by name, and
// so are date fields DRAW would refuse. The fields stay as they were.
TEST_F(MainWindowTime, AStepNoFieldHoldsIsRefusedByName) {
    const std::string count = "Time Step must be a number from -3.4E+38 to 3.4E+38.";
    const std::string year = "Time Step must keep the Year from -16777216 to 16777216.";
    const std::string date = " must be a number from -16777216 to 16777216.";
    struct Case {
        Shown from;
        const char* step;
        const char* button;
        std::string alert;
    };
    const Shown end{"2008", 11, "31", "23", "59"};
    const Case cases[] = {
        {end, "1e39m", "BUTTON32", count},  {end, "-1e39h", "BUTTON32", count},
        {end, "1e39d", "BUTTON32", count},  {end, "1e39y", "BUTTON32", count},
        {end, "-1e39w", "BUTTON32", count}, {end, "9e99", "BUTTON32", count},
        {end, "9e99", "BUTTON31", count},   {end, "1e400", "BUTTON32", count},   // read as 0 before
        {end, "nan", "BUTTON32", count},    {end, "-inf", "BUTTON31", count},
        {end, "infh", "BUTTON32", count},   {end, "NaNd", "BUTTON32", count},
        {end, "1e38", "BUTTON32", year},    // the year went to 1.9E+32
        {end, "1e38", "BUTTON31", year},    {end, "16800000y", "BUTTON32", year},
        {end, "9e12h", "BUTTON31", year},
        {{"9e99", 11, "31", "23", "59"}, "20m", "BUTTON32", "Year" + date},   // written back as "0" before
        {{"2008", 11, "31", "23", "Infinity"}, "20m", "BUTTON31", "Minute" + date},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << ' ' << c.button << ' ' << c.step);
        dialogs->calls.clear();
        show(c.from);
        ui.control("EDIT63").setText(c.step);
        ui.userClick(c.button);
        EXPECT_EQ(alerts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(shown(), c.from);
    }
}

// Steps that keep the year within what DRAW takes are taken, to its very edge.
TEST_F(MainWindowTime, LongStepsToTheEdgeOfTheYearsDrawTakesAreTaken) {
    struct Case {
        const char* step;
        const char* button;
        const char* year;
    };
    const Case cases[] = {{"16775208y", "BUTTON32", "1.6777216E+07"}, {"16779224y", "BUTTON31", "-1.6777216E+07"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.button << ' ' << c.step);
        show({"2008", 11, "31", "23", "59"});
        ui.control("EDIT63").setText(c.step);
        ui.userClick(c.button);
        EXPECT_EQ(shown(), (Shown{c.year, 11, "31", "23", "59"}));
    }
    EXPECT_TRUE(alerts().empty());
}

// "the Now" refuses either zone as DRAW refuses the actual one; the fields stay as they were.
TEST_F(MainWindowTime, TheNowRefusesAZoneBeyondWhatDrawTakesByName) {
    const std::string pc = "PC's Time Zone must be a number from -16777216 to 16777216.";
    const std::string actual = "Actual Time Zone must be a number from -16777216 to 16777216.";
    struct Case {
        const char* control;
        const char* text;
        std::string alert;
    };
    const Case cases[] = {
        {"EDIT4", "9e9", pc},     // wrote the year -1024668 before
        {"EDIT4", "9e99", pc},    // wrote 00:00 before
        {"EDIT4", "-2e7", pc},    {"EDIT4", "nan", pc},       {"EDIT5", "1e400", pc},
        {"EDIT5", "-inf", pc},    {"EDIT5", "2e7", pc}, {"EDIT6", "9e9", actual},
        {"EDIT7", "Infinity", actual},
    };
    const ClockOverride clock([] { return LocalDateTime{2010, 3, 1, 7, 10, 0}; });
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.control << " \"" << c.text << '"');
        dialogs->calls.clear();
        for (const char* zone : {"EDIT4", "EDIT6"})
            ui.control(zone).setText("+9");
        for (const char* minutes : {"EDIT5", "EDIT7"})
            ui.control(minutes).setText("00");
        show({"2008", 11, "31", "23", "59"});
        ui.control(c.control).setText(c.text);
        ui.userClick("BUTTON45");
        EXPECT_EQ(alerts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(shown(), (Shown{"2008", 11, "31", "23", "59"}));
    }
}

TEST_F(MainWindowTime, TheNowIsTheClockInTheActualZone) {
    struct Case {
        LocalDateTime clock;
        const char *clockHours, *clockMinutes, *zoneHours, *zoneMinutes;
        Shown to;
    };
    const Case cases[] = {
        {{2010, 3, 1, 7, 10, 42}, "+9", "00", "+9", "00", {"2010", 2, "01", "07", "10"}},
        {{2010, 3, 1, 7, 10, 0}, "+9", "00", "+0", "00", {"2010", 1, "28", "22", "10"}},
        // Minutes take the sign of their hours' text.
        {{2010, 3, 1, 12, 0, 0}, "+5", "30", "-3", "30", {"2010", 2, "01", "03", "00"}},
        {{2010, 3, 1, 20, 0, 0}, "-9", "30", "0", "00", {"2010", 2, "02", "05", "30"}},
        {{2010, 12, 31, 23, 0, 0}, "0", "00", "+14", "00", {"2011", 0, "01", "13", "00"}},
        // Beyond one correction: 23:00 at UTC-12 is 01:00 two days on at UTC+14.
        {{2010, 1, 1, 23, 0, 0}, "-12", "00", "+14", "00", {"2010", 0, "03", "01", "00"}},
        {{2010, 1, 1, 1, 0, 0}, "+14", "00", "-12", "00", {"2009", 11, "30", "23", "00"}},
        // The clock's year is read as two digits.
        {{1999, 6, 15, 8, 5, 0}, "+9", "00", "+9", "00", {"2099", 5, "15", "08", "05"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clockHours << ':' << c.clockMinutes << " to " << c.zoneHours
                                        << ':' << c.zoneMinutes << " at " << c.clock.hour);
        const ClockOverride clock([&] { return c.clock; });
        ui.control("EDIT4").setText(c.clockHours);
        ui.control("EDIT5").setText(c.clockMinutes);
        ui.control("EDIT6").setText(c.zoneHours);
        ui.control("EDIT7").setText(c.zoneMinutes);
        ui.userClick("BUTTON45");
        EXPECT_EQ(shown(), c.to);
    }
}

TEST(ComputersZone, OffsetsBecomeTheFieldsTexts) {
    struct Case {
        int minutes;
        ZoneFieldTexts texts;
    };
    const Case cases[] = {
        {0, {"+0", "00"}},    {540, {"+9", "00"}},   {-300, {"-5", "00"}},  {330, {"+5", "30"}},
        {-210, {"-3", "30"}}, {345, {"+5", "45"}},   {-30, {"-0", "30"}},   {780, {"+13", "00"}},
        {-720, {"-12", "00"}}, {-570, {"-9", "30"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zoneFieldTexts(c.minutes), c.texts) << c.minutes;
}

TEST(TimeStep, ParsesTheCountAndTheUnit) {
    struct Case {
        const char* text;
        float count;
        char unit;
    };
    const Case cases[] = {
        {"20m", 20, 'm'}, {"-3D", -3, 'D'}, {"30", 30, '0'}, {"15x", 15, 'x'},
        {"y", 0, 'y'},    {"2.5h", 2.5f, 'h'}, {"1e3m", 1000, 'm'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto step = parseTimeStep(c.text);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->count, c.count);
        EXPECT_EQ(step->unit, c.unit);
    }
    EXPECT_FALSE(parseTimeStep(""));
}

// Far steps still leave the hour and minute whole and in range.
TEST(TimeStep, LongStepsKeepTheClockFieldsInRange) {
    for (const char* text : {"99999999", "-9999999", "1e30m", "-1e30h", "9999999w"}) {
        SCOPED_TRACE(text);
        DateTimeFields f{2008, 11, 31, 23, 59};
        const auto step = parseTimeStep(text);
        stepDateTime(f, step->count, step->unit);
        EXPECT_GE(f.minute, 0);
        EXPECT_LT(f.minute, 60);
        EXPECT_GE(f.hour, 0);
        EXPECT_LT(f.hour, 24);
        EXPECT_GE(f.day, 1);
        EXPECT_LE(f.day, 31);
        EXPECT_EQ(f.minute, std::floor(f.minute));
    }
}

} // namespace
} // namespace nivora
