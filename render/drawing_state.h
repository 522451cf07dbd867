// The state one drawing leaves for the click, the overlay and the overdraws.
#pragma once

namespace nivora {

struct DrawingState {
};

} // namespace nivora
