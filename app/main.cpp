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
        if (!settings.batchFile.isEmpty())
            body.batchCtrl()->setBatchFile(settings.batchFile);
        if (settings.execBatch)
            body.batchCtrl()->execBatchSlot();
        rc = app.exec();
    }
    return rc;
}
