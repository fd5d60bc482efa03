#pragma once

#include "background.h"
#include "baseline.h"
#include "spectrum.h"

#include <QMetaType>
#include <QString>

class QTextStream;

// A spectrum of absorption (mu*t) against photon energy in eV that normalises itself: edge
// estimate, pre- and post-edge base lines, edge energy e0, edge jump and four normalised
// spectra. Reads 9809 and two-column text files and writes its own spectrum file.
class XafsSpectrum : public Spectrum
{
public:
    XafsSpectrum() = default;
    // Copies the points of raw, sets the base-line form and the energy origin, and normalises
    // at once when there are points.
    XafsSpectrum(const Spectrum &raw, int isVictoreen, double eOrigin);
    // The same with the base-line form and ranges of background.
    XafsSpectrum(const Spectrum &raw, const Background &background, double eOrigin);

    // Fits the base lines in the given form (1 Victoreen, 0 straight) and derives e0, the jump
    // and the normalised spectra. Does nothing without points.
    void normalize(int isVictoreen);
    // The ranges the base lines are fitted over; set them before normalising.
    NormRanges ranges() const { return {preStart, preEnd, postStart, postEnd}; }
    void setRanges(const NormRanges &ranges);
    // The double-normalised (pre-edge based) spectrum interpolated at an energy.
    double doubleNormalizedPreBase(double energy) const;

    // What the last readFile() found.
    enum ReadOutcome {
        NotRead,
        Read,
        // Read, but the energies did not rise: the points were sorted by energy.
        ReadSorted,
        CannotOpen,
        NoPoints
    };

    // Reads a 9809 or two-column text file into the raw points (no normalisation), sorted by
    // energy. True when the file gave points; readOutcome and readError tell what happened,
    // for the caller to report.
    bool readFile(const QString &path);
    // Writes the spectrum file; x is relative to eOrigin when relative is set. Returns false,
    // leaving no file behind, when it cannot be written.
    bool writeFile(const QString &path, bool relative) const;

    // Registers "XafsSpectrum" and "XafsSpectrum*" for queued connections.
    static void registerMetaTypes();

    int plainText = 1;
    ReadOutcome readOutcome = NotRead;
    // Why the file could not be opened, as the system says it; empty otherwise.
    QString readError;
    BaseLine preEdge;
    BaseLine postEdge;
    int isVictoreen = 1;
    double preStart = -100.0;
    double preEnd = -10.0;
    double postStart = 10.0;
    double postEnd = 1000.0;
    double e0 = 0.0;
    double jump = 0.0;
    // What the last normalisation could not do (EdgeNormalization::Failure flags); 0 when it
    // found e0 and enough points in both base-line ranges.
    int normFailures = 0;
    Spectrum normPostBase;
    Spectrum doubleNormPostBase;
    Spectrum normalized;
    Spectrum doubleNormPreBase;
    double eOrigin = 0.0;

private:
    // Read the points from the stream; path names the file in messages.
    bool read9809(QTextStream &in, const QString &path);
    bool readPlainText(QTextStream &in, const QString &path);
    // Puts the points in order of rising energy (equal energies keep their order); false
    // when they were in order already.
    bool sortByEnergy();
};

Q_DECLARE_METATYPE(XafsSpectrum)
Q_DECLARE_METATYPE(XafsSpectrum *)
