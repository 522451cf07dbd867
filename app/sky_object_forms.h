// The sky-object forms: "Orbital Elements" (FORM7) with its ".orb" file, "Planets" (FORM8) and
// "Adding A Star" (FORM9) with its ".str" file. The forms are the store of what they define;
// only "Planets" copies into a record (PlanetSettings), at "OK".
#pragma once

#include <string>

namespace nivora {

class Program;
class Ui;
struct PlanetSettings;

// Writes the whole orbit form as an ".orb" file of 20 lines; false after an "ALERT" when the file
// cannot be written, the old one kept.
bool OOBJSAV(Ui& ui, const std::string& file);
// Reads an ".orb" file of 18 or 20 (or more) lines into the form, captions, units and enabling
// included. A file that is too short, of 19 lines, or holds a month outside 0-11 or a number line
// without a number changes nothing and gets one "ALERT" naming the file, the line and the field.
bool OOBJLOAD(Ui& ui, const std::string& file);

// The ".str" file of the added star: 13 lines written; 5 to 9 or 13 and more read. The loader
// refuses, changing nothing, a file under 5 or of 10 to 12 lines, a frame outside 0-9, a check
// value other than 0 or 1 and a number line without a number; it never touches CHECK1.
bool saveAddedStar(Ui& ui, const std::string& file);
bool loadAddedStar(Ui& ui, const std::string& file);

// "Planets": fills the rows from the record and shows the form; "OK" stores them back.
void PLNTS_ON(Ui& ui, const PlanetSettings& planets);
void BUTTON61_ON(Ui& ui, PlanetSettings& planets);

// Binds every handler of the three forms and the menu items that open them.
void bindSkyObjectForms(Program& program);

} // namespace nivora
