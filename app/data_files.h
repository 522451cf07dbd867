// The data file table on the "Setting Files" form, the interface fonts, and the main window's
// constellation (or nations) list.
#pragma once

#include "render/program_records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nivora {

// Refills the main window's "Selecting Constellation" box COMBO2 from the list file of the current
// set, dataFiles(earthMap, 2), leaving nothing chosen. A list with no file name, one that cannot
// be read or one without its "#-" end line gets one "ALERT" naming it; the box keeps the items
// read so far. Called whenever the current set or its list name changes.
void refillConstellationList(ProgramRecords& p);

// Gives the controls that show the user's own names the Japanese font when fontKind is 2 and
// `families` holds "MS UI Gothic", else the European ones (fontKind 2 then becomes 1); the
// pointing window gets the matching fixed-pitch font. `families` is the system's font list.
void applyInterfaceFonts(ProgramRecords& p, const std::vector<std::string>& families);
void applyInterfaceFonts(ProgramRecords& p);

// Fills the "Setting Files" form from the table and fontKind; mode 1 then also applies the fonts
// and refills COMBO2.
void SETF3(ProgramRecords& p, std::int16_t mode);

// Stores the form into the table and fontKind, applies the fonts, and refills COMBO2 only when
// the current set's list name changed.
void READF3(ProgramRecords& p);

// Binds "Setting DATA files", the eight "Refer Files" buttons, "OK" and "Cancel".
void bindSettingFiles(ProgramRecords& p);

} // namespace nivora
