// TFNav: the Realtime command and the GPS port's link events. Placeholders until acquisition
// control is built.
#include "navigator/unavigation.h"

void TFNav::RealtimeClick(QObject *) {}
void TFNav::ConnectIconClick(QObject *) {}
void TFNav::ZGPS1Connect(QObject *, int) {}
void TFNav::ZGPS1Disconnect(QObject *, int) {}
void TFNav::ZGPS1Idle(QObject *) {}
void TFNav::ZGPS1Timeout(QObject *) {}
void TFNav::ZGPS1Position3DChange(QObject *, long double, long double, long double) {}
void TFNav::ZGPS1SpeedChange(QObject *, long double) {}
void TFNav::ZSENSORTimeout(QObject *) {}
