#pragma once

#include <QtGlobal>

class Spectrum;

// A spectrum seen in place rather than stored: n energies and the values of one block among
// the spectra of a row, every stride-th value, with their value range. What the kernels of an
// area analysis read, so that no block's spectrum is copied; it gives the same numbers as the
// Spectrum with the same points.
class SpectrumSpan
{
public:
    SpectrumSpan() = default;
    SpectrumSpan(const double *energies,
                 const double *values,
                 int size,
                 qsizetype stride,
                 double minY,
                 double maxY)
        : mEnergies(energies)
        , mValues(values)
        , mSize(size)
        , mStride(stride)
        , mMinY(minY)
        , mMaxY(maxY)
    {}

    int size() const { return mSize; }
    bool isEmpty() const { return mSize == 0; }
    double xAt(int i) const { return mEnergies[i]; }
    // The size() energies, in place.
    const double *energies() const { return mEnergies; }
    double yAt(int i) const { return mValues[i * mStride]; }
    double minY() const { return mMinY; }
    double maxY() const { return mMaxY; }

    // As Spectrum::crossingEnergy.
    double crossingEnergy(double fraction, int kind) const;
    // The points as a stored spectrum, for kernels that work on one.
    void copyTo(Spectrum &spectrum) const;

private:
    const double *mEnergies = nullptr;
    const double *mValues = nullptr;
    int mSize = 0;
    qsizetype mStride = 1;
    double mMinY = 1e300;
    double mMaxY = -1e300;
};
