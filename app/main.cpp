#include "app/body.h"
#include "app/dataroot.h"
#include "app/optiontable.h"
#include "app/startupsettings.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "resources/resourceinit.h"

#include <QApplication>
#include <QTranslator>

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

    QTranslator translator;
    if (!settings.english) {
        translator.load(QStringLiteral(":Marvolenti_ja_JP"), QApplication::applicationDirPath());
        QApplication::installTranslator(&translator);
    }

    int rc;
    {
        Body body;
        QObject::connect(&body, &Body::finishing, &app, &QApplication::closeAllWindows);
        body.show();
        if (!settings.batchFile.isEmpty())
            body.batchCtrl()->setBatchFile(settings.batchFile);
        if (settings.execBatch)
            body.batchCtrl()->execBatchSlot();
        rc = app.exec();
    }
    return rc;
}
