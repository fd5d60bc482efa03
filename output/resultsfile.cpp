#include "resultsfile.h"

#include "analysis/analyzed2dres.h"
#include "output/h5file.h"

namespace {

void writeMap(H5File &file, const QString &group, const ResultsFile::Map &entry)
{
    const Analyzed2DRes &map = *entry.map;
    const AreaWalk &walk = map.walk();
    const qint64 columns = walk.columns();
    const qint64 rows = walk.rows();
    QVector<double> x, y;
    QVector<double> values(int(columns * rows));
    for (qint64 c = 0; c < columns; ++c)
        x << double(walk.centreX(c));
    for (qint64 r = 0; r < rows; ++r)
        y << double(walk.centreY(r));
    for (qint64 r = 0; r < rows; ++r) {
        for (qint64 c = 0; c < columns; ++c)
            values[int(r * columns + c)] = map.value(qint64(x[int(c)]), qint64(y[int(r)]));
    }
    file.addGroup(group, "NXdata");
    file.setAttribute(group, "signal", QStringLiteral("data"));
    file.setAttribute(group, "axes", QStringList{QStringLiteral("y"), QStringLiteral("x")});
    file.setAttribute(group, "y_indices", 0.0);
    file.setAttribute(group, "x_indices", 1.0);
    file.setAttribute(group, "title", entry.title);
    file.writeDoubles(group + QStringLiteral("/data"), values.constData(), rows, columns);
    file.setAttribute(group + QStringLiteral("/data"), "long_name", entry.title);
    file.writeDoubles(group + QStringLiteral("/x"), x, "pixel");
    file.writeDoubles(group + QStringLiteral("/y"), y, "pixel");
    const QVector<qint64> bin{walk.xw, walk.yw};
    const QVector<qint64> area{walk.x0, walk.x1, walk.y0, walk.y1};
    const QVector<qint64> step{walk.stepX, walk.stepY};
    file.writeInts(group + QStringLiteral("/bin_half_width"), bin);
    file.writeInts(group + QStringLiteral("/area"), area);
    file.writeInts(group + QStringLiteral("/step"), step);
}

void writeSettings(H5File &file, const QString &group, const ResultsFile::Settings &settings)
{
    file.addGroup(group, "NXcollection");
    file.setAttribute(group, "program_version", settings.version);
    file.writeTexts(group + QStringLiteral("/i1_files"), settings.i1Files);
    file.writeTexts(group + QStringLiteral("/i0_files"), settings.i0Files);
    file.writeDoubles(group + QStringLiteral("/energies"), settings.energies, "eV");
    const QString normalisation = group + QStringLiteral("/normalisation");
    file.addGroup(normalisation, "NXcollection");
    file.setAttribute(normalisation,
                      "form",
                      settings.background == 1 ? QStringLiteral("Victoreen")
                                               : QStringLiteral("straight lines"));
    file.writeDoubles(
        normalisation + QStringLiteral("/pre_edge"), {settings.preStart, settings.preEnd}, "eV");
    file.writeDoubles(
        normalisation + QStringLiteral("/post_edge"), {settings.postStart, settings.postEnd}, "eV");
    const QString references = group + QStringLiteral("/references");
    file.addGroup(references, "NXcollection");
    file.setAttribute(
        references, "method", settings.mlcf ? QStringLiteral("MLCF") : QStringLiteral("LCF"));
    const LCFFitOptions &fit = settings.fitOptions;
    const char *constraints[] = {"none", "nonneg", "sum1", "both"};
    file.setAttribute(
        references, "constraint", QString::fromLatin1(constraints[qBound(0, fit.constraint, 3)]));
    if (fit.fitRange)
        file.writeDoubles(
            references + QStringLiteral("/fit_range"), {fit.fitMin, fit.fitMax}, "eV");
    file.setAttribute(references, "best_subset", double(fit.bestSubset));
    for (int i = 0; i < settings.references.size(); ++i) {
        const ResultsFile::Reference &ref = settings.references.at(i);
        const QString path = references + QStringLiteral("/ref%1").arg(i + 1);
        file.addGroup(path, "NXdata");
        file.setAttribute(path, "file", ref.file);
        file.setAttribute(path, "used", ref.used ? 1.0 : 0.0);
        file.setAttribute(path, "energy_shift", ref.energyShift);
        file.setAttribute(path, "signal", QStringLiteral("mu"));
        file.setAttribute(path, "axes", QStringList{QStringLiteral("energy")});
        file.writeDoubles(path + QStringLiteral("/energy"), ref.energies, "eV");
        file.writeDoubles(path + QStringLiteral("/mu"), ref.mu);
    }
}

} // namespace

bool ResultsFile::write(const QString &path,
                        const QVector<Map> &maps,
                        const Settings &settings,
                        QString *error)
{
    H5File file(path);
    file.setAttribute(QStringLiteral("/"), "NX_class", QStringLiteral("NXroot"));
    file.setAttribute(
        QStringLiteral("/"), "creator", QStringLiteral("Marvolenti ") + settings.version);
    file.setAttribute(QStringLiteral("/"), "default", QStringLiteral("entry"));
    file.addGroup(QStringLiteral("/entry"), "NXentry");
    QString first;
    for (const Map &map : maps) {
        if (!map.map || !map.map->hasData())
            continue;
        writeMap(file, QStringLiteral("/entry/") + map.name, map);
        if (first.isEmpty())
            first = map.name;
    }
    if (!first.isEmpty())
        file.setAttribute(QStringLiteral("/entry"), "default", first);
    writeSettings(file, QStringLiteral("/entry/settings"), settings);
    const bool written = file.commit();
    if (!written && error)
        *error = file.error();
    return written;
}
