#pragma once

#include "analysis/areawalk.h"
#include "analysis/lcffitoptions.h"

#include <QString>
#include <QStringList>
#include <QVector>

class Analyzed2DRes;

// Writes the result maps of the last runs and the settings they were made with into one
// HDF5 file laid out as NeXus: every map an NXdata group of values at its block centres with
// the centres' x and y in pixels as axes, and the settings beside them.
class ResultsFile
{
public:
    struct Map
    {
        // Group name within the entry, and a title in words.
        QString name;
        QString title;
        const Analyzed2DRes *map = nullptr;
    };
    struct Reference
    {
        QString file;
        bool used = false;
        double energyShift = 0.0;
        QVector<double> energies;
        QVector<double> mu;
    };
    struct Settings
    {
        QStringList i1Files;
        QStringList i0Files;
        QVector<double> energies;
        // Base-line form of the spectra: 1 Victoreen, 0 straight lines; the pre- and post-edge
        // ranges in eV relative to the edge.
        int background = 1;
        double preStart = 0.0;
        double preEnd = 0.0;
        double postStart = 0.0;
        double postEnd = 0.0;
        bool mlcf = false;
        LCFFitOptions fitOptions;
        QVector<Reference> references;
        QString version;
    };

    // Writes the maps that hold values and the settings to path, replacing it only when all
    // was written. False, with the reason in error, when it could not be written.
    static bool
    write(const QString &path, const QVector<Map> &maps, const Settings &settings, QString *error);
};
