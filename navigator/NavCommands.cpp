// TFNav: menu commands, shortcuts and the echogram timer. Placeholders until they are built.
#include "navigator/unavigation.h"

void TFNav::BuildCommands() {}
void TFNav::tEchogramTimer(QObject *) {}
void TFNav::FormKeyDown(QObject *, std::uint16_t &, int) {}
