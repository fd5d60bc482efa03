#include "bragg.h"

#include <cmath>

namespace Bragg {

double angleOf(double energy, double d)
{
    const double s = HcEVAngstrom / (energy * 2.0 * d);
    if (std::fabs(s) > 1.0)
        return -1.0;
    return std::asin(s) * 180.0 / PiTenDigits;
}

double energyOf(double angle, double d)
{
    return HcEVAngstrom / (2.0 * d * std::sin(angle * PiTenDigits / 180.0));
}

} // namespace Bragg
