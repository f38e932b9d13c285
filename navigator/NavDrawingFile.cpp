// TFNav: the drawing-file commands.
#include "canvas/TarvikCanvas.h"
#include "navigator/SurveyDay.h"
#include "navigator/USoundVelocity.h"
#include "navigator/unavigation.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <stdexcept>

void TFNav::Save1Click(QObject *) {
  const std::string path =
      SurveyDay().DrawingFolder + SessionDateString() + " " + SessionTimeHHMM() + ".zrv";
  fcad->CadClearShapes(State.GridLayer);
  fcad->CadClearShapes(State.VesselLayer);
  // A drawing that was not written must not be logged and remembered as saved.
  if (fcad->CadSave(AnsiToWideCopy(path), -1) != 1)
    throw std::runtime_error("Cannot create file \"" + path + "\"");
  AppendAutoEvent("Auto-saved: " + path, EventLogPath());
  platform::IniFile(platform::SettingsFilePath())
      .WriteString("FILE", "Last File Saved       ", path);
  setWindowTitle(QStringLiteral("Tarvik Sondrel - ") + AnsiToWideCopy(path));
  if (Windows.fSVP)
    Windows.fSVP->SaveDatedMemosWhileUsed();
}
