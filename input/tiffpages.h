#pragma once

#include <QString>
#include <QVector>

// The pages of a multi-page TIFF (an ImageJ stack, say): how many images the file holds and,
// when its ImageJ slice labels are all numbers, the energy each label gives its page.
class TiffPages
{
public:
    // Reads the page list of a file. A file that is no TIFF, or that cannot be read, counts
    // as one page: reading it as one image then says what is wrong with it.
    static TiffPages of(const QString &path);
    // A page's energy in eV from its slice label: a number, in keV when it ends in "keV" or is
    // below 100, in eV otherwise ("eV" may follow it). 0 for a label that is no number.
    static double energyOfLabel(const QString &label);
    // "path [k]", k counted from 1, as the file list shows page k - 1 of a multi-page file.
    static QString listedName(const QString &path, int page);
    // The path and page of a listed name of that form whose path is an existing file.
    static bool splitListedName(const QString &name, QString *path, int *page);

    int count = 1;
    // One energy a page, or empty when the labels are missing or not all numbers.
    QVector<double> labelEnergies;
};
