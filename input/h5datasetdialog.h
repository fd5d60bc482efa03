#pragma once

#include "input/h5source.h"

#include <QDialog>
#include <QStringList>

class QComboBox;

// Lists every dataset of an HDF5 file with its shape and type and lets the user pick the
// sample stack, the I0 or flat stack, an optional dark and the energies. Those of a recognised
// layout are chosen at the start.
class H5DatasetDialog : public QDialog
{
    Q_OBJECT

public:
    H5DatasetDialog(const QString &file,
                    const QVector<H5Source::DatasetInfo> &datasets,
                    QWidget *parent = nullptr);

    // Sample, I0/flat, energy, dark as the batch command names them; "-" for none.
    QStringList paths() const;

private:
    QComboBox *mSample;
    QComboBox *mFlat;
    QComboBox *mEnergy;
    QComboBox *mDark;
};
