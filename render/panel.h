// The information panel in the side strip: the direction point's mark, the place and time, the
// comment, the centre direction, the legends, the projection and the pole-data block.
#pragma once

#include <string>

namespace nivora {

struct DrawingWork;
struct ProgramRecords;

// The panel of one drawing, in every chart mode.
void drawInformationPanel(ProgramRecords& records, const DrawingWork& work);

// "2008/Dec/31st,23h59m." of the typed date and time: numbers in their shortest text, the
// blank before a number that is not negative dropped.
std::string panelDateTime(float year, int monthIndex, float day, float hour, float minute);

// The top row of the pole-data block, which moves up when the readout rows, the added star or
// the orbit object are absent.
int poleDataRow(const ProgramRecords& records, const DrawingWork& work);

// The pixel row just below everything the panel can write in any chart and any option: the
// pole-data block's seven rows at its lowest place, each a row of text high.
int panelRowsBottom();

} // namespace nivora
