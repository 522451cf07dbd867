#include "options/minute_form.h"

#include "options/form_rows.h"

namespace nivora {

FormSpec minuteOptionForm() {
    FormRows f("FORM5", "Minute Option");

    f.frame("starsBox", "Scaling Factor of Stars by Magnitude").span(2);
    f.frame("linesBox").at(2);
    f.frame("buttonsBox").at(3);
    f.row().frame("commentBox", "In Comment Area");
    f.frame("projectionBox").span(3);
    f.row().frame("clickBox").span(4);

    f.in("starsBox").label("A STAR with Magnitude=X is drawn as a circle with "
                           "A*(B-X)*(root of Width/1000) pixels in diameter.").span(3);
    f.row().label("Scaling Factor A=").edit("EDIT40", " 1").width(60);
    f.row().label("Stars with Magnitude darker than B=").edit("EDIT41", " 7.5").width(60);
    f.label("are drawn as dots.");

    f.in("linesBox").label("Altitude of Lng. and Lat. lines").span(2);
    f.row().edit("EDIT77", "0").width(60).label("km");

    f.in("buttonsBox").button("BUTTON16", "OK");
    f.row().button("BUTTON17", "Cancel");

    // Code order: 1 decimal, 2 sexagesimal, 3 hours for right ascension.
    f.in("commentBox").label("RA and Dec for the Sun and technical data");
    f.row().radio("RADIO45", "degree(Sexagecimal)", "commentUnit", 2);
    f.row().radio("RADIO44", "degree(Decimal)", "commentUnit", 1);
    f.row().radio("RADIO46", "h/m/s for RA", "commentUnit", 3).set();

    f.in("projectionBox").label("-------Azimuthal Projection User defining------").span(6);
    f.button("BUTTON44", "Check Domain").span(2);
    f.button("BUTTON49", "Read Coefficients").span(2);
    f.row().label("Angle of Radius, Displayed in (x1)").span(3);
    f.edit("EDIT65", " 90.00").width(70).label("degree,");
    f.label("Aspect Ratio Y/X=").span(2).edit("EDIT66", "1.000000").width(70);
    f.row().label("R'= R+").edit("EDIT67", "+0").width(70).label("R^2+").edit("EDIT68", "+0").width(70);
    f.label("R^3+").edit("EDIT69", "+0").width(70).label("R^4+").edit("EDIT70", "+0").width(70);
    f.label("R^5");
    f.row().label("(rad) +").edit("EDIT71", "+0").width(70).label("R^6+").edit("EDIT72", "+0").width(70);
    f.label("R^7+").edit("EDIT73", "+0").width(70).label("R^8+").edit("EDIT74", "+0").width(70);
    f.label("R^9");

    // Unit code order: 1 decimal, 2 sexagesimal, 3 h/m/s, 4 decimal with sign, 5 sexagesimal
    // with sign; the screen lists them otherwise.
    f.in("clickBox").label("---------------------------------------------  desplay of Click-window  "
                           "--------------------------------------------").span(5);
    f.row().label("Azimuth and Elevation");
    f.label("Unit and Coordinate of RA and Dec").span(2);
    f.label("Comment in Searching stars").span(2);
    f.row().radio("RADIO37", "degree(Sexagecimal)", "azElUnit", 2).set();
    f.radio("RADIO39", "degree(Sexagecimal)", "raDecUnit", 2);
    f.radio("RADIO47", "Apparent", "sunDataFrame", 1).set();
    f.radio("RADIO53", "Magnitude", "searchComment", 1).set().span(2);
    f.row().radio("RADIO65", "degree(Sexa.with pm)", "azElUnit", 5);
    f.radio("RADIO66", "degree(Sexa.with pm)", "raDecUnit", 5);
    f.radio("RADIO48", "True", "sunDataFrame", 2);
    f.radio("RADIO54", "Star-code,etc", "searchComment", 2).span(2);
    f.row().radio("RADIO36", "degree(Decimal)", "azElUnit", 1);
    f.radio("RADIO38", "degree(Decimal)", "raDecUnit", 1);
    f.radio("RADIO49", "Mean", "sunDataFrame", 3);
    f.label("Radius of Searching").span(2);
    f.row().radio("RADIO63", "degree(Dec.with pm)", "azElUnit", 4);
    f.radio("RADIO64", "degree(Dec.with pm)", "raDecUnit", 4);
    f.radio("RADIO101", "ICRF", "sunDataFrame", 4);
    f.edit("EDIT78", "0.9999").width(70).label("deg");
    f.row().radio("RADIO41", "h/m/s for Azimuth", "azElUnit", 3);
    f.radio("RADIO40", "h/m/s for RA", "raDecUnit", 3).set();
    f.radio("RADIO52", "ALL(do not search stars)", "sunDataFrame", 5);
    f.label("(less than 1degree)").span(2);
    f.row().label("Aberration, Refraction, Measure Angle").span(2);
    f.radio("RADIO43", "degree(Sexagecimal)", "angleUnit", 2).set();
    f.radio("RADIO42", "degree(Decimal)", "angleUnit", 1);

    return f.spec();
}

} // namespace nivora
