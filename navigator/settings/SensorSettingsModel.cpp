#include "navigator/settings/SensorSettingsModel.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/ScanFormat.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

using navigator::PortPageTexts;
using platform::fromAnsi;
using platform::toAnsi;

namespace {

const std::string gpsSection = "GPS1 COMUNICATION SETTINGS";
const std::string sensorSection = "SENSOR COMUNICATION SETTINGS";
const std::string gyroSection = "GYRO";
const std::string geodesySection = "GEODETIC_PARAMETERS";
const std::string lockSection = "LOCK SETTINGS";
const std::string gridSection = "GRID_SETTINGS";
const std::string depthLabelSection = "DEPTH_LABEL_SETTINGS";
const std::string eventLabelSection = "EVENT_LABEL_SETTINGS";

// Keys are written padded with blanks after the name; the settings file matches them without.
std::string pad(std::string name, std::size_t width) {
  if (name.size() < width)
    name.append(width - name.size(), ' ');
  return name;
}

// The eleven port boxes with their key names, in the section's order.
struct PortKey {
  const char *name;
  QString PortPageTexts::*box;
};
const PortKey portKeys[] = {
    {"Port No", &PortPageTexts::Port},         {"Baud Rate", &PortPageTexts::BaudRate},
    {"Data Width", &PortPageTexts::DataWidth}, {"Stop Bits", &PortPageTexts::StopBits},
    {"Parity", &PortPageTexts::Parity},        {"Priority", &PortPageTexts::Priority},
    {"Delay", &PortPageTexts::Delay},          {"NMEA LOG", &PortPageTexts::NMEALog},
    {"Log Time", &PortPageTexts::LogTime},     {"Enable DTR", &PortPageTexts::EnableDTR},
    {"Enable RTS", &PortPageTexts::EnableRTS},
};

std::string portKey(const PortKey &key, bool sensorPort) {
  const bool portNo = key.box == &PortPageTexts::Port;
  return pad(key.name, sensorPort && portNo ? 16 : 15);
}

// The geodetic edits in the order of the section, with their names as the window labels them.
struct GeodesyText {
  const char *key;
  QString SensorSettingsValues::*edit;
  const char *label;
};
const GeodesyText geodesyTextsBeforeBoxes[] = {
    {"SemiMajorAxis", &SensorSettingsValues::edSMA, "Ellipsoid: Semi Major Axis"},
    {"InverseFlattening", &SensorSettingsValues::edIF, "Ellipsoid: Flattening"},
    {"X_Rotation", &SensorSettingsValues::edRX,
     "Transformation Parameters from WGS-84: X Rotation"},
    {"Y_Rotation", &SensorSettingsValues::edRY,
     "Transformation Parameters from WGS-84: Y Rotation"},
    {"Z_Rotation", &SensorSettingsValues::edRZ,
     "Transformation Parameters from WGS-84: Z Rotation"},
    {"X_Shift", &SensorSettingsValues::edSX, "Transformation Parameters from WGS-84: X Shift"},
    {"Y_Shift", &SensorSettingsValues::edSY, "Transformation Parameters from WGS-84: Y Shift"},
    {"Z_Shift", &SensorSettingsValues::edSZ, "Transformation Parameters from WGS-84: Z Shift"},
    {"Scale_PPM", &SensorSettingsValues::edPPM,
     "Transformation Parameters from WGS-84: Scale Factor"},
    {"Central_Meridian", &SensorSettingsValues::edCM, "TM Parameters: Central Meridian"},
    {"Reference_Latitude", &SensorSettingsValues::edRL, "TM Parameters: Reference Latitude"},
    {"Scale_Factor", &SensorSettingsValues::edSF, "TM Parameters: Scale Factor"},
    {"False_Easting", &SensorSettingsValues::edFE, "TM Parameters: False Easting"},
    {"False_Northing", &SensorSettingsValues::edFN, "TM Parameters: False Northing"},
};
const GeodesyText lambertTexts[] = {
    {"eLCCSP1", &SensorSettingsValues::eLCCSP1, "LCC Parameters: Standard Parallel 1"},
    {"eLCCSP2", &SensorSettingsValues::eLCCSP2, "LCC Parameters: Standard Parallel 2"},
    {"eLCCSF", &SensorSettingsValues::eLCCSF, "LCC Parameters: Scale Factor"},
    {"eLCCCP", &SensorSettingsValues::eLCCCP, "LCC Parameters: Central Parallel"},
    {"eLCCM", &SensorSettingsValues::eLCCM, "LCC Parameters: Central Meridian"},
    {"eLCCFE", &SensorSettingsValues::eLCCFE, "LCC Parameters: False Easting"},
    {"eLCCFN", &SensorSettingsValues::eLCCFN, "LCC Parameters: False Norhing"},
};

// A shown value is the saved one when the settings file's reader and the number check would
// read both alike: blanks around it are not kept by the file, and "-75" is "-75.0".
bool sameGeodesyValue(const QString &shown, const QString &saved) {
  const QString a = shown.trimmed(), b = saved.trimmed();
  if (a == b)
    return true;
  double x = 0, y = 0;
  return platform::TryStrToFloat(a.toStdString(), x) &&
         platform::TryStrToFloat(b.toStdString(), y) && std::isfinite(x) && std::isfinite(y) &&
         x == y;
}

// Only the colour's own 24 bits; a hand-edited system colour has no meaning here.
TColor colourFrom(std::int32_t value) { return static_cast<TColor>(value) & 0xFFFFFF; }

const char *yesNo(bool value) { return value ? "Yes" : "No"; }

} // namespace

SensorSettingsModel::SensorSettingsModel(std::string settingsFile, Host host)
    : SettingsFile(std::move(settingsFile)), Hooks(std::move(host)) {}

// ---- Lifecycle

void SensorSettingsModel::FormCreate() {
  if (DepthLabelSettingFontName.empty())
    DepthLabelSettingFontName = "Arial";
  readPortSections();
  const platform::IniFile ini(SettingsFile);
  Values.GyroEnabled = ini.ReadBool(gyroSection, pad("Gyro Enabled", 17), true);
  readGeodesy();
  // The lock box takes its stored state without its save action: that action would write the
  // design values of the grid and label controls, which are read only below, over the stored ones.
  Values.LockStateCheck1 = ini.ReadBool(lockSection, "Lock Settings", false);
  if (Values.LockStateCheck1)
    enableSettingsPages(false);
  const std::string lockedText = ini.ReadString(lockSection, "Settings Locked (true/false)", "");
  if (lockedText == "true")
    enableSettingsPages(false);
  else if (lockedText == "false")
    enableSettingsPages(true);
  readDisplaySections();
  takeDisplaySettings();
  Values.edGridSpacingEnabled = !GridSettingAuto;
  pushGrid(false);
}

void SensorSettingsModel::FormShow() {
  const platform::IniFile ini(SettingsFile);
  const bool locked =
      ini.ReadBool(lockSection, "Settings Locked (true/false)", Values.LockStateCheck1);
  setCheck(&SensorSettingsValues::LockStateCheck1, locked);
  Values.tGlobalSettingEnabled = !locked;
  pushGrid(false);
}

void SensorSettingsModel::enableSettingsPages(bool enabled) {
  Values.GPSTabSheetEnabled = enabled;
  Values.SensorTabSheetEnabled = enabled;
  Values.ParametersTabSheetEnabled = enabled;
  Values.tGlobalSettingEnabled = enabled;
}

// ---- Port pages

navigator::PortApplyOutcome SensorSettingsModel::GPSSetClick(TTarvikSerialGPS &port) {
  const std::string log = Hooks.dayLogPath ? Hooks.dayLogPath(" TSD_GNSS_V3.log") : std::string();
  const auto outcome = navigator::applyPortPage(Values.GPS, log, port);
  if (!outcome.ok && outcome.report)
    platform::MessageDlg(QStringLiteral("GPS port: %1 It and the settings after it were not "
                                        "applied.")
                             .arg(outcome.message),
                         mtError, mbOK);
  return outcome;
}

navigator::PortApplyOutcome SensorSettingsModel::SensorSetClick(TTarvikSerialGPS &port) {
  const std::string log = Hooks.dayLogPath ? Hooks.dayLogPath(" TSD_SBES_V3.log") : std::string();
  const auto outcome = navigator::applyPortPage(Values.Sensor, log, port);
  if (!outcome.ok && outcome.report)
    platform::MessageDlg(QStringLiteral("Sensor port: %1 It and the settings after it were not "
                                        "applied.")
                             .arg(outcome.message),
                         mtError, mbOK);
  return outcome;
}

void SensorSettingsModel::readPortSections() {
  const platform::IniFile ini(SettingsFile);
  for (const PortKey &key : portKeys)
    Values.GPS.*key.box = fromAnsi(ini.ReadString(gpsSection, portKey(key, false), ""));
  for (const PortKey &key : portKeys)
    Values.Sensor.*key.box = fromAnsi(ini.ReadString(sensorSection, portKey(key, true), ""));
  Values.SensorEnabled = ini.ReadBool(sensorSection, pad("Sensor Enabled", 19), true);
  Values.cSBESMessage = fromAnsi(ini.ReadString(sensorSection, "cSBESMessage", "Tarvik SMT"));
  const bool stored = ini.ValueExists(sensorSection, "eSBESFormat");
  takeStoredFormat(fromAnsi(ini.ReadString(sensorSection, "eSBESFormat", "%*8s,%lf")), stored);
}

void SensorSettingsModel::writePortSections() {
  platform::IniFile ini(SettingsFile);
  for (const PortKey &key : portKeys)
    ini.WriteString(gpsSection, portKey(key, false), toAnsi(Values.GPS.*key.box));
  for (const PortKey &key : portKeys)
    ini.WriteString(sensorSection, portKey(key, true), toAnsi(Values.Sensor.*key.box));
  ini.WriteBool(sensorSection, pad("Sensor Enabled", 19), Values.SensorEnabled);
  ini.WriteString(sensorSection, "cSBESMessage", toAnsi(Values.cSBESMessage));
  ini.WriteString(sensorSection, "eSBESFormat", toAnsi(Values.eSBESFormat));
}

// ---- Message type and scan format

void SensorSettingsModel::takeStoredFormat(const QString &stored, bool fromFile) {
  const auto *type = navigator::findSbesMessageType(toAnsi(Values.cSBESMessage));
  Values.eSBESFormat = stored;
  AcceptedFormat.clear();
  CustomFormat.clear();
  if (!type)
    return; // no sentence is read under an unknown type, whatever the format
  const auto check = navigator::checkScanFormat(toAnsi(stored), type->Values);
  if (check) {
    AcceptedFormat = toAnsi(stored);
    if (type->Name == "OTHER")
      CustomFormat = stored;
    return;
  }
  // A format that may not reach the scanner gives way to the type's own (none for "OTHER").
  // The stock settings pair "Tarvik SMT" with a one-value format; that needs no message.
  Values.eSBESFormat = QString::fromLatin1(type->Format.data(), qsizetype(type->Format.size()));
  AcceptedFormat = std::string(type->Format);
  if (fromFile)
    platform::MessageDlg(QStringLiteral("The stored scan format \"%1\" of the message type \"%2\" "
                                        "was refused and \"%3\" is used instead: %4")
                             .arg(stored, Values.cSBESMessage, Values.eSBESFormat,
                                  QString::fromStdString(check.error)),
                         mtWarning, mbOK);
}

void SensorSettingsModel::cSBESMessageChange() {
  const auto *type = navigator::findSbesMessageType(toAnsi(Values.cSBESMessage));
  if (!type)
    return;
  if (type->Name == "OTHER") {
    // "OTHER" brings back the user's own format rather than erasing it.
    Values.eSBESFormat = CustomFormat;
    AcceptedFormat = toAnsi(CustomFormat);
    return;
  }
  Values.eSBESFormat = QString::fromLatin1(type->Format.data(), qsizetype(type->Format.size()));
  AcceptedFormat = std::string(type->Format);
  if (Hooks.lowFreqFrame)
    Hooks.lowFreqFrame(type->Frame);
}

bool SensorSettingsModel::eSBESFormatEdited(const QString &text) {
  const auto *type = navigator::findSbesMessageType(toAnsi(Values.cSBESMessage));
  if (!type) {
    Values.eSBESFormat = text;
    AcceptedFormat.clear();
    return true;
  }
  if (text == Values.eSBESFormat)
    return true;
  const auto check = navigator::checkScanFormat(toAnsi(text), type->Values);
  if (!check) {
    platform::MessageDlg(QStringLiteral("The scan format \"%1\" was refused; the format \"%2\" is "
                                        "kept.\n%3")
                             .arg(text, Values.eSBESFormat, QString::fromStdString(check.error)),
                         mtError, mbOK);
    return false;
  }
  Values.eSBESFormat = text;
  AcceptedFormat = toAnsi(text);
  if (type->Name == "OTHER")
    CustomFormat = text;
  return true;
}

// ---- Check boxes

void SensorSettingsModel::setCheck(bool SensorSettingsValues::*box, bool checked) {
  if (Values.*box == checked)
    return;
  Values.*box = checked;
  clickAction(box);
}

void SensorSettingsModel::clickAction(bool SensorSettingsValues::*box) {
  using V = SensorSettingsValues;
  TTarvikCanvas *canvas = Hooks.canvas ? Hooks.canvas() : nullptr;
  if (box == &V::cbUseTMProjection) {
    setCheck(&V::cbUseLCCProjection, !Values.cbUseTMProjection);
  } else if (box == &V::cbUseLCCProjection) {
    setCheck(&V::cbUseTMProjection, !Values.cbUseLCCProjection);
  } else if (box == &V::cLambert1) {
    Values.eLCCSP1Enabled = Values.eLCCSP2Enabled = !Values.cLambert1;
  } else if (box == &V::LockStateCheck1) {
    LockStateCheck1Click();
  } else if (box == &V::cbGridVisible) {
    if (!canvas)
      return;
    canvas->GridVisible = Values.cbGridVisible;
    canvas->GridColor = Values.cbGridColor;
    GridSettingVisible = Values.cbGridVisible;
    repaintCanvas();
  } else if (box == &V::cbAutoGrid) {
    GridSettingAuto = Values.cbAutoGrid;
    Values.edGridSpacingEnabled = !Values.cbAutoGrid;
    if (!canvas)
      return;
    canvas->GridAutoScale = Values.cbAutoGrid;
    canvas->GridSpacingX =
        Values.cbAutoGrid ? 0.0 : platform::StrToFloatDef(Values.edGridSpacingX, 100.0);
    canvas->GridSpacingY =
        Values.cbAutoGrid ? 0.0 : platform::StrToFloatDef(Values.edGridSpacingY, 100.0);
    repaintCanvas();
  } else if (box == &V::cbShowDepthLabels) {
    DepthLabelSettingShown = Values.cbShowDepthLabels;
  }
}

// ---- Other change actions

void SensorSettingsModel::cbGridColorChange(TColor colour) {
  Values.cbGridColor = colour;
  TTarvikCanvas *canvas = Hooks.canvas ? Hooks.canvas() : nullptr;
  if (!canvas)
    return;
  canvas->GridColor = colour;
  GridSettingColor = colour;
  repaintCanvas();
}

void SensorSettingsModel::cbEventLabelColorChange(TColor colour) {
  Values.cbEventLabelColor = colour;
  EventLabelColor = colour;
  repaintCanvas();
}

int SensorSettingsModel::LabelFontSize(const QString &text, int fallback) {
  std::int32_t size = fallback;
  if (!platform::TryStrToInt(text.toStdString(), size)) {
    // A whole number beyond 32 bits is still a size far too large, not a mistyped one.
    static const QRegularExpression wholeNumber(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    if (!wholeNumber.match(text).hasMatch())
      return fallback;
    size = text.trimmed().startsWith('-') ? -MaxLabelFontSize : MaxLabelFontSize;
  }
  return std::clamp<std::int32_t>(size, -MaxLabelFontSize, MaxLabelFontSize);
}

void SensorSettingsModel::edEventLabelFontSizeChange(const QString &text) {
  Values.edEventLabelFontSize = text;
  EventLabelFontSize = LabelFontSize(text, 24);
  repaintCanvas();
}

void SensorSettingsModel::noteClampedFontSizes() const {
  if (!Hooks.note)
    return;
  const std::pair<const QString *, const char *> sizes[] = {
      {&Values.edDepthLabelFontSize, "depth label"}, {&Values.edEventLabelFontSize, "event label"}};
  for (const auto &[text, what] : sizes) {
    const int drawn = LabelFontSize(*text, 0);
    std::int32_t asTyped = 0;
    if (drawn != 0 && !(platform::TryStrToInt(text->toStdString(), asTyped) && asTyped == drawn))
      Hooks.note(QStringLiteral("The %1 font size %2 is beyond %3 points; the labels are drawn at "
                                "%4.")
                     .arg(QString::fromLatin1(what), text->trimmed())
                     .arg(MaxLabelFontSize)
                     .arg(drawn));
  }
}

void SensorSettingsModel::repaintCanvas() {
  if (TTarvikCanvas *canvas = Hooks.canvas ? Hooks.canvas() : nullptr)
    canvas->Refresh(); // the grid lives in the back buffer: a plain invalidate would not show it
}

// ---- Save and lock

void SensorSettingsModel::LockStateCheck1Click() {
  platform::IniFile ini(SettingsFile);
  ini.WriteBool(lockSection, "Lock Settings", Values.LockStateCheck1);
  if (!Values.LockStateCheck1) {
    enableSettingsPages(true);
    return;
  }
  writePortSections();
  ini.WriteBool(gyroSection, pad("Gyro Enabled", 17), Values.GyroEnabled);
  writeGeodesy();
  logSavedSettings();
  writeDisplaySections();
  takeDisplaySettings();
  pushGrid(true);
  enableSettingsPages(false);
}

void SensorSettingsModel::logSavedSettings() {
  if (!Hooks.appendEvent)
    return;
  const SensorSettingsValues &v = Values;
  Hooks.appendEvent("=== SETTINGS SAVED ===");
  Hooks.appendEvent("GPS: Port=" + toAnsi(v.GPS.Port) + ", Baud=" + toAnsi(v.GPS.BaudRate));
  Hooks.appendEvent("Sensor: Port=" + toAnsi(v.Sensor.Port) +
                    ", Baud=" + toAnsi(v.Sensor.BaudRate) + ", Enabled=" + yesNo(v.SensorEnabled));
  Hooks.appendEvent("Datum: " + toAnsi(v.edNameOfDatum) + ", DTP=" + yesNo(v.cbUseDTP));
  Hooks.appendEvent("TM: CM=" + toAnsi(v.edCM) + ", RefLat=" + toAnsi(v.edRL) +
                    ", SF=" + toAnsi(v.edSF) + ", FE=" + toAnsi(v.edFE) + ", FN=" + toAnsi(v.edFN));
  Hooks.appendEvent(std::string("LCC: ") + (v.cbUseLCCProjection ? "Enabled" : "Disabled") +
                    ", SP1=" + toAnsi(v.eLCCSP1) + ", SP2=" + toAnsi(v.eLCCSP2));
  Hooks.appendEvent(std::string(22, '='));
}

// ---- Geodesy

void SensorSettingsModel::readGeodesy() {
  using V = SensorSettingsValues;
  const platform::IniFile ini(SettingsFile);
  auto readText = [&](const GeodesyText &t) {
    Values.*t.edit = fromAnsi(ini.ReadString(geodesySection, t.key, toAnsi(Values.*t.edit)));
  };
  for (const auto &t : geodesyTextsBeforeBoxes)
    readText(t);
  // Setting a box runs its click, so the projection boxes stay exclusive.
  setCheck(&V::cbUseTMProjection,
           ini.ReadBool(geodesySection, "Use Projection", Values.cbUseTMProjection));
  setCheck(&V::cbUseDTP, ini.ReadBool(geodesySection, "Use DTP", Values.cbUseDTP));
  Values.edNameOfDatum = fromAnsi(ini.ReadString(geodesySection, "Name of Datum", ""));
  for (const auto &t : lambertTexts)
    readText(t);
  setCheck(&V::cbUseLCCProjection,
           ini.ReadBool(geodesySection, "cbUseLCCProjection", Values.cbUseLCCProjection));
  setCheck(&V::cLambert1, ini.ReadBool(geodesySection, "cLambert1", Values.cLambert1));
}

std::optional<QString> SensorSettingsModel::UnsavedGeodesy() const {
  const platform::IniFile ini(SettingsFile);
  auto problem = [](const char *label, const QString &shown, const QString &saved) {
    return QStringLiteral("The geodetic parameter \"%1\" shown in the settings window (%2) is not "
                          "the saved one (%3): tick SAVE & LOCK SETTINGS to save it before Start, "
                          "so that the geodesy log names the grid of the records.")
        .arg(QString::fromLatin1(label), shown.trimmed(), saved.trimmed());
  };
  for (const auto *table : {std::begin(geodesyTextsBeforeBoxes), std::begin(lambertTexts)}) {
    const auto *end = table == std::begin(lambertTexts) ? std::end(lambertTexts)
                                                        : std::end(geodesyTextsBeforeBoxes);
    for (const GeodesyText *t = table; t != end; ++t) {
      const QString saved = fromAnsi(ini.ReadString(geodesySection, t->key, ""));
      if (!sameGeodesyValue(Values.*t->edit, saved))
        return problem(t->label, Values.*t->edit, saved);
    }
  }
  const struct {
    const char *key;
    bool shown;
    const char *label;
  } boxes[] = {{"Use Projection", Values.cbUseTMProjection, "TM Parameters: Use Projection"},
               {"cbUseLCCProjection", Values.cbUseLCCProjection, "LCC Parameters: Use Projection"},
               {"cLambert1", Values.cLambert1, "LCC Parameters: Use Lambert 1"}};
  for (const auto &box : boxes) {
    const bool saved = ini.ReadBool(geodesySection, box.key, false);
    if (box.shown != saved)
      return problem(box.label, QString::fromLatin1(yesNo(box.shown)),
                     QString::fromLatin1(yesNo(saved)));
  }
  return std::nullopt;
}

void SensorSettingsModel::writeGeodesy() {
  platform::IniFile ini(SettingsFile);
  for (const auto &t : geodesyTextsBeforeBoxes)
    ini.WriteString(geodesySection, t.key, toAnsi(Values.*t.edit));
  ini.WriteBool(geodesySection, "Use Projection", Values.cbUseTMProjection);
  ini.WriteBool(geodesySection, "Use DTP", Values.cbUseDTP);
  ini.WriteString(geodesySection, "Name of Datum", toAnsi(Values.edNameOfDatum));
  for (const auto &t : lambertTexts)
    ini.WriteString(geodesySection, t.key, toAnsi(Values.*t.edit));
  ini.WriteBool(geodesySection, "cbUseLCCProjection", Values.cbUseLCCProjection);
  ini.WriteBool(geodesySection, "cLambert1", Values.cLambert1);
}

// ---- Grid and labels

void SensorSettingsModel::readDisplaySections() {
  using V = SensorSettingsValues;
  const platform::IniFile ini(SettingsFile);
  setCheck(&V::cbGridVisible, ini.ReadBool(gridSection, "GridVisible", true));
  setCheck(&V::cbAutoGrid, ini.ReadBool(gridSection, "AutoGrid", false));
  Values.edGridSpacingX = fromAnsi(ini.ReadString(gridSection, "GridSpacingX", "100"));
  Values.edGridSpacingY = fromAnsi(ini.ReadString(gridSection, "GridSpacingY", "100"));
  Values.cbGridColor = colourFrom(ini.ReadInteger(gridSection, "GridColor", 12632256));
  setCheck(&V::cbShowDepthLabels, ini.ReadBool(depthLabelSection, "ShowDepthLabels", true));
  Values.edDepthLabelSpacing = fromAnsi(ini.ReadString(depthLabelSection, "LabelSpacing", "10"));
  Values.edDepthLabelFontName = fromAnsi(ini.ReadString(depthLabelSection, "FontName", "Arial"));
  Values.edDepthLabelFontSize = fromAnsi(ini.ReadString(depthLabelSection, "FontSize", "12"));
  Values.cbTextColor = colourFrom(ini.ReadInteger(depthLabelSection, "TextColor", 0));
  edEventLabelFontSizeChange(fromAnsi(ini.ReadString(eventLabelSection, "FontSize", "24")));
  Values.cbEventLabelColor = colourFrom(ini.ReadInteger(eventLabelSection, "TextColor", 255));
}

void SensorSettingsModel::writeDisplaySections() {
  platform::IniFile ini(SettingsFile);
  ini.WriteBool(gridSection, "GridVisible", Values.cbGridVisible);
  ini.WriteBool(gridSection, "AutoGrid", Values.cbAutoGrid);
  ini.WriteString(gridSection, "GridSpacingX", toAnsi(Values.edGridSpacingX));
  ini.WriteString(gridSection, "GridSpacingY", toAnsi(Values.edGridSpacingY));
  ini.WriteInteger(gridSection, "GridColor", static_cast<std::int32_t>(Values.cbGridColor));
  ini.WriteBool(depthLabelSection, "ShowDepthLabels", Values.cbShowDepthLabels);
  ini.WriteString(depthLabelSection, "LabelSpacing", toAnsi(Values.edDepthLabelSpacing));
  ini.WriteString(depthLabelSection, "FontName", toAnsi(Values.edDepthLabelFontName));
  ini.WriteString(depthLabelSection, "FontSize", toAnsi(Values.edDepthLabelFontSize));
  ini.WriteInteger(depthLabelSection, "TextColor", static_cast<std::int32_t>(Values.cbTextColor));
  ini.WriteString(eventLabelSection, "FontSize", toAnsi(Values.edEventLabelFontSize));
  ini.WriteInteger(eventLabelSection, "TextColor",
                   static_cast<std::int32_t>(Values.cbEventLabelColor));
}

void SensorSettingsModel::takeDisplaySettings() {
  const SensorSettingsValues &v = Values;
  GridSettingVisible = v.cbGridVisible;
  GridSettingAuto = v.cbAutoGrid;
  GridSettingSpacingX = platform::StrToFloatDef(v.edGridSpacingX, 100.0);
  GridSettingSpacingY = platform::StrToFloatDef(v.edGridSpacingY, 100.0);
  GridSettingColor = v.cbGridColor;
  DepthLabelSettingShown = v.cbShowDepthLabels;
  DepthLabelSettingSpacing = platform::StrToFloatDef(v.edDepthLabelSpacing, 10.0);
  DepthLabelSettingFontName = toAnsi(v.edDepthLabelFontName);
  DepthLabelSettingFontSize = LabelFontSize(v.edDepthLabelFontSize, 12);
  DepthLabelSettingColor = v.cbTextColor;
  EventLabelFontSize = LabelFontSize(v.edEventLabelFontSize, 24);
  EventLabelColor = v.cbEventLabelColor;
  noteClampedFontSizes();
}

void SensorSettingsModel::pushGrid(bool repaint) {
  TTarvikCanvas *canvas = Hooks.canvas ? Hooks.canvas() : nullptr;
  if (!canvas)
    return;
  canvas->GridVisible = GridSettingVisible;
  // The canvas keeps fixed steps only while its own automatic step is off; "Auto Scale" decides.
  canvas->GridAutoScale = GridSettingAuto;
  canvas->GridSpacingX = GridSettingAuto ? 0.0 : GridSettingSpacingX;
  canvas->GridSpacingY = GridSettingAuto ? 0.0 : GridSettingSpacingY;
  canvas->GridColor = GridSettingColor;
  if (repaint)
    canvas->Refresh();
  else
    canvas->BackBufferDirty = true;
}

void navigator::useTransverseMercator(SensorSettingsValues &v, const char *cm, const char *k0,
                                      const char *fe, const char *fn) {
  v.edSMA = QStringLiteral("6378137.0");
  v.edIF = QStringLiteral("0.0033528106647474");
  for (QString *t : {&v.edPPM, &v.edRX, &v.edRY, &v.edRZ, &v.edSX, &v.edSY, &v.edSZ, &v.edRL})
    *t = QStringLiteral("0");
  v.edCM = cm;
  v.edSF = k0;
  v.edFE = fe;
  v.edFN = fn;
  v.cbUseLCCProjection = false;
}
