// TFNav: the map timer. Placeholder until the projection and vessel drawing are built.
#include "navigator/unavigation.h"

void TFNav::tMapTimer(QObject *) {}
