#pragma once

// hc in eV * Angstrom: wavelength (Angstrom) = HcEVAngstrom / energy (eV).
constexpr double HcEVAngstrom = 12398.424360387684;
// The value of pi used for every degree/radian conversion.
constexpr double PiTenDigits = 3.1415926535;
