#include "chartwin/user_data_file.h"

#include <string>

#include <gtest/gtest.h>

#include "chartwin/chartwin_forms.h"
#include "platform/application.h"
#include "platform/forms.h"

namespace nivora {
namespace {

OverlaySettings columns(int unit, DataField whole, DataField minutes) {
    OverlaySettings s;
    s.longitudeUnit = unit;
    s.longitude = whole;
    s.longitudeMinutes = minutes;
    s.latitudeUnit = unit == 3 ? 2 : unit;
    s.latitude = whole;
    s.latitudeMinutes = minutes;
    return s;
}

// The sign written anywhere in the degrees (or hours) field carries to the minutes; a
// negative first coordinate is taken into 0..360; labels keep every field's full width.
TEST(UserDataFile, CoordinatesAndLabels) {
    struct Case {
        const char* line;
        int unit;
        double first, second;
        const char* label;
    };
    const Case cases[] = {
        {"-12 30", 2, 347.5, -12.5, "-12deg30arcm"},
        {" -0 30", 2, 359.5, -0.5, " -0deg30arcm"},
        {"  5 30", 3, 82.5, 5.5, "  5h30m"},
        {"-02 30", 3, 322.5, -2.5, "-02h30m"},
        {"12 345", 1, 12, 12, "12 "},
        {"12", 1, 12, 12, "12 "},          // a short line: the label keeps its width
        {"", 2, 0, 0, "   deg  arcm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const OverlaySettings s = columns(c.unit, {1, 3}, {5, 2});
        EXPECT_DOUBLE_EQ(firstCoordinate(c.line, s), c.first);
        EXPECT_EQ(firstCoordinateLabel(c.line, s), c.label);
        EXPECT_DOUBLE_EQ(secondCoordinate(c.line, s), c.second);
    }
}

// The end marker is tested before the comment prefix; an empty prefix marks no line as a
// comment, an empty marker ends nothing.
TEST(UserDataFile, EndAndCommentLines) {
    struct Case {
        int endMode;
        const char* marker;
        const char* prefix;
        const char* line;
        DataLine kind;
    };
    const Case cases[] = {
        {2, "#-", "#", "#- end", DataLine::End},
        {2, "#-", "#", "# note", DataLine::Comment},
        {2, "#-", "#", "12 34", DataLine::Record},
        {1, "#-", "#", "#- end", DataLine::Comment},
        {2, "", "#", "#- end", DataLine::Comment},
        {2, "", "", "12 34", DataLine::Record},
        {1, "", "", "", DataLine::Record},
        {1, "", "", "# note", DataLine::Record},
        {2, "#-", "", "#- end", DataLine::End},
    };
    for (const Case& c : cases) {
        OverlaySettings s;
        s.endMode = c.endMode;
        s.endMarker = c.marker;
        s.commentPrefix = c.prefix;
        EXPECT_EQ(classifyDataLine(c.line, s), c.kind) << c.endMode << " '" << c.marker << "' '" << c.prefix << "' " << c.line;
    }
}

TEST(UserDataFile, FieldsByByteColumn) {
    EXPECT_EQ(fieldText("abcdef", {2, 3}), "bcd");
    EXPECT_EQ(fieldText("abcdef", {5, 9}), "ef");
    EXPECT_EQ(fieldText("abc", {7, 2}), "");
    EXPECT_EQ(fieldText("abc", {0, 2}), "");
    EXPECT_EQ(paddedField("abc", {2, 4}), "bc  ");
    EXPECT_DOUBLE_EQ(fieldValue("x  -1.5e1yz", {2, 9}), -15);
    EXPECT_DOUBLE_EQ(fieldValue("x  abc", {2, 5}), 0);
}

// The form's values as they stand: group codes by their declared positions, numbers by their
// leading digits, the frame list as (class, variant).
TEST(UserDataFile, SettingsAreReadFromTheForm) {
    ensureApplication();
    Ui ui;
    ui.load(dataFileForm());
    OverlaySettings s = readOverlaySettings(ui);
    EXPECT_EQ(s.longitudeUnit, 1);
    EXPECT_EQ(s.longitude.column, 12);
    EXPECT_EQ(s.longitude.width, 7);
    EXPECT_EQ(s.latitude.column, 27);
    EXPECT_EQ(s.markShape, 1);
    EXPECT_EQ(s.commentPosition, 3);
    ui.form("FORM4").setGroupCode("longitudeUnit", 3);
    ui.form("FORM4").setGroupCode("markShape", 5);
    ui.control("COMBO3").setIndex(1);
    ui.control("EDIT21").setText("");
    ui.control("CHECK9").setValue(1);
    ui.control("EDIT52").setText("Mag");
    s = readOverlaySettings(ui);
    EXPECT_EQ(s.longitudeUnit, 3);
    EXPECT_EQ(s.markShape, 5);
    EXPECT_EQ(s.frameClass, 4);
    EXPECT_EQ(s.frameVariant, 0);
    EXPECT_FALSE(s.longitude.readable());
    EXPECT_TRUE(s.searchFields[2].on);
    EXPECT_EQ(s.searchFields[2].title, "Mag");
}

// A format file may bring fractions, signs and huge values into the digits-only boxes.
TEST(UserDataFile, LoadedColumnsAreRoundedToWholeNumbers) {
    ensureApplication();
    Ui ui;
    ui.load(dataFileForm());
    struct Case { const char* text; int column; bool readable; };
    const Case cases[] = {
        {"2.6", 3, true}, {"2.5", 3, true}, {"2.4", 2, true}, {"0.6", 1, true},
        {"0.4", 0, false}, {"-3", -3, false}, {"1e30", 1000000000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ui.control("EDIT20").setText(c.text);
        const OverlaySettings s = readOverlaySettings(ui);
        EXPECT_EQ(s.longitude.column, c.column);
        EXPECT_EQ(s.longitude.readable(), c.readable);
    }
}

// A field ends within the longest line: blanks past every line say nothing, and a label padded
// to a width of 2,000,000,000 would fill 2 GB a record.
TEST(UserDataFile, FieldsEndWithinTheLongestLine) {
    struct Case { DataField field; int longest; int width; };
    const Case cases[] = {
        {{12, 7}, 80, 7},
        {{75, 10}, 80, 6},
        {{80, 10}, 80, 1},
        {{100, 5}, 80, 1},   // past every line: still readable, one blank wide
        {{0, 5}, 80, 5},
        {{1, 2000000000}, longestDataLine, longestDataLine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field.column << ' ' << c.field.width << ' ' << c.longest);
        const DataField f = withinLine(c.field, c.longest);
        EXPECT_EQ(f.column, c.field.column);
        EXPECT_EQ(f.width, c.width);
    }
    ensureApplication();
    Ui ui;
    ui.load(dataFileForm());
    ui.control("EDIT21").setText("2000000000");   // from a format file
    EXPECT_EQ(readOverlaySettings(ui).longitude.width, longestDataLine - 11);
}

} // namespace
} // namespace nivora
