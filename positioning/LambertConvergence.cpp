#include "positioning/LambertConvergence.h"

double LambertGridConvergence(double coneConstant, double longitudeDeg, double centralMeridianDeg) {
  return -coneConstant * (longitudeDeg - centralMeridianDeg);
}
