#include "app/body.h"
#include "app/dataroot.h"
#include "app/optiontable.h"
#include "app/startupsettings.h"
#include "app/uitranslators.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "resources/resourceinit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    buildBatchTables();

    OptionTable options;
    options.parseCommandLine(argc, argv);

    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    initMarvolentiResources();

    const StartupSettings settings = StartupSettings::resolve(options, builtInDataRoot());
    setDataRoot(settings.dataRoot);

    const UiTranslators translators(settings.english);

    int rc;
    {
        Body body;
        QObject::connect(&body, &Body::finishing, &app, &QApplication::closeAllWindows);
        body.show();
        bool batchFileRead = true;
        if (!settings.batchFile.isEmpty())
            batchFileRead = body.batchCtrl()->setBatchFile(settings.batchFile);
        if (settings.execBatch) {
            // Without a display nobody can close the window: the run ends the program, with
            // a failure when its batch file could not be read.
            const QString platform = QGuiApplication::platformName();
            if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
                QObject::connect(body.batchCtrl(),
                                 &BatchCtrl::batchEnded,
                                 &app,
                                 [&app, batchFileRead] { app.exit(batchFileRead ? 0 : 1); });
            }
            body.batchCtrl()->execBatchSlot();
        }
        rc = app.exec();
    }
    return rc;
}
