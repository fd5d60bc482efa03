#pragma once

#include "analysis/analyzed2dres.h"

#include <QString>

class QTextStream;

// The header of an energy-shift map file, as read by EnergyShiftMap::loadEMapHeader.
struct EMPHeader
{
    bool valid = false;
    int width = 0;
    int height = 0;
    int binHalfWidth = 0;
    int binHalfHeight = 0;
    int areaX0 = 0;
    int areaX1 = 0;
    int areaY0 = 0;
    int areaY1 = 0;
    double stdEdgeEnergy = 0.0;
    double spacing = 0.0;
    // Lines read, the separator included: the data section starts on the line after.
    int lines = 0;
};

// The energy shift of every pixel in eV, with the walk of the calibration that filled it, and
// its file (.emp), which stores Bragg-angle offsets from the standard's edge so that a map
// can be carried to another edge energy. The main window owns one; the spectrum under the
// cursor and the area analyses read it.
class EnergyShiftMap
{
public:
    EnergyShiftMap();

    Analyzed2DRes &map() { return mMap; }
    const Analyzed2DRes &map() const { return mMap; }
    int width() const { return mMap.width(); }
    int height() const { return mMap.height(); }
    // Shift at a pixel; 0 outside the map.
    double value(qint64 x, qint64 y) const { return mMap.value(x, y); }

    // Zeros over width x height pixels, walked pixel by pixel.
    void resize(int width, int height);
    // All values 0 at the same size and walk, ranges reset, no image.
    void clear();

    // Writes the map with the standard's edge e0 and the crystal spacing. False, with the
    // old file left as it was, when e0 is beyond the crystal's reach or the file cannot be
    // written.
    bool save(const QString &fileName, double e0, double spacing, const QString &stdFile);
    // Reads a map file for an image of imageWidth x imageHeight (sizes below 1 take the
    // file's, when the file is long enough to hold a map of that size), at the edge energy
    // edgeEV when it is positive, else at the file's. False, with the map unchanged, when the
    // file is refused, a value that is not a finite number included; a short data section
    // reads as zeros.
    bool load(const QString &fileName, double edgeEV, int &imageWidth, int &imageHeight);
    // Why the last save or load failed: an untranslated text of context "EnergyShiftMap",
    // with %1 the file name and, where the text has it, %2 the line.
    QString failureReason() const { return mFailureReason; }
    QString failedFile() const { return mFailedFile; }
    int failedLine() const { return mFailedLine; }
    // The reason translated, with the file name and the line filled in.
    QString failureMessage() const;

    // Reads the header lines up to the data separator.
    static void loadEMapHeader(EMPHeader &header, QTextStream &in);
    // Bragg angle in degrees of an energy for a crystal spacing in angstrom; -1 out of reach.
    static double braggAngle(double energy, double spacing);
    // The name with the suffix "emp" when it has none.
    static QString withSuffix(const QString &fileName);

private:
    bool fail(const char *reason, const QString &fileName, int line = 0);
    // Whether the sizes and area of a header describe a map a reader may allocate and walk.
    static bool saneSizes(const EMPHeader &header);

    Analyzed2DRes mMap;
    QString mFailureReason;
    QString mFailedFile;
    int mFailedLine = 0;
};
