// The one Qt application object of a run.
#pragma once

namespace nivora {

// Creates the application object when none exists yet (tests, tools). Safe to call often.
void ensureApplication();

// Gives Qt's painting the threads it works with, at start, while memory allows: later painting
// never waits for a thread that could not be made. False when they could not all be made: the
// program cannot paint safely and should not go on.
bool startPaintingThreads();

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
