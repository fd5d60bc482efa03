#include "tiffpages.h"

#include "input/tiffmessages.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <tiffio.h>

namespace {

constexpr ttag_t imageJByteCountsTag = 50838;
constexpr ttag_t imageJMetadataTag = 50839;
constexpr quint32 labelType = 0x6c61626c; // "labl"

// The slice labels in ImageJ's metadata blocks: a header ("IJIJ" big-endian or "JIJI"
// little-endian, then pairs of block type and block count) followed by the blocks, one
// UTF-16 text per label.
QStringList imageJLabels(TIFF *tif)
{
    uint32_t countOfCounts = 0;
    uint32_t *counts = nullptr;
    uint32_t size = 0;
    uchar *bytes = nullptr;
    if (!TIFFGetField(tif, imageJByteCountsTag, &countOfCounts, &counts) || !counts
        || !TIFFGetField(tif, imageJMetadataTag, &size, &bytes) || !bytes || countOfCounts < 2)
        return {};
    const quint32 headerSize = counts[0];
    if (headerSize < 4 || headerSize > size || (headerSize - 4) % 8 != 0)
        return {};
    const QByteArray magic(reinterpret_cast<const char *>(bytes), 4);
    if (magic != "IJIJ" && magic != "JIJI")
        return {};
    const bool big = magic == "IJIJ";
    const auto word = [big, bytes](quint64 at) {
        return big ? qFromBigEndian<quint32>(bytes + at) : qFromLittleEndian<quint32>(bytes + at);
    };
    QStringList labels;
    quint64 offset = headerSize;
    quint32 block = 1;
    for (quint64 at = 4; at + 8 <= headerSize; at += 8) {
        const quint32 type = word(at);
        const quint32 blocks = word(at + 4);
        for (quint32 b = 0; b < blocks; ++b, ++block) {
            if (block >= countOfCounts || offset + counts[block] > size)
                return {};
            if (type == labelType) {
                const int units = int(counts[block] / 2);
                QVector<ushort> text(units);
                for (int u = 0; u < units; ++u) {
                    const uchar *p = bytes + offset + 2 * u;
                    text[u] = big ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
                }
                labels << QString::fromUtf16(text.constData(), units);
            }
            offset += counts[block];
        }
    }
    return labels;
}

} // namespace

TiffPages TiffPages::of(const QString &path)
{
    TiffPages pages;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return pages;
    const QByteArray head = file.read(2);
    file.close();
    if (head != "II" && head != "MM")
        return pages;
    routeTiffMessagesToDebug();
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "rm");
    if (!tif)
        return pages;
    const QStringList labels = imageJLabels(tif);
    pages.count = qMax(int(TIFFNumberOfDirectories(tif)), 1);
    TIFFClose(tif);
    if (pages.count > 1 && labels.size() >= pages.count) {
        for (int i = 0; i < pages.count; ++i) {
            const double energy = energyOfLabel(labels.at(i));
            if (energy <= 0.0) {
                pages.labelEnergies.clear();
                break;
            }
            pages.labelEnergies << energy;
        }
    }
    return pages;
}

double TiffPages::energyOfLabel(const QString &label)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\S+?)\\s*(kev|ev)?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(label);
    if (!match.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = match.captured(1).toDouble(&ok);
    if (!ok || !qIsFinite(value) || value <= 0.0)
        return 0.0;
    const QString unit = match.captured(2).toLower();
    const bool keV = unit == QLatin1String("kev") || (unit.isEmpty() && value < 100.0);
    return keV ? value * 1000.0 : value;
}

QString TiffPages::listedName(const QString &path, int page)
{
    return QStringLiteral("%1 [%2]").arg(path).arg(page + 1);
}

bool TiffPages::splitListedName(const QString &name, QString *path, int *page)
{
    static const QRegularExpression form(QStringLiteral("^(.*) \\[(\\d+)\\]$"));
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch() || !QFileInfo(match.captured(1)).isFile())
        return false;
    const int k = match.captured(2).toInt();
    if (k < 1)
        return false;
    *path = match.captured(1);
    *page = k - 1;
    return true;
}
