// TFNav: every GPS and echo-sounder line. Placeholders until sentence handling is built.
#include "navigator/unavigation.h"

void TFNav::ZGPS1NewCommand(QObject *, const std::string &) {}
void TFNav::ZGPS1Send(QObject *, const std::string &) {}
void TFNav::ZSENSORNewCommand(QObject *, const std::string &) {}
