// The handlers of the "DRAW using Data File" form FORM4: the file and colour choices, the
// dependent-control rule of every option button, OK, Cancel and the format file buttons.
#pragma once

#include "chartwin/chartwin_records.h"

namespace nivora {

// "Refer Files": the chosen data file's path into EDIT54; a cancel changes nothing.
void BUTTON13_ON(ChartWindowRecords& p);
// A swatch click: the colour dialog for the mark colour (PICTURE1) or the comment colour
// (PICTURE2); OK stores the colour and repaints the swatch.
void PICTURE1_CLICK(ChartWindowRecords& p);
void PICTURE2_CLICK(ChartWindowRecords& p);
// "OK" hides the form; its values are read live, so nothing is copied.
void BUTTON9_ON(ChartWindowRecords& p);
// "Cancel" switches the overlay and the search by click off and hides the form; every other
// value stays as entered.
void BUTTON14_ON(ChartWindowRecords& p);
// "LOAD format": a chosen format file into the form, the two switches kept.
void BUTTON11_ON(ChartWindowRecords& p);
// "SAVE format": the form into a chosen file, asking before replacing one.
void BUTTON12_ON(ChartWindowRecords& p);

// Binds the handlers above and every option button's rule (RADIO7_ON ... RADIO67_ON).
void bindOverlayForm(ChartWindowRecords& p);

} // namespace nivora
