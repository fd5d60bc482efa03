#pragma once

#include "spectra/spectrum.h"

#include <QFile>
#include <QString>
#include <QTextStream>

#include <cmath>

// Reference spectra for the fit benchmarks: an edge at 7112 eV (compound 0), 7117 eV
// (compound 1), 5 eV higher for each further compound, with fine-structure oscillations, every
// 0.5 eV from 6900 to 7450 eV, as a measured reference file holds them.
inline Spectrum benchReference(int compound)
{
    const double edge = 7112.0 + 5.0 * compound;
    Spectrum s;
    for (double e = 6900.0; e <= 7450.0; e += 0.5) {
        double mu
            = 0.3 * std::pow(7000.0 / e, 3.0) + 0.5 + std::atan((e - edge) / 1.5) / std::acos(-1.0);
        if (e > edge + 5.0)
            mu += 0.1 * std::sin(4.4 * std::sqrt(0.2625 * (e - edge)) + compound);
        s.append(e, mu);
    }
    return s;
}

inline bool writeBenchReference(const QString &path, int compound)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (const QPointF &p : benchReference(compound).points)
        out << p.x() << ' ' << p.y() << '\n';
    return true;
}
