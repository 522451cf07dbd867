// The font families the program names, mapped once to installed families with the same metrics.
#pragma once

#include "platform/ui_types.h"

#include <string>
#include <string_view>
#include <vector>

class QFont;

namespace nivora {

// The installed family that stands in for a Windows family; unknown names pass unchanged.
std::string installedFamily(std::string_view windowsFamily);

// A QFont of that family at the point size, set as a pixel size at 96 dpi so that every screen
// and the offscreen platform agree.
QFont makeFont(const FontSpec& font);
int pixelSizeOfPoints(double points);

// The system's font families as the program sees them: a Windows name is listed when its
// stand-in is installed, so the family search finds "MS UI Gothic" when IPAPGothic exists.
std::vector<std::string> fontFamilies();
bool fontFamilyExists(std::string_view windowsFamily);

} // namespace nivora
