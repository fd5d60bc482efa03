// Any bytes as an HDF5 file, held in memory through the library's core driver: listed, then
// read in a recognised layout and through fixed dataset paths.
#include "fuzzinput.h"
#include "input/h5source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    if (FuzzInput::isKnownCrash("h5", data, size))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString name = QStringLiteral("fuzz.h5");
    const auto keepGoing = [](int, int) { return true; };
    H5Source listing;
    listing.useFileImage(bytes);
    QVector<H5Source::DatasetInfo> datasets;
    listing.listDatasets(name, &datasets);

    H5Source::Paths paths;
    H5Source recognised;
    recognised.useFileImage(bytes);
    // Within the fuzzer's memory limit.
    recognised.setMemoryLimit(qint64(256) << 20);
    if (recognised.recognise(name, &paths) && recognised.check(name, paths))
        recognised.read(keepGoing);

    H5Source named;
    named.useFileImage(bytes);
    named.setMemoryLimit(qint64(256) << 20);
    if (named.check(name, {QStringLiteral("/s"), QStringLiteral("/f"), QStringLiteral("/d"),
                           QStringLiteral("/e")}))
        named.read(keepGoing);
    return 0;
}
