#include "app/app_forms.h"

#include <string>

#include "options/form_rows.h"

namespace nivora {

// Every two-button group reads first + 2 x second.
FormSpec orbitalElementsForm() {
    FormRows f("FORM7", "Orbital Elements");
    f.frame("centerBox", "Center");
    f.frame("coordinateBox", "Coordinate");
    f.frame("timeScaleBox", "Time");
    f.row().frame("placeBox").span(3);
    f.row().frame("elementsBox").span(3);
    f.row().frame("epochBox", "Epoch of Longitude").span(3);
    f.row().frame("commentBox").span(3);
    f.row().frame("buttonsBox").span(3);

    f.in("centerBox").radio("RADIO72", "around Sun", "center", 1).set();
    f.row().radio("RADIO73", "around Earth", "center", 2);
    f.in("coordinateBox").radio("RADIO74", "Longitude", "coordinate", 1).set();
    f.row().radio("RADIO75", "R.A.", "coordinate", 2);
    f.in("timeScaleBox").radio("RADIO76", "TD", "timeScale", 1).set();
    f.row().radio("RADIO77", "UT", "timeScale", 2);

    // The mean anomaly counts only with "Epoch and Mean Anomaly"; the form starts on the
    // perihelion passage, so it starts disabled.
    f.in("placeBox").radio("RADIO68", "Epoch and Mean Anomaly", "orbitPlace", 1).span(3);
    f.radio("RADIO69", "Perihelion Passage", "orbitPlace", 2).set().span(3);
    f.row().label("AD").edit("EDIT84", "2000").width(60);
    f.combo("COMBO7", monthItems(), 0).edit("EDIT85", "1.5").width(60).label("th");
    f.row().edit("EDIT89", "000.0000").width(80).off().at(1).span(2).label("TEXT152", "deg").off();

    f.in("elementsBox").label("Perihelion Distance").edit("EDIT80").width(120);
    f.label("TEXT140", "AU,");
    f.label("Semi-major Axis").edit("EDIT81").width(120).label("TEXT141", "AU,");
    f.row().label("eccentricity").edit("EDIT82").width(120);
    f.label("Period").at(3).edit("EDIT83").width(120).label("TEXT143", "years");
    f.row().label("TEXT146", "Longitude of the ascending node").edit("EDIT86").width(120);
    f.label("deg,");
    f.label("Inclination").edit("EDIT87").width(120).label("deg");
    f.row().radio("RADIO70", "Argument of Perihelion", "perihelionAngle", 1).set();
    f.edit("EDIT88").width(120).label("deg");
    f.row().radio("RADIO71", "Longitude of Perihelion", "perihelionAngle", 2);

    f.in("epochBox").label("AD").edit("EDIT90", "2000").width(60);
    f.combo("COMBO8", monthItems(), 0).edit("EDIT91", "1.5").width(60).label("th");

    f.in("commentBox").label("Comment").edit("EDIT92").width(400);

    f.in("buttonsBox").button("BUTTON54", "Calculate").button("BUTTON51", "OK");
    f.button("BUTTON52", "LOAD").button("BUTTON53", "SAVE");
    return f.spec();
}

FormSpec planetsForm() {
    FormRows f("FORM8", "Planets");
    f.frame("planetBox");
    f.row().frame("shadowBox");
    f.row().frame("buttonsBox");

    // A row's mode is "(x)" + 2 x "Emphasized": "Not Display" counts 0.
    struct Planet {
        const char* label;
        int firstRadio;
        int edit;
        int button;
    };
    const Planet planets[] = {
        {"Mercury(Mc)", 78, 97, 63}, {"Venus(Vn)", 81, 98, 64},   {"Mars(Ms)", 84, 99, 65},
        {"Jupiter(Jp)", 87, 100, 66}, {"Saturn(St)", 90, 101, 67}, {"Uranus(Ur)", 93, 102, 68},
        {"Neptune(Np)", 96, 103, 69},
    };
    f.in("planetBox").label("Not Display").at(1).label("(x)").label("Emphasized");
    for (int i = 0; i < 7; ++i) {
        const Planet& p = planets[i];
        const std::string group = "planet" + std::to_string(i);
        f.row().label(p.label);
        for (int mode = 0; mode < 3; ++mode) {
            f.radio("RADIO" + std::to_string(p.firstRadio + mode), "", group, mode);
            if (mode == 0)
                f.set();
        }
        f.edit("EDIT" + std::to_string(p.edit)).width(260);
        f.button("BUTTON" + std::to_string(p.button), "Refer");
    }

    // The shadow is taken at the Moon's distance at every start: the typed distance is unused.
    f.in("shadowBox").radio("RADIO99", "to Moon", "shadowDistance", 1).set();
    f.radio("RADIO100", "Assign", "shadowDistance", 2);
    f.label("Distance to Earth-shadow").edit("EDIT79", "384400").width(80).off();
    f.label("TEXT138", "km").off();
    f.row().label("Factor of Earth-shadow").at(2).edit("EDIT106", "1.018").width(80);

    f.in("buttonsBox").button("BUTTON61", "OK").button("BUTTON62", "Cancel");
    return f.spec();
}

FormSpec addingStarForm() {
    FormRows f("FORM9", "Adding A Star");
    f.check("CHECK1", "Adding A Star");
    f.row().frame("positionBox");
    f.row().frame("markBox");
    f.row().frame("distanceBox");
    f.row().frame("buttonsBox");

    // Everything but the switch and the buttons waits for "Adding A Star" to be ticked.
    f.in("positionBox").combo("COMBO4", {"Apparent Eqtr.", "True Eqtr.", "Mean Eqtr.", "ICRF Eqtr.",
                                         "Apparent Eclp.", "True Eclp.", "Mean Eclp.",
                                         "J2000.0 Eclp.", "Lng&Lat of Earth", "Zenithal"},
                          3)
        .off()
        .span(3);
    f.row().label("TEXT12", "Right Ascension").off().edit("EDIT14", "12").width(50).off();
    f.label("TEXT23", "h").off().edit("EDIT15", "00").width(50).off().label("TEXT26", "m").off();
    f.radio("RADIO61", "h/m", "firstUnit", 1).set().off();
    f.radio("RADIO62", "deg", "firstUnit", 2).off();
    f.row().label("TEXT22", "Declination").off().edit("EDIT16", "+00").width(50).off();
    f.label("TEXT24", "deg").off().edit("EDIT17", "00").width(50).off().label("TEXT25", "m").off();

    // A circle sized by its magnitude: the size fields are in use.
    f.in("markBox").radio("RADIO102", "( x )", "markStyle", 1).off();
    f.radio("RADIO103", "circle", "markStyle", 2).set().off();
    f.radio("RADIO104", "outline", "markStyle", 3).off();
    f.row().radio("RADIO34", "magnitude", "sizeKind", 1).set().off();
    f.radio("RADIO35", "Radius", "sizeKind", 2).off();
    f.edit("EDIT18", "-1.00").width(60).off().label("TEXT11", "").off();
    f.row().label("TEXT79", "Name").off().edit("EDIT38").width(240).off().span(4);

    f.in("distanceBox").check("CHECK11", "Distance").off().edit("EDIT62", "1").width(100).off();
    f.radio("RADIO50", "km", "distanceUnit", 1).set().off();
    f.radio("RADIO51", "AU", "distanceUnit", 2).off();
    f.row().radio("RADIO59", "From the Center", "distanceOrigin", 1).set().off().span(2);
    f.radio("RADIO60", "from the Surface", "distanceOrigin", 2).off().span(2);

    f.in("buttonsBox").button("BUTTON70", "Save").button("BUTTON71", "Load");
    f.button("BUTTON72", "OK").button("BUTTON74", "OverD");
    return f.spec();
}

} // namespace nivora
