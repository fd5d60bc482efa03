#include "baseline.h"

void BaseLine::fit(const Spectrum &spectrum, double start, double end, int victoreen)
{
    // A spectrum too short for the form, or a singular fit, keeps the old curve; it is still
    // evaluated at this spectrum's energies so that every point has its base value.
    fitCoefficients(
        spectrum.size(),
        [&spectrum](int i) { return spectrum.xAt(i); },
        [&spectrum](int i) { return spectrum.yAt(i); },
        start,
        end,
        victoreen);
    clear();
    points.reserve(spectrum.size());
    for (int i = 0; i < spectrum.size(); ++i) {
        const double energy = spectrum.xAt(i);
        append(energy, fittedValue(energy));
    }
}
