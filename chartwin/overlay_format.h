// The "DRAW using Data File" form's layout as a file, and what the form's readers share: the
// frame list conversions, the dependent-control rule and the colour swatches.
#pragma once

#include "options/settings_records.h"
#include "platform/forms.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace nivora {

// COMBO3 list index (DataFileFrame 0-9) to (frameClass, frameVariant); an index outside 0-9
// leaves both unchanged.
void CRDCNV1(int index, int& frameClass, int& frameVariant);
// (frameClass, frameVariant) to the list index; a class outside 1-4, or a variant outside 0-3,
// leaves the index unchanged.
void CRDCNV2(int frameClass, int frameVariant, int& index);

// Enables the FORM4 controls that `code` of the option group `group` ("longitudeUnit",
// "latitudeUnit", "markShape", "commentMode", "endMode") uses and disables the others. A group
// without dependent controls, or a code outside the group's range, changes nothing.
void enableOverlayControls(Ui& ui, std::string_view group, int code);

// The caption colour on a swatch: white when R + G + B < 256, else black.
Rgb swatchTextColour(std::int32_t colour);
// Paints PICTURE1 (the mark colour) or PICTURE2 (the comment colour) in `colour`, packed
// R + 256 G + 65536 B, with its two caption lines in white on dark colours, else in black.
void paintColorSwatch(Ui& ui, std::string_view swatch, std::int32_t colour);

// The swatches' font, set at every start.
void setSwatchFonts(Ui& ui);
// The form's values at a start without "nivora.frm": the sample data file, the default colours
// painted, the first coordinate system.
void setOverlayDefaults(Ui& ui, OverlayColors& colors);

// The layout the program keeps between runs, in the working folder.
inline constexpr const char* overlayFormatFileName = "nivora.frm";

// Writes the form's layout and the colours as a 51-line format file, replacing an old file only
// once the new one is complete. An "ALERT" names a file that cannot be written; false then.
bool FRMSAV(Ui& ui, const OverlayColors& colors, const std::filesystem::path& file);

// Reads a format file into the form and the colours. Mode 1 also restores "Draw by File" and
// "Search in File by Click"; mode 0 leaves them. A file that cannot be read or has fewer than
// 24 lines gets an "ALERT" naming it (and saying why it cannot be read) and changes nothing;
// false then, with *unreadable (when given) telling the first case from the second.
bool FRMLOAD(Ui& ui, OverlayColors& colors, const std::filesystem::path& file, int mode,
             bool* unreadable = nullptr);

} // namespace nivora
