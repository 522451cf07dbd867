#include "options/observation_input.h"

#include <gtest/gtest.h>

#include "platform/forms.h"

namespace nivora {
namespace {

FormSpec fields()
{
    using K = ControlKind;
    FormSpec spec{"MAINFORM", "fields", {}};
    for (const char* name : {"EDIT1", "EDIT2", "EDIT3", "EDIT4", "EDIT5", "EDIT6", "EDIT7", "EDIT8",
                             "EDIT9", "EDIT10", "EDIT11", "EDIT12", "EDIT13", "EDIT19", "EDIT42",
                             "EDIT43", "EDIT63", "EDIT64", "EDIT75", "EDIT76"})
        spec.controls.push_back({K::Edit, name});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO1", .items = {"Jan", "Feb", "Mar"}, .index = 2});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO2", .items = {"Ori Orion"}});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO5", .items = {"a", "b"}, .index = 1});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO6", .items = {"a"}, .index = 0});
    spec.controls.push_back({K::Check, "CHECK2"});
    spec.controls.push_back({K::Check, "CHECK3"});
    spec.controls.push_back({.kind = K::Radio, .name = "RADIO27", .group = "layout", .position = 1});
    spec.controls.push_back({.kind = K::Radio, .name = "RADIO28", .group = "layout", .position = 2});
    spec.controls.push_back({.kind = K::Radio, .name = "RADIO29", .group = "layout", .position = 3});
    return spec;
}

struct Fields : testing::Test {
    void SetUp() override { ensureApplication(); ui.load(fields()); }
    void set(const char* name, const char* text) { ui.control(name).setText(text); }
    Ui ui;
    ObservationInput in{ui};
};

TEST_F(Fields, NumbersFollowTheFieldRuleInSinglePrecision)
{
    struct Case { const char* text; float value; };
    const Case cases[] = {
        {"+135.0", 135.0f},
        {"  -35.5deg", -35.5f},
        {"abc", 0.0f},
        {"", 0.0f},
        {"0.1", 0.1f},   // the float nearest 0.1, not the double
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        set("EDIT2", c.text);
        EXPECT_EQ(in.longitude(), c.value);
    }
}

TEST_F(Fields, ZoneMinutesTakeTheSignOfTheirHoursText)
{
    struct Case { const char* hours; const char* minutes; float zoneHours, zoneMinutes; };
    const Case cases[] = {
        {"+9", "30", 9, 30},
        {"-5", "30", -5, -30},
        {"-0", "30", 0, -30},    // the sign of the text, not of the number
        {" -5", "30", -5, 30},   // a blank first: the text does not begin with "-"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hours << ' ' << c.minutes);
        set("EDIT6", c.hours);
        set("EDIT7", c.minutes);
        set("EDIT4", c.hours);
        set("EDIT5", c.minutes);
        EXPECT_EQ(in.zoneHours(), c.zoneHours);
        EXPECT_EQ(in.zoneMinutes(), c.zoneMinutes);
        EXPECT_EQ(in.clockZoneHours(), c.zoneHours);
        EXPECT_EQ(in.clockZoneMinutes(), c.zoneMinutes);
    }
}

TEST_F(Fields, ReadsLiveWithoutACopy)
{
    set("EDIT12", "+180.00");
    EXPECT_EQ(in.directionLongitude(), 180.0f);
    set("EDIT12", "90");
    EXPECT_EQ(in.directionLongitude(), 90.0f);
    EXPECT_EQ(in.monthIndex(), 2);
    EXPECT_EQ(in.displayFrame(), 1);
    EXPECT_EQ(in.constellationIndex(), -1);
    EXPECT_EQ(in.constellationItem(), "");
    ui.control("COMBO2").setIndex(0);
    EXPECT_EQ(in.constellationItem(), "Ori Orion");
    EXPECT_EQ(in.layout(), 0);
    ui.form("MAINFORM").setGroupCode("layout", 3);
    EXPECT_EQ(in.layout(), 3);
}

} // namespace
} // namespace nivora
