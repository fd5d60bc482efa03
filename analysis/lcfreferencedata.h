#pragma once

#include "spectra/xafsspectrum.h"

#include <QMetaType>
#include <QVector>

// What a fit needs of one reference spectrum, copied on the GUI thread with every request so
// that the fit never reads a widget: the spectrum, whether it takes part, its energy shift and
// the fraction last shown for it.
struct LCFReferenceData
{
    // The reference spectrum; its derived spectra lie on the energies of its file.
    XafsSpectrum spectrum;
    // Its use box is checked and a file has been chosen.
    bool used = false;
    // Energy shift dE in eV, 0 while the shift is off: at the sample's energy E the reference
    // is read at E + shift.
    double shift = 0.0;
    // The fraction of the last fit shown in the reference's row.
    double coefficient = 0.0;

    // A reference as a row holds it: raw normalised with background on its own energies, in
    // use when it has points, read at E + shift.
    static LCFReferenceData of(const XafsSpectrum &raw, const Background &background, double shift)
    {
        LCFReferenceData data;
        data.spectrum = raw;
        data.spectrum.shiftOn = false;
        data.spectrum.setRanges(background.ranges);
        data.spectrum.normalize(background.victoreen);
        data.spectrum.shiftOn = true;
        data.spectrum.dE = shift;
        data.spectrum.eOrigin = shift;
        data.used = !data.spectrum.isEmpty();
        data.shift = shift;
        return data;
    }
};

Q_DECLARE_METATYPE(LCFReferenceData)
Q_DECLARE_METATYPE(QVector<LCFReferenceData>)
