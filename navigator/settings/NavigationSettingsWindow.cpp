#include "navigator/settings/NavigationSettingsWindow.h"

#include "navigator/settings/ColourBox.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/shared/FirstPlacement.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MainWindowServices.h"
#include "platform/Abort.h"
#include "platform/CloseQuery.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

namespace {

const char *const section = "NAVIGATION_SETTINGS";

QComboBox *colourBox(QWidget *parent, const char *name, TColor design) {
  QComboBox *box = colourbox::make(parent, name);
  colourbox::select(box, design);
  return box;
}

QLineEdit *edit(QWidget *parent, const char *name, const char *design, int maxLength,
                bool digitsOnly) {
  auto *e = new QLineEdit(QString::fromLatin1(design), parent);
  e->setObjectName(QString::fromLatin1(name));
  if (maxLength > 0)
    e->setMaxLength(maxLength);
  if (digitsOnly)
    e->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
  return e;
}

QString text(const std::string &s) { return QString::fromStdString(s); }

} // namespace

int MapUpdateInterval(const std::string &text) {
  std::int32_t value = 0;
  if (!platform::TryStrToInt(text, value))
    return 1000;
  return std::clamp<std::int32_t>(value, MinMapUpdateInterval, MaxMapUpdateInterval);
}

TNavset::TNavset(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("Navset"));
  setWindowTitle(QStringLiteral("Navigation Settings"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  auto *column = new QVBoxLayout(this);

  auto *vessel = new QGroupBox(QStringLiteral(" Vessel "), this);
  auto *vesselForm = new QFormLayout(vessel);
  vesselForm->addRow(QStringLiteral("Color"),
                     VesselColor = colourBox(vessel, "VesselColor", clNavy));
  vesselForm->addRow(QStringLiteral("Width"),
                     VesselWidth = edit(vessel, "VesselWidth", "2", 2, true));
  column->addWidget(vessel);

  auto *canvas = new QGroupBox(QStringLiteral(" Canvas "), this);
  auto *canvasForm = new QFormLayout(canvas);
  canvasForm->addRow(QStringLiteral("Background"),
                     fcadColor = colourBox(canvas, "fcadColor", clWhite));
  column->addWidget(canvas);

  auto *tracks = new QGroupBox(QStringLiteral(" Tracklines "), this);
  auto *trackForm = new QFormLayout(tracks);
  trackForm->addRow(QStringLiteral("Fixed Color"),
                    ColorTracklines1 = colourBox(tracks, "ColorTracklines1", clGreen));
  trackForm->addRow(QStringLiteral("Float Color"),
                    ColorTracklines0 = colourBox(tracks, "ColorTracklines0", clYellow));
  // The width accepts digits only here: letters would stop every track point with an error.
  trackForm->addRow(QStringLiteral("Width"), TrackWidth = edit(tracks, "TrackWidth", "2", 2, true));
  trackForm->addRow(QStringLiteral("Interval"),
                    TrackInterval = edit(tracks, "TrackInterval", "20", 8, true));
  trackForm->addRow(QStringLiteral("Update (ms.)"),
                    eUpdateRate = edit(tracks, "eUpdateRate", "1000", 8, true));
  cLineOrDot = new QCheckBox(QStringLiteral("Draw as Line"), tracks);
  cLineOrDot->setObjectName(QStringLiteral("cLineOrDot"));
  trackForm->addRow(cLineOrDot);
  column->addWidget(tracks);

  auto *alerts = new QGroupBox(QStringLiteral(" Alerts && Grid "), this);
  auto *alertForm = new QFormLayout(alerts);
  edDepthAlert1 = edit(alerts, "edDepthAlert1", "0.5", 0, false);
  auto *alertRow = new QHBoxLayout;
  alertRow->addWidget(edDepthAlert1);
  alertRow->addWidget(new QLabel(QStringLiteral("m"), alerts));
  alertForm->addRow(QStringLiteral("Shallow Water"), alertRow);
  alertForm->addRow(QStringLiteral("Grid Color"),
                    GridColor = colourBox(alerts, "GridColor", clSilver));
  column->addWidget(alerts);
  column->addStretch(1);

  const auto on = [this](auto handler) {
    return platform::guarded([this, handler] { (this->*handler)(); });
  };
  connect(fcadColor, &QComboBox::activated, this, on(&TNavset::fcadColorChange));
  connect(eUpdateRate, &QLineEdit::textChanged, this, on(&TNavset::eUpdateRateChange));
  // A rate left out of range shows the interval the timer really runs at.
  connect(eUpdateRate, &QLineEdit::editingFinished, this, platform::guarded([this] {
            const QString shown =
                QString::number(MapUpdateInterval(eUpdateRate->text().toStdString()));
            if (eUpdateRate->text() != shown)
              eUpdateRate->setText(shown);
          }));
  connect(TrackInterval, &QLineEdit::textChanged, this, on(&TNavset::TrackIntervalChange));
  connect(TrackWidth, &QLineEdit::textChanged, this, on(&TNavset::TrackWidthChange));
  connect(VesselWidth, &QLineEdit::textChanged, this, on(&TNavset::VesselWidthChange));
  connect(edDepthAlert1, &QLineEdit::textChanged, this, on(&TNavset::edDepthAlert1Change));
}

TColor TNavset::colourOf(const QComboBox *box) { return colourbox::current(box); }

void TNavset::selectColour(QComboBox *box, TColor colour) { colourbox::select(box, colour); }

int TNavset::widthOf(const QLineEdit *edit) { return platform::StrToIntDef(edit->text(), 2); }

void TNavset::FormShow() {
  if (!navplace::placeWhenNoneStored(this, Windows))
    RestoreFormPlacement(this, 0);
  const platform::IniFile ini(platform::SettingsFilePath());
  VesselWidth->setText(text(ini.ReadString(section, "VesselWidth", "3")));
  TrackWidth->setText(text(ini.ReadString(section, "TrackWidth", "3")));
  TrackInterval->setText(text(ini.ReadString(section, "TrackInterval", "20")));
  selectColour(VesselColor, static_cast<TColor>(ini.ReadInteger(section, "VesselColor", 0)));
  selectColour(ColorTracklines1,
               static_cast<TColor>(ini.ReadInteger(section, "ColorTracklines1", 0)));
  selectColour(ColorTracklines0,
               static_cast<TColor>(ini.ReadInteger(section, "ColorTracklines0", 0)));
  selectColour(GridColor, static_cast<TColor>(ini.ReadInteger(section, "GridColor", 0)));
  selectColour(fcadColor, static_cast<TColor>(ini.ReadInteger(section, "BackgroundColor", 0)));
  cLineOrDot->setChecked(ini.ReadBool(section, "cLineOrDot", true));
  edDepthAlert1->setText(text(ini.ReadString(section, "edDepthAlert", "1")));
  eUpdateRate->setText(text(ini.ReadString(section, "eUpdateRate", "20")));
}

void TNavset::FormCloseQuery(bool &CanClose) {
  CanClose = true;
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteString(section, "VesselWidth", VesselWidth->text());
  ini.WriteString(section, "TrackWidth", TrackWidth->text());
  ini.WriteString(section, "TrackInterval", TrackInterval->text());
  ini.WriteString(section, "VesselColor", std::to_string(colourOf(VesselColor)));
  ini.WriteString(section, "ColorTracklines1", std::to_string(colourOf(ColorTracklines1)));
  ini.WriteString(section, "ColorTracklines0", std::to_string(colourOf(ColorTracklines0)));
  ini.WriteString(section, "GridColor", std::to_string(colourOf(GridColor)));
  ini.WriteString(section, "BackgroundColor", std::to_string(colourOf(fcadColor)));
  ini.WriteBool(section, "cLineOrDot", cLineOrDot->isChecked());
  ini.WriteString(section, "edDepthAlert", edDepthAlert1->text());
  ini.WriteString(section, "eUpdateRate", eUpdateRate->text());
  SaveFormPlacement(this);
}

void TNavset::FormHide() { SaveFormPlacement(this); }

void TNavset::fcadColorChange() {
  if (TTarvikCanvas *canvas = Windows.Main ? Windows.Main->planCanvas() : nullptr)
    canvas->SetBackColor(colourOf(fcadColor));
}

void TNavset::eUpdateRateChange() {
  if (eUpdateRate->text().isEmpty()) {
    eUpdateRate->setText(QStringLiteral("1000"));
    return;
  }
  // 0, a negative or a non-number would stop the timer or divide by zero: the interval is kept
  // within what the window offers.
  const int interval = MapUpdateInterval(eUpdateRate->text().toStdString());
  if (QTimer *timer = Windows.Main ? Windows.Main->mapTimer() : nullptr)
    timer->setInterval(interval);
  TrackInterval->setText(QString::number(10000 / interval));
}

void TNavset::TrackIntervalChange() {
  if (TrackInterval->text().isEmpty())
    TrackInterval->setText(QStringLiteral("0"));
}

void TNavset::TrackWidthChange() {
  if (TrackWidth->text().isEmpty())
    TrackWidth->setText(QStringLiteral("2"));
}

void TNavset::VesselWidthChange() {
  if (VesselWidth->text().isEmpty())
    VesselWidth->setText(QStringLiteral("2"));
}

void TNavset::edDepthAlert1Change() {
  if (edDepthAlert1->text().isEmpty())
    edDepthAlert1->setText(QStringLiteral("0"));
}

void TNavset::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] { FormShow(); })();
}

void TNavset::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] { FormHide(); })();
}

void TNavset::closeEvent(QCloseEvent *event) {
  platform::closeQuery(event, [this](bool &canClose) { FormCloseQuery(canClose); });
}
