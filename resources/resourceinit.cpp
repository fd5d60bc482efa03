#include "resourceinit.h"

#include <QtCore/QtGlobal>

void initMarvolentiResources()
{
    Q_INIT_RESOURCE(marvolenti);
}
