#include "app/app_forms.h"

#include <string>

#include "astro/constants.h"
#include "options/form_rows.h"

namespace nivora {

std::vector<std::string> monthItems() {
    std::vector<std::string> months;
    for (int m = 0; m < 12; ++m)
        months.emplace_back(monthName(m));
    return months;
}

FormSpec mainWindowForm() {
    FormRows f("MAINFORM", "nivora/planisphere");

    f.frame("modeBox").span(2);
    f.row().frame("placeBox");
    f.frame("directionBox");
    f.row().frame("timeBox");
    f.frame("presetBox");
    f.row().frame("commentBox");
    f.frame("constellationBox");
    f.row().frame("imageBox").span(2);
    f.row().frame("commandBox").span(2);

    // The map frame belongs to the map modes: disabled in the sky mode the program starts in.
    f.in("modeBox").radio("RADIO2", "Sky of Assigned local Time", "chartMode", 1).set();
    f.radio("RADIO3", "Star Map", "chartMode", 2);
    f.radio("RADIO105", "Earth map", "chartMode", 3);
    f.label("TEXT174", "Displaying of\nCoordinate").off();
    f.combo("COMBO5", {"Apparent Eqtr.", "True Eqtr.", "Mean Eqtr.", "ICRF Eqtr.", "Apparent Eclp.",
                       "True Eclp.", "Mean Eclp.", "J2000 Eclp."},
            0)
        .off();

    f.in("placeBox").label("TEXT1", "The Place of Sight").span(3);
    f.row().label("TEXT4", "Longitude(E:+)").edit("EDIT2", "+135.0", 9).width(80).label("deg");
    f.row().label("TEXT5", "Latitude(N:+)").edit("EDIT3", "+35.0", 8).width(80).label("deg");
    f.row().label("Altitude").edit("EDIT43", "0", 9).width(80).label("meter");
    f.row().label("TEXT86", "Shift of Azimuth").off().edit("EDIT42", "0", 9).width(80).off();
    f.label("TEXT87", "deg").off();

    f.in("timeBox").label("TEXT2", "Date and Time").span(5);
    f.row().label("PC's Time Zone(UTC+)").edit("EDIT4", "+9", 3).width(40).label("h");
    f.edit("EDIT5", "00", 2).width(40).label("m");
    f.row().label("Actual Time Zone(UTC+)").edit("EDIT6", "+9", 3).width(40).label("h");
    f.edit("EDIT7", "00", 2).width(40).label("m");
    f.row().label("AD").edit("EDIT8", "2008", 6).width(60);
    f.combo("COMBO1", monthItems(), 11).span(2);
    f.edit("EDIT9", "31", 2).width(40).label("th");
    f.row().label("Local Time").edit("EDIT10", "23", 2).width(40).label("h");
    f.edit("EDIT11", "59", 4).width(40).label("m");
    f.row().button("BUTTON31", "before").edit("EDIT63", "20m", 8).width(60);
    f.button("BUTTON32", "after").span(2);
    f.button("BUTTON45", "the Now").span(2);

    f.in("directionBox").label("TEXT18", "Azimuth").edit("EDIT12", "+180.00", 9).width(80);
    f.label("deg");
    f.row().label("TEXT19", "Elavation").edit("EDIT13", "+90.00", 9).width(80).label("deg");
    f.row().combo("COMBO6", {"Zenithal coordinate", "Apparent Equatorial", "True Equatorial",
                             "Mean Equatorial", "ICRF Equatorial", "Apparent Ecliptic",
                             "True Ecliptic", "Mean Ecliptic", "J2000 Ecliptic"},
                  0)
        .span(3);
    f.row().label("Rotation(clockw)").edit("EDIT64", "+00.00", 9).width(80).label("deg");

    // The compass buttons as on a compass card, azimuths counted from north through west; the
    // elevations from the zenith down, row by row.
    f.in("presetBox").label("TEXT27", "Direct.").span(3).label("TEXT131", "Elev.").at(4);
    f.row().button("BUTTON36", "NW").button("BUTTON21", "N").button("BUTTON33", "NE");
    f.button("BUTTON20", "+90").at(4).button("BUTTON37", "+60").button("BUTTON42", "+45");
    f.row().button("BUTTON24", "W").button("BUTTON22", "E").at(2);
    f.button("BUTTON38", "+30").at(4).button("BUTTON39", "+00").button("BUTTON40", "-30");
    f.row().button("BUTTON35", "SW").button("BUTTON23", "S").button("BUTTON34", "SE");
    f.button("BUTTON43", "-45").at(4).button("BUTTON41", "-60").button("BUTTON25", "-90");
    f.row().button("BUTTON26", "Initialize").span(3);

    f.in("commentBox").label("Comment");
    f.row().edit("EDIT19", "", 60).width(300);

    f.in("constellationBox").label("Selecting Constellation").span(2);
    f.row().combo("COMBO2", {}).span(2).width(200);
    f.row().check("CHECK2", "Coloring").check("CHECK3", "Centralizing");

    f.in("imageBox").label("Size of Image").edit("EDIT1", "320", 4).width(60).label("pixels");
    f.radio("RADIO27", "Normal Size", "layout", 1).set();
    f.radio("RADIO28", "half Height", "layout", 2);
    f.radio("RADIO29", "Dual-Box", "layout", 3);
    f.row().label("Magnification").edit("EDIT75", "1", 7).width(60);
    f.button("BUTTON46", "<<Calculate");
    f.label("Scope Radius").edit("EDIT76", "90.00", 6).width(60).label("deg");
    f.row().button("BUTTON47", "Up").at(1).button("BUTTON48", "Down");

    f.in("commandBox").button("BUTTON1", "DRAW").button("BUTTON50", "OverD");
    f.label("Search by Keyword").edit("EDIT104").width(160).button("BUTTON73", "Search");

    return f.spec();
}

} // namespace nivora
