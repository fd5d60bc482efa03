#include "imagefile.h"

#include "output/savefile.h"
#include "output/tiffwriter.h"

#include <QDebug>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

namespace ImageFile {

bool save(const QImage &image, const QString &path)
{
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (image.isNull() || format.isEmpty()) {
        qDebug().noquote() << "Can't write" << path;
        return false;
    }
    if (format == "tif" || format == "tiff")
        return writeTiffImage(path, image);
    // Checked before the file is opened: a file written in place is emptied by opening it.
    if (!QImageWriter::supportedImageFormats().contains(format)) {
        qDebug().noquote() << "Can't write" << path << "(no writer for" << format << ")";
        return false;
    }
    SaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug().noquote() << "Can't write" << path;
        return false;
    }
    QImageWriter writer(&file, format);
    if (!writer.write(image)) {
        qDebug().noquote() << "Can't write" << path << writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commitWhole()) {
        qDebug().noquote() << "Can't write" << path << file.errorString();
        return false;
    }
    return true;
}

} // namespace ImageFile
