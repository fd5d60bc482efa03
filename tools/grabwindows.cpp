// Takes the picture of the main window and the spectrum window shown in the README: loads a
// sample data set (as written by makesampledata), puts the cursor on a pixel inside the
// sample and grabs both windows side by side into one PNG. With --align it registers the stack
// instead (align_stack last) and grabs the alignment window with its shift table and plot.
// With --components it aligns the stack, finds three components and five clusters of the whole
// image at bin 0, and grabs the main window showing the cluster map beside the components
// window.
//
//   grabwindows [--align|--components] <sample-dir> <picture.png> [x y]

#include "analysis/componentscontroller.h"
#include "analysis/componentswindow.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "calib/imgproc.h"
#include "display/imagebrowser.h"
#include "display/xafsview.h"
#include "resources/resourceinit.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <cstdio>

namespace {

// Runs one batch line through the main window and waits until it has finished.
void run(Body &body, const QString &line)
{
    int finished = 0;
    const QMetaObject::Connection connection
        = QObject::connect(&body, &Body::finishBatchExec, [&finished] { ++finished; });
    body.execCmdSlot(CmdLine(line), false);
    while (finished == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QObject::disconnect(connection);
}

} // namespace

int main(int argc, char *argv[])
{
    buildBatchTables();
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool align = args.removeAll(QStringLiteral("--align")) > 0;
    const bool components = args.removeAll(QStringLiteral("--components")) > 0;
    if (args.size() != 3 && args.size() != 5) {
        std::fprintf(
            stderr, "usage: grabwindows [--align|--components] <sample-dir> <picture.png> [x y]\n");
        return 2;
    }
    initMarvolentiResources();
    const QString sample = args.at(1);
    const QString picture = args.at(2);
    const QString x = args.size() == 5 ? args.at(3) : QStringLiteral("64");
    const QString y = args.size() == 5 ? args.at(4) : QStringLiteral("64");

    Body body;
    body.resize(1240, 760);
    body.show();
    body.xafsView()->resize(640, 480);
    run(body, QStringLiteral("set_i1_energy_pattern \\d\\d\\d\\d_\\d\\deV"));
    run(body, QStringLiteral("set_i0_energy_pattern \\d\\d\\d\\d_\\d\\deV"));
    run(body, QStringLiteral("load_I1_files_of_pattern new \"%1/I1/\" *.tif").arg(sample));
    run(body, QStringLiteral("load_I0_files_of_pattern new \"%1/I0/\" *.tif").arg(sample));
    if (body.stacks()->i1Images().isEmpty()) {
        std::fprintf(stderr, "grabwindows: no images in %s\n", qPrintable(sample));
        return 1;
    }
    if (align) {
        run(body, QStringLiteral("align_i0 none"));
        run(body, QStringLiteral("align_stack last"));
        body.imgProc()->resize(1300, 820);
        body.imgProc()->show();
        QCoreApplication::processEvents();
        if (!body.imgProc()->grab().save(picture)) {
            std::fprintf(stderr, "grabwindows: cannot write %s\n", qPrintable(picture));
            return 1;
        }
        std::fprintf(stderr, "grabwindows: wrote %s\n", qPrintable(picture));
        return 0;
    }
    // As the slider would: the image shown and the spectrum window's energy marker.
    body.imageBrowser()->showData(body.stacks()->i1Images().size() / 2);
    QWidget *beside = body.xafsView();
    if (components) {
        const int size = body.stacks()->width();
        for (const QString &line : {QStringLiteral("align_stack last"),
                                    QStringLiteral("select_region 4 4 %1 %1").arg(size - 8),
                                    QStringLiteral("set_band_w 0"),
                                    QStringLiteral("set_band_h 0"),
                                    QStringLiteral("pca_exec 3"),
                                    QStringLiteral("cluster_exec 6"),
                                    QStringLiteral("components_select_map cluster"),
                                    QStringLiteral("select_disp_image 3")})
            run(body, line);
        beside = body.componentsController()->window();
        beside->resize(760, 560);
        beside->show();
    } else {
        run(body, QStringLiteral("set_band_w 4"));
        run(body, QStringLiteral("set_band_h 4"));
        run(body, QStringLiteral("move_position %1 %2").arg(x, y));
    }
    QCoreApplication::processEvents();

    const QImage main = body.grab().toImage();
    const QImage spectrum = beside->grab().toImage();
    constexpr int gap = 12;
    QImage both(main.width() + gap + spectrum.width(),
                qMax(main.height(), spectrum.height()),
                QImage::Format_RGB32);
    both.fill(QColor(60, 60, 60));
    QPainter painter(&both);
    painter.drawImage(0, 0, main);
    painter.drawImage(main.width() + gap, 0, spectrum);
    painter.end();
    if (!both.save(picture)) {
        std::fprintf(stderr, "grabwindows: cannot write %s\n", qPrintable(picture));
        return 1;
    }
    std::fprintf(stderr, "grabwindows: wrote %s\n", qPrintable(picture));
    return 0;
}
