#pragma once

#include "spectra/xafsconstants.h"

// Bragg's law for the monochromator crystal: energies in eV, angles in degrees.
namespace Bragg {

constexpr double latticeSpacing = 3.13553; // Angstrom

// Angle of the given energy; -1 when the crystal cannot reach it.
double angleOf(double energy, double d = latticeSpacing);
double energyOf(double angle, double d = latticeSpacing);

} // namespace Bragg
