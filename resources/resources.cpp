#include "resources.h"

#include <QtGlobal>

void initLumivardResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(lumivard);
}
