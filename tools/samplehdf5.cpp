#include "samplehdf5.h"

#include "input/h5source.h"

#include <QFile>
#include <QMutexLocker>

#include <hdf5.h>

#include <algorithm>
#include <cmath>
#include <cstring>

// One dataset of 16-bit or double values; chunks of one frame compressed with gzip level 1
// when asked for. units: a string attribute, unless empty.
namespace {

bool writeH5Dataset(hid_t file,
                    const char *name,
                    const QVector<hsize_t> &dims,
                    hid_t fileType,
                    hid_t memoryType,
                    const void *values,
                    bool gzip,
                    const char *units = nullptr)
{
    const hid_t space = H5Screate_simple(dims.size(), dims.constData(), nullptr);
    const hid_t creation = H5Pcreate(H5P_DATASET_CREATE);
    if (gzip && dims.size() == 3) {
        const hsize_t chunk[3] = {1, dims[1], dims[2]};
        H5Pset_chunk(creation, 3, chunk);
        H5Pset_deflate(creation, 1);
    }
    const hid_t links = H5Pcreate(H5P_LINK_CREATE);
    H5Pset_create_intermediate_group(links, 1);
    const hid_t dataset = H5Dcreate2(file, name, fileType, space, links, creation, H5P_DEFAULT);
    bool ok
        = dataset >= 0 && H5Dwrite(dataset, memoryType, H5S_ALL, H5S_ALL, H5P_DEFAULT, values) >= 0;
    if (ok && units) {
        const hid_t text = H5Tcopy(H5T_C_S1);
        H5Tset_size(text, std::strlen(units));
        const hid_t scalar = H5Screate(H5S_SCALAR);
        const hid_t attribute
            = H5Acreate2(dataset, "units", text, scalar, H5P_DEFAULT, H5P_DEFAULT);
        ok = attribute >= 0 && H5Awrite(attribute, text, units) >= 0;
        H5Aclose(attribute);
        H5Sclose(scalar);
        H5Tclose(text);
    }
    H5Dclose(dataset);
    H5Pclose(links);
    H5Pclose(creation);
    H5Sclose(space);
    return ok;
}

} // namespace

bool writeH5Layouts(const QDir &dir,
                    int size,
                    const QVector<double> &energies,
                    const QVector<quint16> &i1,
                    const QVector<quint16> &i0)
{
    if (!dir.mkpath(QStringLiteral("h5")))
        return false;
    const hsize_t n = hsize_t(energies.size());
    const hsize_t side = hsize_t(size);
    QVector<double> ev;
    for (double e : energies)
        ev << std::llround(e * 100.0) / 100.0;
    QMutexLocker lock(&H5Source::libraryLock());
    const auto write = [&](const char *name, bool xanes, bool gzip) {
        const hid_t file
            = H5Fcreate(QFile::encodeName(dir.filePath(QStringLiteral("h5/") + name)).constData(),
                        H5F_ACC_TRUNC,
                        H5P_DEFAULT,
                        H5P_DEFAULT);
        if (file < 0)
            return false;
        bool ok;
        if (xanes) {
            const qsizetype frame = qsizetype(size) * size;
            QVector<quint16> falling1(i1.size()), falling0(i0.size());
            QVector<double> kev;
            for (qsizetype k = 0; k < energies.size(); ++k) {
                const qsizetype from = energies.size() - 1 - k;
                std::copy_n(i1.constData() + from * frame, frame, falling1.data() + k * frame);
                std::copy_n(i0.constData() + from * frame, frame, falling0.data() + k * frame);
                kev << ev.at(from) / 1000.0;
            }
            const QVector<quint16> dark(2 * frame, 0);
            ok = writeH5Dataset(file,
                                "img_xanes",
                                {n, side, side},
                                H5T_STD_U16LE,
                                H5T_NATIVE_UINT16,
                                falling1.constData(),
                                gzip)
                 && writeH5Dataset(file,
                                   "img_bkg",
                                   {n, side, side},
                                   H5T_STD_U16LE,
                                   H5T_NATIVE_UINT16,
                                   falling0.constData(),
                                   gzip)
                 && writeH5Dataset(file,
                                   "img_dark",
                                   {2, side, side},
                                   H5T_STD_U16LE,
                                   H5T_NATIVE_UINT16,
                                   dark.constData(),
                                   gzip)
                 && writeH5Dataset(
                     file, "X_eng", {n}, H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, kev.constData(), false);
        } else {
            ok = writeH5Dataset(file,
                                "/exchange/data",
                                {n, side, side},
                                H5T_STD_U16LE,
                                H5T_NATIVE_UINT16,
                                i1.constData(),
                                gzip)
                 && writeH5Dataset(file,
                                   "/exchange/data_white",
                                   {n, side, side},
                                   H5T_STD_U16LE,
                                   H5T_NATIVE_UINT16,
                                   i0.constData(),
                                   gzip)
                 && writeH5Dataset(file,
                                   "/exchange/energy",
                                   {n},
                                   H5T_IEEE_F64LE,
                                   H5T_NATIVE_DOUBLE,
                                   ev.constData(),
                                   false,
                                   "eV");
        }
        return H5Fclose(file) >= 0 && ok;
    };
    return write("sample_exchange.h5", false, false) && write("sample_xanes.h5", true, false)
           && write("sample_exchange_gzip.h5", false, true);
}
