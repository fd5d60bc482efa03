// The compiled part of the marvolenti Python package: image stacks from numpy arrays, TIFF
// files or an HDF5 file, the spectrum of a block, the normalisation of a spectrum, and the
// area runs of the analyser on the block engine, their maps returned as numpy arrays. The
// numbers are the program's own: everything below calls the core library.

// Python's headers name a member "slots", which Qt defines as a keyword: they come first.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "pystack.h"

#include "analysis/analyzed2dres.h"
#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "analysis/elemanalysis.h"
#include "analysis/lcffitoptions.h"
#include "analysis/lcfreferencedata.h"
#include "calib/calibration.h"
#include "calib/energyshiftmap.h"
#include "input/energyassignment.h"
#include "input/h5source.h"
#include "input/tiffdata.h"
#include "resources/resourceinit.h"
#include "spectra/victoreentable.h"
#include "spectra/xafsspectrum.h"

#include <QThread>

#include <atomic>
#include <cstring>
#include <optional>

namespace py = pybind11;

namespace {

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

[[noreturn]] void raiseValue(const QString &message)
{
    throw py::value_error(message.toStdString());
}

// Debug lines of the core (run logs, progress) would flood a notebook; warnings go through.
QtMessageHandler previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && previousHandler)
        previousHandler(type, context, message);
}

// Images of an (N, H, W) uint16 or float32 array, one per frame, with these energies.
std::vector<std::unique_ptr<TiffData>>
imagesOf(const py::array &array, const std::vector<double> &energies, const char *what)
{
    if (array.ndim() != 3)
        raiseValue(QStringLiteral("%1 must be an array of shape (N, H, W), not of %2 dimensions")
                       .arg(what)
                       .arg(array.ndim()));
    const bool words = py::isinstance<py::array_t<quint16>>(array);
    const bool floats = py::isinstance<py::array_t<float>>(array);
    if (!words && !floats)
        throw py::type_error(QStringLiteral("%1 must be uint16 or float32, not %2")
                                 .arg(what, qs(py::str(array.dtype())))
                                 .toStdString());
    const qint64 frames = array.shape(0);
    if (qint64(energies.size()) != frames)
        raiseValue(QStringLiteral("%1 has %2 images but %3 energies")
                       .arg(what)
                       .arg(frames)
                       .arg(energies.size()));
    const qint64 height = array.shape(1);
    const qint64 width = array.shape(2);
    if (width < 1 || height < 1 || width * height > TiffData::maxPixels)
        raiseValue(QStringLiteral("%1 images of %2 x %3 pixels").arg(what).arg(width).arg(height));
    const py::array contiguous = words ? py::array(py::array_t<quint16, py::array::c_style>(array))
                                       : py::array(py::array_t<float, py::array::c_style>(array));
    const char *bytes = static_cast<const char *>(contiguous.data());
    const size_t frameBytes = size_t(width * height) * (words ? 2 : 4);
    std::vector<std::unique_ptr<TiffData>> images;
    for (qint64 k = 0; k < frames; ++k) {
        auto image = std::make_unique<TiffData>();
        const QString name = QStringLiteral("%1[%2]").arg(what).arg(k);
        if (!image->prepareSamples(
                words ? TiffData::TiffRows : TiffData::FloatRows, int(width), int(height), name))
            throw std::bad_alloc();
        void *out = words ? static_cast<void *>(image->samples16.data())
                          : static_cast<void *>(image->samplesFloat.data());
        std::memcpy(out, bytes + size_t(k) * frameBytes, frameBytes);
        image->finishSamples();
        image->energy = energies[size_t(k)];
        images.push_back(std::move(image));
    }
    return images;
}

std::vector<double> doublesOf(const py::handle &values)
{
    const auto array
        = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!array || array.ndim() != 1)
        raiseValue(QStringLiteral("energies must be a sequence of numbers"));
    return std::vector<double>(array.data(), array.data() + array.size());
}

std::shared_ptr<PyStack> stackOf(std::vector<std::unique_ptr<TiffData>> i1,
                                 std::vector<std::unique_ptr<TiffData>> i0)
{
    auto stack = std::make_shared<PyStack>();
    QString error;
    if (!stack->take(std::move(i1), std::move(i0), &error))
        raiseValue(error);
    return stack;
}

std::shared_ptr<PyStack> fromArrays(const py::array &i1,
                                    const py::object &i0,
                                    const py::object &energies,
                                    const py::object &i0Energies)
{
    if (energies.is_none())
        raiseValue(QStringLiteral("energies are needed, one for every I1 image"));
    const std::vector<double> e1 = doublesOf(energies);
    auto images1 = imagesOf(i1, e1, "I1");
    std::vector<std::unique_ptr<TiffData>> images0;
    if (!i0.is_none()) {
        const std::vector<double> e0 = i0Energies.is_none() ? e1 : doublesOf(i0Energies);
        images0 = imagesOf(py::array(i0), e0, "I0");
    }
    return stackOf(std::move(images1), std::move(images0));
}

// TIFF (or IMG, QNRB) files read as the loaders read them, each given its energy as the file
// list gives it: from the list when given, else from its name by the pattern.
std::vector<std::unique_ptr<TiffData>> readFiles(const std::vector<std::string> &files,
                                                 const py::object &energies,
                                                 const QString &pattern,
                                                 const char *what)
{
    std::vector<double> given;
    if (!energies.is_none()) {
        given = doublesOf(energies);
        if (given.size() != files.size())
            raiseValue(QStringLiteral("%1 has %2 files but %3 energies")
                           .arg(what)
                           .arg(files.size())
                           .arg(given.size()));
    }
    EnergyAssignment assignment;
    assignment.pattern = pattern;
    assignment.factor = EnergyAssignment::factorTextFor(pattern).toDouble();
    std::vector<std::unique_ptr<TiffData>> images;
    for (size_t k = 0; k < files.size(); ++k) {
        auto image = std::make_unique<TiffData>();
        const QString name = qs(files[k]);
        bool read = false;
        {
            py::gil_scoped_release release;
            read = image->read(name);
        }
        if (!read)
            throw py::value_error(
                QStringLiteral("%1: %2").arg(name, image->failureReason).toStdString());
        image->energy = given.empty() ? assignment.energyOf(name, int(k)) : given[k];
        images.push_back(std::move(image));
    }
    return images;
}

std::shared_ptr<PyStack> fromFiles(const std::vector<std::string> &i1Files,
                                   const std::optional<std::vector<std::string>> &i0Files,
                                   const std::string &pattern,
                                   const py::object &energies,
                                   const py::object &i0Energies)
{
    auto i1 = readFiles(i1Files, energies, qs(pattern), "I1");
    std::vector<std::unique_ptr<TiffData>> i0;
    if (i0Files)
        i0 = readFiles(*i0Files, i0Energies, qs(pattern), "I0");
    return stackOf(std::move(i1), std::move(i0));
}

std::shared_ptr<PyStack> fromH5(const std::string &file,
                                const std::string &sample,
                                const std::string &flat,
                                const std::string &dark,
                                const std::string &energy)
{
    H5Source source;
    H5Source::Paths paths{qs(sample), qs(flat), qs(dark), qs(energy)};
    bool done = false;
    {
        py::gil_scoped_release release;
        done = (!paths.sample.isEmpty() || source.recognise(qs(file), &paths))
               && source.check(qs(file), paths) && source.read([](int, int) { return true; });
    }
    if (!done)
        raiseValue(source.error());
    return stackOf(source.takeImages(true), source.takeImages(false));
}

py::array_t<double> arrayOf(const std::vector<double> &values)
{
    py::array_t<double> array(py::ssize_t(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

py::tuple pointsOf(const Spectrum &spectrum)
{
    std::vector<double> x;
    std::vector<double> y;
    for (int i = 0; i < spectrum.size(); ++i) {
        x.push_back(spectrum.xAt(i));
        y.push_back(spectrum.yAt(i));
    }
    return py::make_tuple(arrayOf(x), arrayOf(y));
}

Spectrum spectrumOf(const py::handle &energies, const py::handle &mu)
{
    const std::vector<double> x = doublesOf(energies);
    const std::vector<double> y = doublesOf(mu);
    if (x.size() != y.size())
        raiseValue(QStringLiteral("%1 energies but %2 values").arg(x.size()).arg(y.size()));
    Spectrum spectrum;
    for (size_t i = 0; i < x.size(); ++i)
        spectrum.append(x[i], y[i]);
    return spectrum;
}

// The base-line form: 1, "victoreen" for the Victoreen form, 0, "line" for straight lines.
int formOf(const py::object &form)
{
    if (py::isinstance<py::str>(form)) {
        const QString name = qs(form.cast<std::string>()).toLower();
        if (name.startsWith(QLatin1String("vic")))
            return 1;
        if (name == QLatin1String("line") || name == QLatin1String("simple"))
            return 0;
        raiseValue(QStringLiteral("Unknown background form %1").arg(name));
    }
    return form.cast<int>() != 0 ? 1 : 0;
}

Background backgroundOf(const py::object &form, const py::object &ranges)
{
    Background background(formOf(form));
    if (!ranges.is_none()) {
        const std::vector<double> r = doublesOf(ranges);
        if (r.size() != 4)
            raiseValue(QStringLiteral("ranges are four numbers: pre start, pre end, post start, "
                                      "post end"));
        background.ranges = NormRanges{r[0], r[1], r[2], r[3]};
        if (!background.ranges.isSound())
            raiseValue(
                QStringLiteral("Bad normalisation ranges: %1").arg(background.ranges.text()));
    }
    return background;
}

XafsSpectrum readSpectrumFile(const QString &path)
{
    XafsSpectrum spectrum;
    spectrum.readFile(path);
    if (spectrum.readOutcome == XafsSpectrum::CannotOpen)
        throw py::value_error(
            QStringLiteral("Cannot read %1: %2").arg(path, spectrum.readError).toStdString());
    if (spectrum.readOutcome == XafsSpectrum::NoPoints)
        raiseValue(QStringLiteral("No spectrum points in %1").arg(path));
    return spectrum;
}

py::dict normalize(const py::object &energies,
                   const py::object &mu,
                   const py::object &form,
                   const py::object &ranges)
{
    const Spectrum raw = spectrumOf(energies, mu);
    if (raw.isEmpty())
        raiseValue(QStringLiteral("No spectrum points"));
    const XafsSpectrum s(raw, backgroundOf(form, ranges), 0.0);
    py::dict out;
    const auto ys = [](const Spectrum &spectrum) -> py::object { return pointsOf(spectrum)[1]; };
    out["energies"] = py::object(pointsOf(s)[0]);
    out["normalized"] = ys(s.normalized);
    out["norm_post_base"] = ys(s.normPostBase);
    out["double_norm_post_base"] = ys(s.doubleNormPostBase);
    out["double_norm_pre_base"] = ys(s.doubleNormPreBase);
    out["pre_edge"] = ys(s.preEdge);
    out["post_edge"] = ys(s.postEdge);
    out["e0"] = s.e0;
    out["jump"] = s.jump;
    return out;
}

// The walk of a run over area (x, y, w, h), the whole image when none, as the program takes
// it from the selected area.
AreaWalk walkOf(const PyStack &stack, const py::object &bin, const py::object &area)
{
    const auto half = bin.cast<std::pair<int, int>>();
    double x = 0, y = 0, w = stack.width(), h = stack.height();
    if (!area.is_none()) {
        const std::vector<double> a = doublesOf(area);
        if (a.size() != 4)
            raiseValue(QStringLiteral("area is four numbers: x, y, width, height"));
        x = a[0];
        y = a[1];
        w = a[2];
        h = a[3];
        if (int(x + w) == int(x) || int(y + h) == int(y))
            raiseValue(QStringLiteral("The area (%1, %2, %3, %4) holds no pixel")
                           .arg(x)
                           .arg(y)
                           .arg(w)
                           .arg(h));
    }
    return AreaWalk(stack.width(), stack.height(), half.first, half.second, x, y, w, h)
        .clippedToImage();
}

// Runs an area run started on engine on this thread, releasing the GIL; Ctrl-C stops it and
// raises KeyboardInterrupt.
void waitForRun(BlockEngine &engine)
{
    bool interrupted = false;
    {
        py::gil_scoped_release release;
        engine.waitForFinished([&interrupted] {
            // The signal's exception stays set until the run has stopped.
            if (!interrupted) {
                py::gil_scoped_acquire acquire;
                interrupted = PyErr_CheckSignals() != 0;
            }
            return interrupted;
        });
    }
    if (interrupted)
        throw py::error_already_set();
}

struct Maps
{
    std::vector<std::unique_ptr<Analyzed2DRes>> owned;
    QVector<Analyzed2DRes *> list;

    explicit Maps(int count)
    {
        for (int k = 0; k < count; ++k) {
            owned.emplace_back(new Analyzed2DRes(QStringLiteral("map %1").arg(k)));
            list << owned.back().get();
        }
    }
    // Maps first .. first + count - 1 as one (count, H, W) array, or (H, W) for one map alone.
    py::array_t<double> array(int first, int count, bool stacked) const
    {
        const Analyzed2DRes &map0 = *list.at(first);
        const qint64 w = map0.width();
        const qint64 h = map0.height();
        std::vector<py::ssize_t> shape{h, w};
        if (stacked)
            shape.insert(shape.begin(), count);
        py::array_t<double> out(shape);
        double *cells = out.mutable_data();
        for (int k = 0; k < count; ++k) {
            const Analyzed2DRes &map = *list.at(first + k);
            for (qint64 y = 0; y < h; ++y)
                for (qint64 x = 0; x < w; ++x)
                    *cells++ = map.value(x, y);
        }
        return out;
    }
};

void setThreads(BlockEngine &engine, int threads)
{
    engine.setMaxThreads(threads > 0 ? threads : QThread::idealThreadCount());
    engine.setWaiting(true);
}

py::dict lcfMap(const PyStack &stack,
                const py::list &references,
                const py::object &bin,
                const py::object &area,
                const std::string &mode,
                int threads,
                const py::object &form,
                const py::object &ranges,
                const py::object &referenceForm,
                const py::object &referenceRanges,
                const py::object &shifts,
                int constraint,
                const py::object &fitRange,
                int bestSubset,
                bool fluorescence)
{
    const QString method = qs(mode).toLower();
    if (method != QLatin1String("lcf") && method != QLatin1String("mlcf"))
        raiseValue(QStringLiteral("mode is \"lcf\" or \"mlcf\", not %1").arg(qs(mode)));
    if (references.size() < 1)
        raiseValue(QStringLiteral("No reference spectrum"));
    const Background background = backgroundOf(form, ranges);
    const Background refBackground
        = referenceForm.is_none() && referenceRanges.is_none()
              ? background
              : backgroundOf(referenceForm.is_none() ? form : referenceForm,
                             referenceRanges.is_none() ? ranges : referenceRanges);
    std::vector<double> shiftList(references.size(), 0.0);
    if (!shifts.is_none()) {
        shiftList = doublesOf(shifts);
        if (shiftList.size() != references.size())
            raiseValue(QStringLiteral("%1 references but %2 shifts")
                           .arg(references.size())
                           .arg(shiftList.size()));
    }
    QVector<LCFReferenceData> refs;
    for (size_t j = 0; j < references.size(); ++j) {
        const py::handle reference = references[j];
        XafsSpectrum raw;
        if (py::isinstance<py::str>(reference)) {
            raw = readSpectrumFile(qs(reference.cast<std::string>()));
        } else {
            const py::tuple pair = py::tuple(py::reinterpret_borrow<py::object>(reference));
            if (pair.size() != 2)
                raiseValue(QStringLiteral("A reference is a file name or an (energies, mu) pair"));
            static_cast<Spectrum &>(raw) = spectrumOf(pair[0], pair[1]);
        }
        refs << LCFReferenceData::of(raw, refBackground, shiftList[j]);
    }
    LCFFitOptions options;
    options.constraint = constraint;
    if (constraint < 0 || constraint > 3)
        raiseValue(QStringLiteral("constraint is 0 (none) to 3 (both), not %1").arg(constraint));
    if (!fitRange.is_none()) {
        const std::vector<double> r = doublesOf(fitRange);
        if (r.size() != 2 || !(r[0] < r[1]))
            raiseValue(QStringLiteral("fit_range is two rising numbers"));
        options.fitRange = true;
        options.fitMin = r[0];
        options.fitMax = r[1];
    }
    if (bestSubset < 0 || bestSubset > LCFFitOptions::maxBestSubset)
        raiseValue(QStringLiteral("best_subset is 0 to %1").arg(LCFFitOptions::maxBestSubset));
    options.bestSubset = bestSubset;

    BlockRequest request;
    request.walk = walkOf(stack, bin, area);
    request.spectra = stack.spectra(fluorescence);
    const int n = refs.size();
    Maps maps(3 * n + 3);
    BlockEngine engine;
    setThreads(engine, threads);
    AreaRun run(&engine);
    if (!run.startLCF(
            request, refs, method == QLatin1String("mlcf"), background, options, maps.list, false))
        raiseValue(QStringLiteral("The run could not start"));
    waitForRun(engine);
    py::dict out;
    out["dmut"] = maps.array(0, n, true);
    out["fraction"] = maps.array(n, n, true);
    out["error"] = maps.array(2 * n, n, true);
    out["rfactor"] = maps.array(3 * n, 1, false);
    out["chi2"] = maps.array(3 * n + 1, 1, false);
    if (bestSubset > 0)
        out["subset"] = maps.array(3 * n + 2, 1, false);
    out["undefined_blocks"] = run.undefinedBlocks();
    out["norm_failed_blocks"] = run.normFailedBlocks();
    return out;
}

py::dict raMap(const PyStack &stack,
               double energy,
               double factor,
               const py::object &bin,
               const py::object &area,
               int threads,
               const py::object &form,
               const py::object &ranges,
               bool fluorescence)
{
    BlockRequest request;
    request.walk = walkOf(stack, bin, area);
    request.spectra = stack.spectra(fluorescence);
    Maps maps(3);
    BlockEngine engine;
    setThreads(engine, threads);
    AreaRun run(&engine);
    if (!run.startRA(request, backgroundOf(form, ranges), energy, factor, maps.list, false))
        raiseValue(QStringLiteral("The run could not start"));
    waitForRun(engine);
    AreaRun::ratioMap(*maps.list.at(0), *maps.list.at(1), *maps.list.at(2));
    py::dict out;
    out["dmut"] = maps.array(0, 1, false);
    out["residual"] = maps.array(1, 1, false);
    out["ratio"] = maps.array(2, 1, false);
    return out;
}

// Element analysis of every pixel of the area, each with the block of the bin around it.
py::dict elementMaps(const PyStack &stack,
                     const std::string &elements,
                     const py::object &bin,
                     const py::object &area,
                     double de,
                     const py::object &roi,
                     double threshold,
                     bool noNeg,
                     const py::object &use,
                     const py::object &stdRatios,
                     int mainTarget,
                     double background,
                     double correlation,
                     double corTh,
                     int threads,
                     bool fluorescence)
{
    QStringList unknown;
    const QVector<ElemName> names
        = ElemAnalysis::parseNames(qs(elements), false, nullptr, &unknown);
    if (!unknown.isEmpty())
        raiseValue(QStringLiteral("Unknown elements: %1").arg(unknown.join(QLatin1String(", "))));
    if (names.isEmpty())
        raiseValue(QStringLiteral("No element"));
    const int n = names.size();
    const std::vector<double> rois
        = roi.is_none() ? std::vector<double>{7000.0, 7005.0} : doublesOf(roi);
    if (rois.size() != 2 && rois.size() != size_t(2 * n))
        raiseValue(QStringLiteral("roi is one (start, end) pair or one for each element"));
    const std::vector<double> ratios
        = stdRatios.is_none() ? std::vector<double>(n, 1.0) : doublesOf(stdRatios);
    if (ratios.size() != size_t(n))
        raiseValue(QStringLiteral("%1 elements but %2 standard ratios").arg(n).arg(ratios.size()));
    const std::vector<double> used = use.is_none() ? std::vector<double>(n, 0.0) : doublesOf(use);
    if (used.size() != size_t(n))
        raiseValue(QStringLiteral("%1 elements but %2 use flags").arg(n).arg(used.size()));
    if (mainTarget < 0 || mainTarget >= n)
        raiseValue(QStringLiteral("main_target is 0 to %1").arg(n - 1));
    QVector<ElemParams> params;
    for (int j = 0; j < n; ++j) {
        ElemParams p;
        p.z = names.at(j).z;
        p.edge = names.at(j).edge;
        p.prePostDE = de;
        p.roiStart = rois[rois.size() == 2 ? 0 : 2 * j];
        p.roiEnd = rois[rois.size() == 2 ? 1 : 2 * j + 1];
        p.thDMut = threshold;
        p.noNeg = noNeg;
        p.use = used[size_t(j)] != 0.0;
        p.stdRatio = ratios[size_t(j)];
        params << p;
    }
    ElemBackgrounds backgrounds;
    backgrounds.dmut = backgrounds.dmutRatio = backgrounds.dE = backgrounds.roi = backgrounds.nroi
        = background;

    BlockRequest request;
    request.walk = walkOf(stack, bin, area).everyPixel();
    request.spectra = stack.spectra(fluorescence);
    Maps maps(7 * n + 2);
    BlockEngine engine;
    setThreads(engine, threads);
    AreaRun run(&engine);
    if (!run.startElems(
            request, params, mainTarget, backgrounds, correlation, corTh, maps.list, false))
        raiseValue(QStringLiteral("The run could not start"));
    waitForRun(engine);
    py::dict out;
    const char *kinds[] = {"dmut", "ratio", "mu_plus", "mu_minus", "edge_position", "roi", "nroi"};
    for (int k = 0; k < 7; ++k)
        out[kinds[k]] = maps.array(k * n, n, true);
    out["correlation"] = maps.array(7 * n, 1, false);
    out["correlation_th"] = maps.array(7 * n + 1, 1, false);
    return out;
}

// A spectrum given as a file name or as an (energies, mu) pair, not normalised.
XafsSpectrum rawSpectrumOf(const py::handle &spectrum)
{
    if (py::isinstance<py::str>(spectrum))
        return readSpectrumFile(qs(spectrum.cast<std::string>()));
    const py::tuple pair = py::tuple(py::reinterpret_borrow<py::object>(spectrum));
    if (pair.size() != 2)
        raiseValue(QStringLiteral("A spectrum is a file name or an (energies, mu) pair"));
    XafsSpectrum raw;
    static_cast<Spectrum &>(raw) = spectrumOf(pair[0], pair[1]);
    return raw;
}

// The energy calibration of an area against a standard: the edge position of every block less
// the standard's, as the energy-shift map holds it, with the statistics of the shifts.
py::dict shiftMap(const PyStack &stack,
                  const py::object &standard,
                  const py::object &bin,
                  const py::object &area,
                  int threads,
                  bool fluorescence)
{
    const XafsSpectrum reference = rawSpectrumOf(standard);
    if (reference.isEmpty())
        raiseValue(QStringLiteral("No standard spectrum"));
    BlockRequest request;
    request.walk = walkOf(stack, bin, area);
    request.spectra = stack.spectra(fluorescence);
    EnergyShiftMap map;
    BlockEngine engine;
    setThreads(engine, threads);
    Calibration calibration(&engine, &map);
    if (!calibration.start(request, reference.crossingEnergy(0.5, 0)))
        raiseValue(QStringLiteral("The run could not start"));
    waitForRun(engine);
    Maps maps(0);
    maps.list << &map.map();
    const Calibration::Stats &stats = calibration.stats();
    py::dict out;
    out["shift"] = maps.array(0, 1, false);
    out["blocks"] = stats.count;
    out["average"] = stats.average;
    out["min"] = stats.min;
    out["max"] = stats.max;
    out["sigma"] = stats.sigma;
    return out;
}

} // namespace

PYBIND11_MODULE(_core, m)
{
    m.doc() = "Marvolenti's core: image stacks, spectra and area runs.";
    previousHandler = qInstallMessageHandler(quietHandler);
    // The X-ray edge table of the element analysis.
    initMarvolentiResources();
    readVictoreenTable();

    py::class_<PyStack, std::shared_ptr<PyStack>>(m, "Stack")
        .def_static("from_arrays",
                    &fromArrays,
                    py::arg("i1"),
                    py::arg("i0") = py::none(),
                    py::kw_only(),
                    py::arg("energies") = py::none(),
                    py::arg("i0_energies") = py::none())
        .def_static("from_files",
                    &fromFiles,
                    py::arg("i1_files"),
                    py::arg("i0_files") = py::none(),
                    py::kw_only(),
                    py::arg("energy_pattern") = "",
                    py::arg("energies") = py::none(),
                    py::arg("i0_energies") = py::none())
        .def_static("from_h5",
                    &fromH5,
                    py::arg("file"),
                    py::kw_only(),
                    py::arg("sample") = "",
                    py::arg("flat") = "",
                    py::arg("dark") = "",
                    py::arg("energy") = "")
        .def_property_readonly("width", &PyStack::width)
        .def_property_readonly("height", &PyStack::height)
        .def_property_readonly(
            "shape",
            [](const PyStack &s) { return py::make_tuple(s.i1Count(), s.height(), s.width()); })
        .def_property_readonly("energies",
                               [](const PyStack &s) { return arrayOf(s.energies(true)); })
        .def_property_readonly("i0_energies",
                               [](const PyStack &s) { return arrayOf(s.energies(false)); })
        .def(
            "spectrum",
            [](const PyStack &s, int x, int y, int xw, int yw, bool fluorescence) {
                return pointsOf(s.spectra(fluorescence).spectrumAt(x, y, xw, yw));
            },
            py::arg("x"),
            py::arg("y"),
            py::arg("xw") = 0,
            py::arg("yw") = 0,
            py::kw_only(),
            py::arg("fluorescence") = false);

    m.def(
        "read_spectrum",
        [](const std::string &path) { return pointsOf(readSpectrumFile(qs(path))); },
        py::arg("path"));
    m.def("normalize",
          &normalize,
          py::arg("energies"),
          py::arg("mu"),
          py::kw_only(),
          py::arg("form") = 0,
          py::arg("ranges") = py::none());
    m.def("lcf_map",
          &lcfMap,
          py::arg("stack"),
          py::arg("references"),
          py::kw_only(),
          py::arg("bin") = py::make_tuple(0, 0),
          py::arg("area") = py::none(),
          py::arg("mode") = "lcf",
          py::arg("threads") = 0,
          py::arg("form") = 0,
          py::arg("ranges") = py::none(),
          py::arg("reference_form") = py::none(),
          py::arg("reference_ranges") = py::none(),
          py::arg("shifts") = py::none(),
          py::arg("constraint") = 0,
          py::arg("fit_range") = py::none(),
          py::arg("best_subset") = 0,
          py::arg("fluorescence") = false);
    m.def("element_maps",
          &elementMaps,
          py::arg("stack"),
          py::arg("elements"),
          py::kw_only(),
          py::arg("bin") = py::make_tuple(0, 0),
          py::arg("area") = py::none(),
          py::arg("de") = 20.0,
          py::arg("roi") = py::none(),
          py::arg("threshold") = 0.1,
          py::arg("no_neg") = true,
          py::arg("use") = py::none(),
          py::arg("std_ratios") = py::none(),
          py::arg("main_target") = 0,
          py::arg("background") = -1.0,
          py::arg("correlation") = 0.0,
          py::arg("cor_th") = 0.999,
          py::arg("threads") = 0,
          py::arg("fluorescence") = false);
    m.def("shift_map",
          &shiftMap,
          py::arg("stack"),
          py::arg("standard"),
          py::kw_only(),
          py::arg("bin") = py::make_tuple(0, 0),
          py::arg("area") = py::none(),
          py::arg("threads") = 0,
          py::arg("fluorescence") = false);
    m.def("ra_map",
          &raMap,
          py::arg("stack"),
          py::arg("energy"),
          py::kw_only(),
          py::arg("factor") = 1.0,
          py::arg("bin") = py::make_tuple(0, 0),
          py::arg("area") = py::none(),
          py::arg("threads") = 0,
          py::arg("form") = 0,
          py::arg("ranges") = py::none(),
          py::arg("fluorescence") = false);
}
