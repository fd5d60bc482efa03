#pragma once

// Two synthetic reference compounds whose edges lie 5 eV apart, with flat pre- and post-edge
// regions, so that a mixture of them normalises to the same mixture of their normalised
// spectra and a fit can be checked exactly.

#include "spectra/xafsspectrum.h"

#include <QFile>
#include <QString>
#include <QTextStream>
#include <QtGlobal>

#include <cmath>

namespace ReferenceSpectra {

// 0 below edge - 4 eV, 1 above edge + 4 eV, a smooth cubic step between.
inline double step(double energy, double edge)
{
    const double t = qBound(0.0, (energy - edge + 4.0) / 8.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Compound 1: a plain edge at 7112 eV; compound 2: an edge at 7117 eV with a white line.
inline double mu(int compound, double energy)
{
    if (compound == 1)
        return step(energy, 7112.0);
    const double d = (energy - 7119.0) / 3.0;
    return step(energy, 7117.0) + (std::abs(d) < 1.0 ? 0.6 * (1 - d * d) * (1 - d * d) : 0.0);
}

// Points (E + offset, value(E)) for E = lo, lo + step, ..., hi.
template<typename Value>
Spectrum sampled(double lo, double hi, double step, double offset, Value value)
{
    Spectrum s;
    for (double e = lo; e <= hi + 1e-9; e += step)
        s.append(e + offset, value(e));
    return s;
}

// A sample every 2 eV from 6900 to 7400 eV. LCF: 0.4 + 2.5 * (w1 mu1 + w2 mu2), whose jump is
// 2.5; MLCF: a sloped background plus w1 (mu1 - 1) + w2 (mu2 - 1).
inline XafsSpectrum mixture(bool mlcf, double w1, double w2)
{
    const auto value = [=](double e) {
        if (mlcf)
            return 0.5 + 1e-4 * e + w1 * (mu(1, e) - 1) + w2 * (mu(2, e) - 1);
        return 0.4 + 2.5 * (w1 * mu(1, e) + w2 * mu(2, e));
    };
    return XafsSpectrum(sampled(6900, 7400, 2.0, 0.0, value), 0, 0.0);
}

// Writes a two-column spectrum file.
inline bool writeSpectrum(const QString &path, const Spectrum &s)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out.setRealNumberPrecision(12);
    for (const QPointF &p : s.points)
        out << p.x() << ' ' << p.y() << '\n';
    return true;
}

} // namespace ReferenceSpectra
