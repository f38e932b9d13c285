// The geodetic parameters as the settings window holds them ("Godetic Parameters"): the datum
// shift, the projection in use and its parameters, each edit's text as typed. The fix projection
// takes its numbers from these; the settings window's values hold them as their own.
#pragma once

#include <QString>

namespace survey {

struct GeodesySettings {
  QString edNameOfDatum, edSMA, edIF, edRX, edRY, edRZ, edSX, edSY, edSZ, edPPM;
  bool cbUseDTP = true;
  QString edCM, edRL, edSF, edFE, edFN;
  bool cbUseTMProjection = true;
  QString eLCCSP1, eLCCSP2, eLCCSF, eLCCCP, eLCCM, eLCCFE, eLCCFN;
  bool cbUseLCCProjection = false;
  bool cLambert1 = false;
  bool eLCCSP1Enabled = true;
  bool eLCCSP2Enabled = true;
};

} // namespace survey
