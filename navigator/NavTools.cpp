// TFNav: the canvas's events, drawing tools and selection. Placeholders until they are built.
#include "navigator/unavigation.h"

void TFNav::fcadShapeNumberSelected(QObject *, short, std::int32_t) {}
void TFNav::fcadWorldMouseMove(QObject *, short, double, double, double, double) {}
void TFNav::fcadWorldMouseDown(QObject *, short, short, short, double, double) {}
void TFNav::fcadDrawBegin(QObject *, short, double, double) {}
void TFNav::fcadDrawEnd(QObject *, short, double, double) {}
void TFNav::fcadDblClick(QObject *) {}
void TFNav::bMouseSelectClick(QObject *) {}
