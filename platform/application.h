// The one Qt application object of a run.
#pragma once

namespace nivora {

// Creates the application object when none exists yet (tests, tools). Safe to call often.
void ensureApplication();

// The part of the primary screen that windows may take (the desktop less its panels), in pixels,
// and how far right and down that part of all screens together reaches; all 0 when there is no
// screen.
struct ScreenArea {
    int width = 0;
    int height = 0;
    int desktopRight = 0;
    int desktopBottom = 0;
};
ScreenArea availableScreenArea();

} // namespace nivora
