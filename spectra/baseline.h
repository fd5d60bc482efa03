#pragma once

#include "spectrum.h"

// A pre- or post-edge base line: a straight line a + slope * E or a Victoreen curve
// a + b * lambda^3 + c * lambda^4 (lambda in Angstrom) fitted to part of a spectrum, and held
// as its value at every point of that spectrum.
class BaseLine : public Spectrum
{
public:
    // Fits the line to the points with start <= E < end (E as read, shifted; the walk stops at
    // the first point at or past end) and refills the points at every energy of spectrum.
    // Spectra too short for the form, and fits that come out singular, keep the old
    // coefficients (the points are refilled from them).
    void fit(const Spectrum &spectrum, double start, double end, int victoreen);
    // Value of the fitted curve at an energy in eV.
    double fittedValue(double energy) const;

    int isVictoreen = 1;
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double slope = 0.0;

private:
    bool fitStraight(const Spectrum &spectrum, double start, double end);
    bool fitVictoreen(const Spectrum &spectrum, double start, double end);
};
