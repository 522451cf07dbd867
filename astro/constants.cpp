#include "astro/constants.h"

#include <cmath>

namespace nivora {

const float refractionLowCoefficient =
    float(double(0.0083f) * std::pow(double(refractionLowOffset), double(refractionLowExponent)));

} // namespace nivora
