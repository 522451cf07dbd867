// The "Minute Option" form FORM5: star scaling, readout units, the Earth lines' altitude and the
// user-defined azimuthal projection.
#pragma once

#include <string>
#include <vector>

#include "astro/projection.h"
#include "options/option_records.h"
#include "platform/forms.h"

namespace nivora {

// The form's controls, hidden at start. The option groups are declared in the order their codes
// count and placed as they read on the screen.
FormSpec minuteOptionForm();

// FORM5SETTING: the records into the form. A coefficient or aspect ratio whose integer part the
// field's usual width would cap (15.3 as "+9.300000") is written wider. EDIT77, EDIT78 and the
// search-comment pair are left as the user set them.
void FORM5SETTING(Ui& ui, const MinuteOptions& minute, const UserProjection& user);

// "OK": the form into the records, the domain and the normalisation derived. A field whose text
// holds no number its record can take (fieldHoldsNumber: the star sizes single, the projection's
// values double precision), a radius not above 0 once held to the domain, or an aspect ratio not
// above 0, gets one "ALERT" naming the field and changes nothing; the form stays open. True when
// stored.
bool BUTTON16_ON(Ui& ui, MinuteOptions& minute, UserProjection& user);

// The eight coefficient texts of a PolynomialDataFile (a(2) to a(9)), "0" for the powers it does
// not list. Throws DataFileError naming the file and the line when it has no "Coefficients of
// Polynomial" line, ends before the numbers its term line announces, or holds a line that is not
// one number where one is due.
CoefficientTexts readPolynomialData(const std::vector<std::string>& lines, const std::string& file);

// "Read Coefficients" with a chosen file: the fields from the file, then the radius held to the
// new domain. A file that cannot be read or is malformed gets one "ALERT"; the fields stay.
bool readCoefficientsFile(Ui& ui, const std::string& file);

// The four menu items that fill and show the form, and its buttons. The records must outlive ui.
void bindMinuteOptionForm(Ui& ui, MinuteOptions& minute, UserProjection& user);

} // namespace nivora
