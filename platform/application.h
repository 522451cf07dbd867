// The one Qt application object of a run.
#pragma once

namespace nivora {

// Creates the application object when none exists yet (tests, tools). Safe to call often.
void ensureApplication();

} // namespace nivora
