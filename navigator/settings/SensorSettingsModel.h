// The sensor settings window's logic without its widgets: the value of every control, reading
// and saving the window's settings sections, the lock, the echo-sounder message type and its
// scan format, the projection boxes, and the grid and label settings that reach the canvas.
// The window mirrors these values in its controls; tests drive this class alone.
#pragma once

#include "navigator/acquisition/GeodesySettings.h"
#include "navigator/acquisition/SbesMessageTypes.h"
#include "navigator/settings/PortSettings.h"
#include "platform/Color.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

class TTarvikCanvas;
class TTarvikSerialGPS;

// One member per control of the window, named as the control; check boxes as their state. The
// "Godetic Parameters" page's are those of the base, which the fix projection reads.
struct SensorSettingsValues : survey::GeodesySettings {
  // "GPS Settings" and "Sensor (SBES) Settings"
  navigator::PortPageTexts GPS{"COM1", "9600",  "8",     "1",    "None", "Normal",
                               "5",    "False", "False", "True", "True"};
  navigator::PortPageTexts Sensor = GPS;
  bool GyroEnabled = false;
  bool SensorEnabled = false;
  QString cSBESMessage = QStringLiteral("Tarvik SMT");
  QString eSBESFormat;

  // "Global Setting"
  bool cbGridVisible = true;
  bool cbAutoGrid = false;
  QString edGridSpacingX = QStringLiteral("100");
  QString edGridSpacingY = QStringLiteral("100");
  bool edGridSpacingEnabled = true; // both spacing edits
  TColor cbGridColor = 0xC0C0C0;
  bool cbShowDepthLabels = true;
  QString edDepthLabelSpacing = QStringLiteral("10");
  QString edDepthLabelFontName = QStringLiteral("Arial");
  QString edDepthLabelFontSize = QStringLiteral("12");
  TColor cbTextColor = 0;
  QString edEventLabelFontSize = QStringLiteral("24");
  TColor cbEventLabelColor = 0x0000FF;

  // Below the pages, and the four settings pages' enabled state (the monitor page stays usable).
  bool LockStateCheck1 = false;
  bool GPSTabSheetEnabled = true;
  bool SensorTabSheetEnabled = true;
  bool ParametersTabSheetEnabled = true;
  bool tGlobalSettingEnabled = true;
};

namespace navigator {

// Sets the values to a Transverse Mercator grid on WGS 84 without a datum shift: central
// meridian, scale factor, false easting and false northing as typed in the window.
void useTransverseMercator(SensorSettingsValues &v, const char *cm, const char *k0, const char *fe,
                           const char *fn);

} // namespace navigator

class SensorSettingsModel {
public:
  // What the window reaches outside itself; each may be left empty.
  struct Host {
    // The main window's canvas; null while it does not exist.
    std::function<TTarvikCanvas *()> canvas;
    // The realtime window's low-frequency depth frame, for the chosen message type.
    std::function<void(navigator::LowFreqFrame)> lowFreqFrame;
    // LogFolder + the date of this moment + `name`.
    std::function<std::string(const std::string &name)> dayLogPath;
    // Appends an "Auto Event" record to the day's event log.
    std::function<void(const std::string &text)> appendEvent;
    // Tells the surveyor of a setting that was not taken as it stands (the message window).
    std::function<void(const QString &text)> note;
  };

  // The largest label font, in points (267 pixels): a label larger than the map covers the track,
  // the vessel and the grid, and the glyphs would take much memory. A larger size, stored or
  // typed, draws at this one and is said.
  static constexpr int MaxLabelFontSize = 200;
  // The size a label is drawn at for a font size text: its integer (`fallback` for anything
  // else) within -MaxLabelFontSize..MaxLabelFontSize (a negative size is a character height).
  static int LabelFontSize(const QString &text, int fallback);

  SensorSettingsModel(std::string settingsFile, Host host);

  SensorSettingsValues Values;

  // ---- Display settings, taken from the "Global Setting" controls
  bool GridSettingVisible = true;
  bool GridSettingAuto = false;
  double GridSettingSpacingX = 100.0;
  double GridSettingSpacingY = 100.0;
  TColor GridSettingColor = 0xC0C0C0;
  bool DepthLabelSettingShown = true;
  double DepthLabelSettingSpacing = 10.0;
  std::string DepthLabelSettingFontName; // 8-bit; "Arial" once the window is created
  int DepthLabelSettingFontSize = 12;
  TColor DepthLabelSettingColor = 0;
  // EventLabelFontSize and EventLabelColor are the canvas's program-wide values.

  // ---- Lifecycle
  void FormCreate();
  void FormShow();

  // ---- Port pages: apply to a component; a refusal the user must hear of is shown.
  navigator::PortApplyOutcome GPSSetClick(TTarvikSerialGPS &port);
  navigator::PortApplyOutcome SensorSetClick(TTarvikSerialGPS &port);

  // ---- Message type and scan format
  // The type text in Values.cSBESMessage was chosen: set its format and the realtime frame.
  void cSBESMessageChange();
  // The user finished editing the format: the text is checked against the type's number of
  // values; a refused text is reported and the previous format comes back. True when taken.
  bool eSBESFormatEdited(const QString &text);
  // The last format that passed the check: the only one the echo-sounder lines may be scanned
  // with (the edit may hold a text being typed). Empty while none does.
  const std::string &scanFormat() const { return AcceptedFormat; }

  // ---- Check boxes: setting one runs its click action when its state changes, whether the
  // user or the code sets it.
  void setCheck(bool SensorSettingsValues::*box, bool checked);

  // ---- Other change actions
  void cbGridColorChange(TColor colour);
  void cbEventLabelColorChange(TColor colour);
  void edEventLabelFontSizeChange(const QString &text);

  // ---- Steps shared by the actions
  void LockStateCheck1Click();
  void takeDisplaySettings();
  // The grid settings to the canvas, when it exists; `repaint` redraws it at once.
  void pushGrid(bool repaint);

  const std::string &settingsFile() const { return SettingsFile; }

  // The first geodetic value shown that differs from the saved one, as a message naming its key;
  // none when they all agree. A session runs with the values shown while the geodesy log quotes
  // the saved ones: a start with the two apart would log another grid than its records'.
  std::optional<QString> UnsavedGeodesy() const;

private:
  void clickAction(bool SensorSettingsValues::*box);
  void enableSettingsPages(bool enabled);
  void readPortSections();
  void readGeodesy();
  void readDisplaySections();
  void writePortSections();
  void writeGeodesy();
  void writeDisplaySections();
  void logSavedSettings();
  void repaintCanvas();
  // The format read from the file, checked against the type read with it.
  void takeStoredFormat(const QString &stored, bool fromFile);
  // Says each label font size that is drawn at another size than its text.
  void noteClampedFontSizes() const;

  std::string SettingsFile;
  Host Hooks;
  // The format the scanner may use, and the user's own format for "OTHER".
  std::string AcceptedFormat;
  QString CustomFormat;
  // True while creation restores the lock box, whose action must not save design values.
  bool Restoring = false;
};
