#pragma once

#include <QDir>
#include <QVector>

// The stacks as HDF5 files in h5/: the Data Exchange layout with energies in eV (and the same
// compressed with gzip), and the root-level layout of full-field XANES beamlines with the scan
// stored falling in energy, energies in keV without units, and two dark frames of 0. i1 and i0
// hold the frames one after the other, size x size samples each.
bool writeH5Layouts(const QDir &dir,
                    int size,
                    const QVector<double> &energies,
                    const QVector<quint16> &i1,
                    const QVector<quint16> &i0);
