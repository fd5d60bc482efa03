// Registers the images of the given TIFF files, in the order given, against the last one, as
// align_stack last does, on all cores, and prints the wall time of the registration alone (not
// of reading the files) and then one line a file: index dx dy quality. Energies are the file
// indices, so the last file is the reference. compare_skimage.py drives it.
// Usage: registerfiles [--upsample N] [--gradient] files...

#include "calib/stackregistration.h"
#include "input/tiffdata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    StackRegistration::Settings settings;
    for (;;) {
        if (arguments.value(0) == QLatin1String("--upsample") && arguments.size() > 1) {
            settings.options.upsample = arguments.at(1).toInt();
            arguments = arguments.mid(2);
        } else if (arguments.value(0) == QLatin1String("--gradient")) {
            settings.options.gradient = true;
            arguments = arguments.mid(1);
        } else {
            break;
        }
    }
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "Usage: registerfiles [--upsample N] [--gradient] files...\n");
        return 2;
    }
    std::vector<std::unique_ptr<TiffData>> stack;
    QVector<TiffData *> images;
    for (const QString &file : arguments) {
        auto image = std::make_unique<TiffData>();
        if (!image->read(file)) {
            std::fprintf(stderr, "%s: cannot read\n", qPrintable(file));
            return 1;
        }
        image->energy = images.size();
        images.append(image.get());
        stack.push_back(std::move(image));
    }

    StackRegistration registration;
    QEventLoop loop;
    QObject::connect(&registration, &StackRegistration::finished, &loop, &QEventLoop::quit);
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!registration.start(images, settings, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    loop.exec();
    std::printf("seconds %.6f\n", timer.nsecsElapsed() * 1e-9);
    for (const ShiftTable::Row &row : registration.table().rows)
        std::printf("%d %.6f %.6f %.3f\n", row.image, row.dx, row.dy, row.ok ? row.quality : -1.0);
    return 0;
}
