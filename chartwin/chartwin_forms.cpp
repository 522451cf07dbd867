#include "chartwin/chartwin_forms.h"

#include "options/form_rows.h"

namespace nivora {

FormSpec chartWindowForm() {
    FormRows f("FORM2", "planisphere Image", Surface::Canvas);
    // Nothing to scroll before the first DRAW.
    f.scroll("HSCROLL1", ControlKind::HScroll).off();
    f.scroll("VSCROLL1", ControlKind::VScroll).off();
    return f.spec();
}

namespace {

// "from" [column] "th collumn," [width] "letters": one field of a data line.
void fieldRow(FormRows& f, const char* fromLabel, const char* from, const char* column,
              const char* columnText, const char* colLabel, const char* colCaption,
              const char* width, const char* widthText, const char* lettersLabel,
              const char* letters, bool enabled) {
    f.label(fromLabel, from);
    f.edit(column, columnText, 3).digits().width(40);
    f.label(colLabel, colCaption);
    f.edit(width, widthText, 3).digits().width(40);
    f.label(lettersLabel, letters);
    if (!enabled)
        f.offLast(5);
}

} // namespace

FormSpec dataFileForm() {
    FormRows f("FORM4", "DRAW using Data File");

    f.check("CHECK4", "Draw by File");
    f.check("CHECK6", "Search in File by Click");
    f.row().frame("fileBox").span(2);
    f.row().frame("leftColumn");
    f.frame("rightColumn");
    f.in("leftColumn").frame("longitudeBox");
    f.row().frame("latitudeBox");
    f.row().frame("markBox");
    f.in("rightColumn").frame("linesBox");
    f.row().frame("commentBox");
    f.row().frame("searchBox");
    f.row().frame("buttonsBox");

    f.in("fileBox").label("TEXT90", "File Name");
    f.edit("EDIT54", "", 32767).width(471).span(3);
    f.button("BUTTON13", "Refer Files");
    f.row().label("TEXT61", "Coordinate Sys");
    f.combo("COMBO3", {"Zenithal(normal)", "Zenithal(South=0)", "Equatorial(Apparent)",
                       "Equatorial(True)", "Equatorial(Mean)", "Equatorial(ICRF)",
                       "Ecliptic(Apparent)", "Ecliptic(True)", "Ecliptic(Mean)",
                       "Ecliptic(J2000.0)"},
            0);
    f.check("CHECK5", "Refraction Correction");
    f.check("CHECK12", "Diurnal Aberration");

    f.in("linesBox").label("TEXT72", "The Ending of the File").span(2);
    f.row().radio("RADIO21", "(EOF)", "endMode", 1).set();
    f.radio("RADIO22", "Line begining with", "endMode", 2);
    f.edit("EDIT34", "#-", 5).width(60).off();
    f.row().label("TEXT59", "Skipped line as Comment in the File begins with").span(3);
    f.edit("EDIT29", "#", 5).width(60);

    f.in("longitudeBox").label("TEXT45", "Longitude");
    f.row().radio("RADIO11", "degree(Decimal)", "longitudeUnit", 1).set().span(2);
    f.radio("RADIO12", "degree(Sexagecimal)", "longitudeUnit", 2).span(2);
    f.radio("RADIO13", "hm", "longitudeUnit", 3);
    f.row();
    fieldRow(f, "TEXT64", "deg/h from", "EDIT20", "12", "TEXT47", "th collumn,", "EDIT21", "7",
             "TEXT48", "letters.", true);
    f.row();
    fieldRow(f, "TEXT67", "arcm/m from", "EDIT30", "", "TEXT65", "th collumn,", "EDIT31", "",
             "TEXT66", "letters.", false);

    f.in("latitudeBox").label("TEXT46", "Latitude");
    f.row().radio("RADIO14", "degree(Decimal)", "latitudeUnit", 1).set().span(2);
    f.radio("RADIO15", "degree(Sexagecimal)", "latitudeUnit", 2).span(3);
    f.row();
    fieldRow(f, "TEXT68", "deg from", "EDIT22", "27", "TEXT49", "th collumn,", "EDIT23", "6",
             "TEXT50", "letters.", true);
    f.row();
    fieldRow(f, "TEXT71", "arcm from", "EDIT32", "", "TEXT69", "th collumn,", "EDIT33", "",
             "TEXT70", "letters.", false);

    // Shape code order: 1 cross, 2 circle by magnitude, 3 circle by radius, 4 dot, 5 outline.
    f.in("markBox").label("TEXT62", "Marking in the Image").span(5);
    f.row().picture("PICTURE1", 140, 39).span(2);
    f.picture("PICTURE2", 140, 39).at(3).span(2);
    f.row().label("TEXT80", "at Interval of").span(2);
    f.edit("EDIT39", "1", 3).digits().width(40);
    f.label("TEXT81", "lines in the File").span(3);
    f.row().label("TEXT79", "Shape of Mark").span(5);
    f.row().radio("RADIO32", "Dot", "markShape", 4).span(2);
    f.radio("RADIO7", " ( x )", "markShape", 1).set().span(3);
    f.row().radio("RADIO8", "Circle scaled by MAG", "markShape", 2).span(5);
    f.row();
    fieldRow(f, "TEXT51", "from", "EDIT24", "63", "TEXT52", "th collumn,", "EDIT25", "5",
             "TEXT53", "letters", false);
    f.row().radio("RADIO24", "Circle scaled by Radius", "markShape", 3).span(5);
    f.row().radio("RADIO67", "Outline scaled by Radius", "markShape", 5).span(5);
    f.row();
    fieldRow(f, "TEXT73", "from", "EDIT35", "63", "TEXT74", "th collumn,", "EDIT36", "5",
             "TEXT75", "letters", false);
    f.row().label("TEXT76", "Unit(Dec.)").off();
    f.radio("RADIO25", "degree", "radiusUnit", 1).set().off().span(2);
    f.radio("RADIO26", "arcm", "radiusUnit", 2).off().span(2);
    f.row().label("TEXT77", "factor").off();
    f.edit("EDIT37", "1", 5).width(40).off();
    f.label("TEXT78", "times").off();

    // Comment code order: 1 nothing, 2 text, 3 counting.
    f.in("commentBox").label("TEXT60", "Commnet for marking").span(5);
    f.row().radio("RADIO9", "Nothing", "commentMode", 1).set();
    f.radio("RADIO16", "Counting", "commentMode", 3).span(2);
    f.radio("RADIO10", "Text", "commentMode", 2).span(2);
    f.row();
    fieldRow(f, "TEXT54", "from", "EDIT26", "1", "TEXT55", "th collumn,", "EDIT27", "3", "TEXT56",
             "letters.", false);
    f.row().label("TEXT57", "at Interval of").off();
    f.edit("EDIT28", "6", 3).digits().width(40).off();
    f.label("TEXT58", "marks").off();
    f.row().label("TEXT63", "Comment Position").off().span(5);
    f.row().radio("RADIO17", "Left", "commentPosition", 1).off();
    f.radio("RADIO18", "Right", "commentPosition", 2).off().span(2);
    f.radio("RADIO19", "Upper", "commentPosition", 3).set().off();
    f.radio("RADIO20", "Under", "commentPosition", 4).off();

    f.in("searchBox").label("TEXT91", "Comments for Search by Click").span(4);
    f.label("TEXT103", "Keyword Search").span(2);
    f.edit("EDIT53", "", 16).width(140).span(2);
    f.row().label("TEXT101", "Title").at(1);
    f.label("TEXT102", "Data").span(5);
    struct SearchRow {
        const char *check, *caption, *title, *from, *column, *th, *width, *letters, *button;
    };
    const SearchRow rows[] = {
        {"CHECK7", "1st.", "EDIT50", "TEXT92", "EDIT44", "TEXT93", "EDIT45", "TEXT94", "BUTTON27"},
        {"CHECK8", "2nd.", "EDIT51", "TEXT95", "EDIT46", "TEXT96", "EDIT47", "TEXT97", "BUTTON28"},
        {"CHECK9", "3rd.", "EDIT52", "TEXT98", "EDIT48", "TEXT99", "EDIT49", "TEXT100", "BUTTON29"},
        {"CHECK10", "4th.", "EDIT55", "TEXT104", "EDIT56", "TEXT105", "EDIT57", "TEXT106", "BUTTON30"},
    };
    for (const SearchRow& r : rows) {
        f.row().check(r.check, r.caption);
        f.edit(r.title, "", 16).width(140);
        f.label(r.from, "from");
        f.edit(r.column, "", 3).digits().width(40);
        f.label(r.th, "th collomn,");
        f.edit(r.width, "", 3).digits().width(40);
        f.label(r.letters, "letters");
        f.button(r.button, "Search");
    }

    f.in("buttonsBox").button("BUTTON15", "OverDraw");
    f.button("BUTTON12", "SAVE format");
    f.button("BUTTON11", "LOAD format");
    f.button("BUTTON9", "OK");
    f.button("BUTTON14", "Cancel");

    return f.spec();
}

FormSpec pointingForm() {
    FormRows f("FORM6", "pointing", Surface::Text);
    // The commands act on a pointed position; none exists before the first click.
    f.button("BUTTON19", "Centralize").off();
    f.button("BUTTON76", "x").off();
    f.check("CHECK13", "Measure Angle").off();
    f.row().edit("EDIT105").off().span(2);
    f.button("BUTTON75", "Comment").off();
    f.button("BUTTON18", "Close");
    return f.spec();
}

} // namespace nivora
