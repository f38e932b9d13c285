#include "navigator/settings/SensorSettingsWindow.h"

#include "navigator/settings/ColourBox.h"

#include "navigator/acquisition/SurveyDay.h"
#include "navigator/settings/PortSettings.h"
#include "navigator/shared/MainWindowServices.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/CloseQuery.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "positioning/TarvikSerialGPS.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int monitorLineLimit = 100;

QComboBox *listBox(QWidget *parent, const char *name, const QStringList &items) {
  auto *box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->addItems(items);
  box->setMaxVisibleItems(16);
  return box;
}

QLineEdit *edit(QWidget *parent, const char *name) {
  auto *e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  return e;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const char *caption) {
  auto *box = new QCheckBox(QString::fromLatin1(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QGroupBox *group(QWidget *parent, const char *caption) {
  return new QGroupBox(QString::fromLatin1(caption), parent);
}

QFormLayout *formIn(QWidget *w) {
  auto *form = new QFormLayout(w);
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  return form;
}

// A label and its control in two cells of a grid row.
void gridRow(QGridLayout *grid, int row, int column, const char *label, QWidget *control) {
  auto *caption = new QLabel(QString::fromLatin1(label));
  caption->setContentsMargins(0, 0, 6, 0);
  // Labels keep their whole text; the edits give way when the page is narrow.
  caption->setMinimumWidth(caption->sizeHint().width());
  control->setMinimumWidth(60);
  grid->addWidget(caption, row, column);
  grid->addWidget(control, row, column + 1);
  grid->setColumnStretch(column + 1, 1);
}

// What the realtime window does for a message type: the low-frequency frame and the height.
void setLowFreqFrame(TfRealtime *realtime, navigator::LowFreqFrame frame) {
  if (!realtime)
    return;
  if (frame == navigator::LowFreqFrame::Show)
    realtime->ShowLowFreqFrame();
  else if (frame == navigator::LowFreqFrame::Hide)
    realtime->HideLowFreqFrame();
}

} // namespace

TFGPS::TFGPS(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows),
      Model(
          platform::SettingsFilePath(),
          SensorSettingsModel::Host{
              [this] { return canvas(); },
              [this](navigator::LowFreqFrame frame) { setLowFreqFrame(Windows.fRealtime, frame); },
              [](const std::string &name) {
                return SurveyDay().LogFolder + SessionDateString() + name;
              },
              [](const std::string &text) { AppendAutoEvent(text, EventLogPath()); },
              [this](const QString &text) {
                navigator::noteInMessageWindow(this, Windows, text);
              }}) {
  setObjectName(QStringLiteral("FGPS"));
  setWindowTitle(QStringLiteral("Settings"));
  // A dialog border without border icons, above the other windows.
  setWindowFlags(Qt::Window | Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint);
  setFixedSize(754, 458);

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  column->addWidget(PageControl, 1);
  buildPortPage();
  buildSensorPage();
  buildParametersPage();
  buildGlobalPage();
  buildMonitorPage();
  PageControl->setCurrentWidget(tGlobalSetting);

  auto *bottom = new QHBoxLayout;
  LockStateCheck1 = checkBox(this, "LockStateCheck1", "SAVE && LOCK SETTINGS");
  bottom->addWidget(LockStateCheck1);
  bottom->addStretch(1);
  BitBtn2 = new QPushButton(QStringLiteral("Close"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  bottom->addWidget(BitBtn2);
  column->addLayout(bottom);

  bindControls();
  FormCreate();
}

TTarvikCanvas *TFGPS::canvas() const { return Windows.Main ? Windows.Main->planCanvas() : nullptr; }

// ---- Layout

void TFGPS::buildPortPage() {
  GPSTabSheet = new QWidget;
  GPSTabSheet->setObjectName(QStringLiteral("GPSTabSheet"));
  PageControl->addTab(GPSTabSheet, QStringLiteral("GPS Settings"));
  auto *row = new QHBoxLayout(GPSTabSheet);

  auto *ports = group(GPSTabSheet, "GPS Port Settings");
  auto *portForm = formIn(ports);
  portForm->addRow(QStringLiteral("Port No: "),
                   Port = listBox(ports, "Port", navigator::portNameItems()));
  portForm->addRow(QStringLiteral("Baud Rate"),
                   BaudRate = listBox(ports, "BaudRate", navigator::baudRateItems()));
  portForm->addRow(QStringLiteral("Data Width"),
                   DataWidth = listBox(ports, "DataWidth", navigator::dataWidthItems()));
  portForm->addRow(QStringLiteral("Stop Bits"),
                   StopBits = listBox(ports, "StopBits", navigator::stopBitsItems()));
  portForm->addRow(QStringLiteral("Parity"),
                   Parity = listBox(ports, "Parity", navigator::parityItems()));

  auto *optional = group(GPSTabSheet, "Optional Settings");
  auto *optionalForm = formIn(optional);
  optionalForm->addRow(QStringLiteral("Priority"),
                       Priority = listBox(optional, "Priority", navigator::priorityItems()));
  optionalForm->addRow(QStringLiteral("Delay"),
                       Delay = listBox(optional, "Delay", navigator::delayItems()));
  optionalForm->addRow(QStringLiteral("NMEA Log"),
                       NMEALog = listBox(optional, "NMEALog", navigator::trueFalseItems()));
  optionalForm->addRow(QStringLiteral("Log Time"),
                       LogTime = listBox(optional, "LogTime", navigator::trueFalseItems()));
  optionalForm->addRow(QStringLiteral("Enable DTR"),
                       EnableDTR = listBox(optional, "EnableDTR", navigator::trueFalseItems()));
  optionalForm->addRow(QStringLiteral("Enable RTS"),
                       EnableRTS = listBox(optional, "EnableRTS", navigator::trueFalseItems()));

  auto *side = new QVBoxLayout;
  GPSSet = new QPushButton(QStringLiteral("GPS Set"), GPSTabSheet);
  GPSSet->setObjectName(QStringLiteral("GPSSet"));
  side->addWidget(GPSSet);
  GyroEnabled = checkBox(GPSTabSheet, "GyroEnabled", "Enable Gyro");
  side->addWidget(GyroEnabled);
  side->addStretch(1);

  row->addWidget(ports, 1, Qt::AlignTop);
  row->addWidget(optional, 1, Qt::AlignTop);
  row->addLayout(side);
}

void TFGPS::buildSensorPage() {
  SensorTabSheet = new QWidget;
  SensorTabSheet->setObjectName(QStringLiteral("SensorTabSheet"));
  PageControl->addTab(SensorTabSheet, QStringLiteral("Sensor (SBES) Settings"));
  auto *row = new QHBoxLayout(SensorTabSheet);

  auto *ports = group(SensorTabSheet, "NMEA Sensor Port Settings");
  auto *portForm = formIn(ports);
  portForm->addRow(QStringLiteral("Port No: "),
                   SPort = listBox(ports, "SPort", navigator::portNameItems()));
  portForm->addRow(QStringLiteral("Baud Rate"),
                   SBaudRate = listBox(ports, "SBaudRate", navigator::baudRateItems()));
  portForm->addRow(QStringLiteral("Data Width"),
                   SDataWidth = listBox(ports, "SDataWidth", navigator::dataWidthItems()));
  portForm->addRow(QStringLiteral("Stop Bits"),
                   SStopBits = listBox(ports, "SStopBits", navigator::stopBitsItems()));
  portForm->addRow(QStringLiteral("Parity"),
                   SParity = listBox(ports, "SParity", navigator::parityItems()));

  auto *optional = group(SensorTabSheet, "Optional Settings");
  auto *optionalForm = formIn(optional);
  optionalForm->addRow(QStringLiteral("Priority"),
                       SPriority = listBox(optional, "SPriority", navigator::priorityItems()));
  optionalForm->addRow(QStringLiteral("Delay"),
                       SDelay = listBox(optional, "SDelay", navigator::delayItems()));
  optionalForm->addRow(QStringLiteral("NMEA Log"),
                       SNMEALog = listBox(optional, "SNMEALog", navigator::trueFalseItems()));
  optionalForm->addRow(QStringLiteral("Log Time"),
                       SLogTime = listBox(optional, "SLogTime", navigator::trueFalseItems()));
  optionalForm->addRow(QStringLiteral("Enable DTR"),
                       SEnableDTR = listBox(optional, "SEnableDTR", navigator::trueFalseItems()));
  optionalForm->addRow(QStringLiteral("Enable RTS"),
                       SEnableRTS = listBox(optional, "SEnableRTS", navigator::trueFalseItems()));

  auto *side = new QVBoxLayout;
  SensorSet = new QPushButton(QStringLiteral("SBES Set"), SensorTabSheet);
  SensorSet->setObjectName(QStringLiteral("SensorSet"));
  side->addWidget(SensorSet);
  SensorEnabled = checkBox(SensorTabSheet, "SensorEnabled", "Sensor Enabled");
  side->addWidget(SensorEnabled);
  auto *message = group(SensorTabSheet, "SBESMessage");
  auto *messageColumn = new QVBoxLayout(message);
  QStringList types;
  for (const auto &type : navigator::sbesMessageTypes())
    types << QString::fromLatin1(type.Name.data(), qsizetype(type.Name.size()));
  cSBESMessage = listBox(message, "cSBESMessage", types);
  messageColumn->addWidget(cSBESMessage);
  eSBESFormat = edit(message, "eSBESFormat");
  messageColumn->addWidget(eSBESFormat);
  side->addWidget(message);
  side->addStretch(1);

  row->addWidget(ports, 1, Qt::AlignTop);
  row->addWidget(optional, 1, Qt::AlignTop);
  row->addLayout(side, 1);
}

void TFGPS::buildParametersPage() {
  ParametersTabSheet = new QWidget;
  ParametersTabSheet->setObjectName(QStringLiteral("ParametersTabSheet"));
  PageControl->addTab(ParametersTabSheet, QStringLiteral("Godetic Parameters"));
  auto *page = new QVBoxLayout(ParametersTabSheet);

  auto *datum = group(ParametersTabSheet, "Datum");
  auto *datumRow = new QHBoxLayout(datum);
  // The datum's name above its ellipsoid, beside the transformation: the page is not tall.
  auto *left = new QVBoxLayout;
  auto *nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(QStringLiteral("Name of Datum")));
  nameRow->addWidget(edNameOfDatum = edit(datum, "edNameOfDatum"), 1);
  left->addLayout(nameRow);
  auto *ellipsoid = group(datum, "Ellipsoid");
  auto *ellipsoidGrid = new QGridLayout(ellipsoid);
  gridRow(ellipsoidGrid, 0, 0, "Semi Major Axis", edSMA = edit(ellipsoid, "edSMA"));
  gridRow(ellipsoidGrid, 1, 0, "Flattening", edIF = edit(ellipsoid, "edIF"));
  left->addWidget(ellipsoid);
  auto *shift = group(datum, "Transformation Parameters from WGS-84");
  auto *shiftGrid = new QGridLayout(shift);
  gridRow(shiftGrid, 0, 0, "X Rotation", edRX = edit(shift, "edRX"));
  gridRow(shiftGrid, 1, 0, "Y Rotation", edRY = edit(shift, "edRY"));
  gridRow(shiftGrid, 2, 0, "Z Rotation", edRZ = edit(shift, "edRZ"));
  gridRow(shiftGrid, 3, 0, "Scale Factor", edPPM = edit(shift, "edPPM"));
  gridRow(shiftGrid, 0, 2, "X Shift", edSX = edit(shift, "edSX"));
  gridRow(shiftGrid, 1, 2, "Y Shift", edSY = edit(shift, "edSY"));
  gridRow(shiftGrid, 2, 2, "Z Shift", edSZ = edit(shift, "edSZ"));
  cbUseDTP = checkBox(shift, "cbUseDTP", "Use DTP");
  cbUseDTP->setEnabled(false);
  shiftGrid->addWidget(cbUseDTP, 3, 3);
  datumRow->addLayout(left, 2);
  datumRow->addWidget(shift, 3);
  page->addWidget(datum);

  auto *projections = new QHBoxLayout;
  auto *tm = group(ParametersTabSheet, "TM Parameters");
  auto *tmGrid = new QGridLayout(tm);
  gridRow(tmGrid, 0, 0, "Central Meridian", edCM = edit(tm, "edCM"));
  gridRow(tmGrid, 1, 0, "Reference Latitude", edRL = edit(tm, "edRL"));
  gridRow(tmGrid, 2, 0, "Scale Factor", edSF = edit(tm, "edSF"));
  gridRow(tmGrid, 3, 0, "False Easting", edFE = edit(tm, "edFE"));
  gridRow(tmGrid, 4, 0, "False Northing", edFN = edit(tm, "edFN"));
  tmGrid->addWidget(cbUseTMProjection = checkBox(tm, "cbUseTMProjection", "Use Projection"), 5, 1);
  auto *lcc = group(ParametersTabSheet, "LCC Parameters");
  auto *lccGrid = new QGridLayout(lcc);
  gridRow(lccGrid, 0, 0, "Standard Parallel 1", eLCCSP1 = edit(lcc, "eLCCSP1"));
  gridRow(lccGrid, 1, 0, "Standard Parallel 2", eLCCSP2 = edit(lcc, "eLCCSP2"));
  gridRow(lccGrid, 2, 0, "Scale Factor", eLCCSF = edit(lcc, "eLCCSF"));
  gridRow(lccGrid, 0, 2, "Central Parallel", eLCCCP = edit(lcc, "eLCCCP"));
  gridRow(lccGrid, 1, 2, "Central Meridian", eLCCM = edit(lcc, "eLCCM"));
  gridRow(lccGrid, 2, 2, "False Easting", eLCCFE = edit(lcc, "eLCCFE"));
  gridRow(lccGrid, 3, 2, "False Norhing", eLCCFN = edit(lcc, "eLCCFN"));
  auto *lccBoxes = new QHBoxLayout;
  lccBoxes->addWidget(cbUseLCCProjection = checkBox(lcc, "cbUseLCCProjection", "Use Projection"));
  lccBoxes->addWidget(cLambert1 = checkBox(lcc, "cLambert1", "Use Lambert 1"));
  lccBoxes->addStretch(1);
  lccGrid->addLayout(lccBoxes, 3, 0, 1, 2);
  projections->addWidget(tm, 1);
  projections->addWidget(lcc, 2);
  page->addLayout(projections);
}

void TFGPS::buildGlobalPage() {
  tGlobalSetting = new QWidget;
  tGlobalSetting->setObjectName(QStringLiteral("tGlobalSetting"));
  PageControl->addTab(tGlobalSetting, QStringLiteral("Global Setting"));
  auto *row = new QHBoxLayout(tGlobalSetting);

  auto *grid = group(tGlobalSetting, "Grid Settings");
  auto *gridForm = formIn(grid);
  gridForm->addRow(cbGridVisible = checkBox(grid, "cbGridVisible", "Show Grid"));
  gridForm->addRow(cbAutoGrid = checkBox(grid, "cbAutoGrid", "Auto Scale"));
  gridForm->addRow(QStringLiteral("Grid Spacing X"), edGridSpacingX = edit(grid, "edGridSpacingX"));
  gridForm->addRow(QStringLiteral("Grid Spacing Y"), edGridSpacingY = edit(grid, "edGridSpacingY"));
  gridForm->addRow(QStringLiteral("Grid Color"),
                   cbGridColor = colourbox::make(grid, "cbGridColor"));

  auto *depth = group(tGlobalSetting, "Depth Labels");
  auto *depthForm = formIn(depth);
  depthForm->addRow(cbShowDepthLabels = checkBox(depth, "cbShowDepthLabels", "Show Depth Labels"));
  depthForm->addRow(QStringLiteral("Label Spacing (m)"),
                    edDepthLabelSpacing = edit(depth, "edDepthLabelSpacing"));
  depthForm->addRow(QStringLiteral("Font Name"),
                    edDepthLabelFontName = edit(depth, "edDepthLabelFontName"));
  depthForm->addRow(QStringLiteral("Font Size"),
                    edDepthLabelFontSize = edit(depth, "edDepthLabelFontSize"));
  depthForm->addRow(QStringLiteral("Text Color"),
                    cbTextColor = colourbox::make(depth, "cbTextColor"));

  auto *events = group(tGlobalSetting, "Event Labels");
  auto *eventForm = formIn(events);
  eventForm->addRow(QStringLiteral("Font Size"),
                    edEventLabelFontSize = edit(events, "edEventLabelFontSize"));
  eventForm->addRow(QStringLiteral("Text Color"),
                    cbEventLabelColor = colourbox::make(events, "cbEventLabelColor"));

  row->addWidget(grid, 1, Qt::AlignTop);
  row->addWidget(depth, 1, Qt::AlignTop);
  row->addWidget(events, 1, Qt::AlignTop);
}

void TFGPS::buildMonitorPage() {
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  PageControl->addTab(TabSheet1, QStringLiteral("I/O Port Monitor"));
  auto *column = new QVBoxLayout(TabSheet1);
  QFont font(QStringLiteral("Arial Narrow"));
  font.setPixelSize(21);
  font.setBold(true);
  QPalette palette;
  palette.setColor(QPalette::Base, Qt::black);
  palette.setColor(QPalette::Text, QColor(0, 255, 0));
  auto memo = [&](const char *name, const char *caption) {
    auto *m = new QPlainTextEdit(TabSheet1);
    m->setObjectName(QString::fromLatin1(name));
    m->setFont(font);
    m->setPalette(palette);
    m->setReadOnly(true);
    // Hours of lines must not pile up an undo history.
    m->setUndoRedoEnabled(false);
    m->setPlainText(QString::fromLatin1(caption));
    m->viewport()->installEventFilter(this);
    column->addWidget(m);
    return m;
  };
  MemoGPS = memo("MemoGPS", "NMEA POSITION DATA");
  MemoSensor = memo("MemoSensor", "NMEA SENSOR DATA");
  MemoSensor->setLineWrapMode(QPlainTextEdit::NoWrap);
}

// ---- Controls and values

void TFGPS::bindControls() {
  using V = SensorSettingsValues;
  using P = navigator::PortPageTexts;
  auto port = [&](QComboBox *box, P V::*page, QString P::*field) {
    Texts.push_back({box, [page, field](V &v) -> QString & { return v.*page.*field; }});
  };
  const std::pair<QComboBox *, QString P::*> gps[] = {
      {Port, &P::Port},           {BaudRate, &P::BaudRate},  {DataWidth, &P::DataWidth},
      {StopBits, &P::StopBits},   {Parity, &P::Parity},      {Priority, &P::Priority},
      {Delay, &P::Delay},         {NMEALog, &P::NMEALog},    {LogTime, &P::LogTime},
      {EnableDTR, &P::EnableDTR}, {EnableRTS, &P::EnableRTS}};
  const std::pair<QComboBox *, QString P::*> sensor[] = {
      {SPort, &P::Port},           {SBaudRate, &P::BaudRate},  {SDataWidth, &P::DataWidth},
      {SStopBits, &P::StopBits},   {SParity, &P::Parity},      {SPriority, &P::Priority},
      {SDelay, &P::Delay},         {SNMEALog, &P::NMEALog},    {SLogTime, &P::LogTime},
      {SEnableDTR, &P::EnableDTR}, {SEnableRTS, &P::EnableRTS}};
  for (const auto &[box, field] : gps)
    port(box, &V::GPS, field);
  for (const auto &[box, field] : sensor)
    port(box, &V::Sensor, field);
  auto text = [&](QWidget *control, QString V::*field) {
    Texts.push_back({control, [field](V &v) -> QString & { return v.*field; }});
  };
  text(cSBESMessage, &V::cSBESMessage);
  text(eSBESFormat, &V::eSBESFormat);
  const std::pair<QLineEdit *, QString V::*> edits[] = {
      {edNameOfDatum, &V::edNameOfDatum},
      {edSMA, &V::edSMA},
      {edIF, &V::edIF},
      {edRX, &V::edRX},
      {edRY, &V::edRY},
      {edRZ, &V::edRZ},
      {edSX, &V::edSX},
      {edSY, &V::edSY},
      {edSZ, &V::edSZ},
      {edPPM, &V::edPPM},
      {edCM, &V::edCM},
      {edRL, &V::edRL},
      {edSF, &V::edSF},
      {edFE, &V::edFE},
      {edFN, &V::edFN},
      {eLCCSP1, &V::eLCCSP1},
      {eLCCSP2, &V::eLCCSP2},
      {eLCCSF, &V::eLCCSF},
      {eLCCCP, &V::eLCCCP},
      {eLCCM, &V::eLCCM},
      {eLCCFE, &V::eLCCFE},
      {eLCCFN, &V::eLCCFN},
      {edGridSpacingX, &V::edGridSpacingX},
      {edGridSpacingY, &V::edGridSpacingY},
      {edDepthLabelSpacing, &V::edDepthLabelSpacing},
      {edDepthLabelFontName, &V::edDepthLabelFontName},
      {edDepthLabelFontSize, &V::edDepthLabelFontSize},
      {edEventLabelFontSize, &V::edEventLabelFontSize}};
  for (const auto &[control, field] : edits)
    text(control, field);

  Checks = {{GyroEnabled, &V::GyroEnabled},
            {SensorEnabled, &V::SensorEnabled},
            {cbUseDTP, &V::cbUseDTP},
            {cbUseTMProjection, &V::cbUseTMProjection},
            {cbUseLCCProjection, &V::cbUseLCCProjection},
            {cLambert1, &V::cLambert1},
            {cbGridVisible, &V::cbGridVisible},
            {cbAutoGrid, &V::cbAutoGrid},
            {cbShowDepthLabels, &V::cbShowDepthLabels},
            {LockStateCheck1, &V::LockStateCheck1}};
  Colours = {{cbGridColor, &V::cbGridColor},
             {cbTextColor, &V::cbTextColor},
             {cbEventLabelColor, &V::cbEventLabelColor}};
  Enables = {{GPSTabSheet, &V::GPSTabSheetEnabled},
             {SensorTabSheet, &V::SensorTabSheetEnabled},
             {ParametersTabSheet, &V::ParametersTabSheetEnabled},
             {tGlobalSetting, &V::tGlobalSettingEnabled},
             {eLCCSP1, &V::eLCCSP1Enabled},
             {eLCCSP2, &V::eLCCSP2Enabled},
             {edGridSpacingX, &V::edGridSpacingEnabled},
             {edGridSpacingY, &V::edGridSpacingEnabled}};

  // Every action ends with the controls showing the values again, also after a failure.
  auto act = [this](auto fn) {
    return platform::guarded([this, fn](auto &&...args) {
      if (Showing)
        return;
      struct Resync {
        TFGPS *w;
        ~Resync() { w->showValues(); }
      } resync{this};
      fn(args...);
    });
  };

  for (const TextBinding &b : Texts) {
    auto value = b.value;
    if (auto *line = qobject_cast<QLineEdit *>(b.control)) {
      if (line == eSBESFormat) {
        // Taken (and checked) only when the user has finished typing.
        connect(line, &QLineEdit::editingFinished, this,
                act([this] { Model.eSBESFormatEdited(eSBESFormat->text()); }));
      } else if (line == edEventLabelFontSize) {
        connect(line, &QLineEdit::textChanged, this,
                act([this](const QString &t) { Model.edEventLabelFontSizeChange(t); }));
      } else {
        connect(line, &QLineEdit::textChanged, this,
                act([this, value](const QString &t) { value(Model.Values) = t; }));
      }
    } else if (auto *box = qobject_cast<QComboBox *>(b.control)) {
      if (box == cSBESMessage) {
        connect(box, &QComboBox::currentTextChanged, this, act([this](const QString &t) {
                  Model.Values.cSBESMessage = t;
                  Model.cSBESMessageChange();
                }));
      } else {
        connect(box, &QComboBox::currentTextChanged, this,
                act([this, value](const QString &t) { value(Model.Values) = t; }));
      }
    }
  }
  for (const CheckBinding &b : Checks) {
    auto field = b.value;
    connect(b.box, &QCheckBox::toggled, this,
            act([this, field](bool checked) { Model.setCheck(field, checked); }));
  }
  connect(cbGridColor, &QComboBox::activated, this,
          act([this](int i) { Model.cbGridColorChange(colourbox::at(cbGridColor, i)); }));
  connect(cbEventLabelColor, &QComboBox::activated, this, act([this](int i) {
            Model.cbEventLabelColorChange(colourbox::at(cbEventLabelColor, i));
          }));
  connect(cbTextColor, &QComboBox::activated, this,
          act([this](int i) { Model.Values.cbTextColor = colourbox::at(cbTextColor, i); }));

  connect(GPSSet, &QPushButton::clicked, this, platform::guarded(this, &TFGPS::GPSSetClick));
  connect(SensorSet, &QPushButton::clicked, this, platform::guarded(this, &TFGPS::SensorSetClick));
  connect(BitBtn2, &QPushButton::clicked, this, platform::guarded(this, &TFGPS::BitBtn2Click));
  connect(MemoGPS, &QPlainTextEdit::textChanged, this,
          platform::guarded(this, &TFGPS::MemoGPSChange));
  connect(MemoSensor, &QPlainTextEdit::textChanged, this,
          platform::guarded(this, &TFGPS::MemoSensorChange));
}

void TFGPS::showValues() {
  Showing = true;
  SensorSettingsValues &v = Model.Values;
  for (const TextBinding &b : Texts) {
    const QString &value = b.value(v);
    if (auto *line = qobject_cast<QLineEdit *>(b.control)) {
      if (line->text() != value)
        line->setText(value);
    } else if (auto *box = qobject_cast<QComboBox *>(b.control)) {
      if (box->currentText() != value) {
        // The item that bears the text is selected too, as the list would show it.
        box->setCurrentIndex(box->findText(value));
        box->setEditText(value);
      }
    }
  }
  for (const CheckBinding &b : Checks)
    b.box->setChecked(v.*b.value);
  for (const ColourBinding &b : Colours)
    colourbox::select(b.box, v.*b.value);
  for (const EnabledBinding &b : Enables)
    b.control->setEnabled(v.*b.value);
  Showing = false;
}

// ---- Handlers

void TFGPS::FormCreate() {
  Model.FormCreate();
  LockStateCheck1->setText(QStringLiteral("SAVE && LOCK SETTINGS"));
  showValues();
}

void TFGPS::FormShow() {
  Model.FormShow();
  showValues();
}

void TFGPS::FormCloseQuery(bool &CanClose) {
  MemoSensor->clear();
  MemoGPS->clear();
  CanClose = true;
}

void TFGPS::BitBtn2Click() { close(); }

void TFGPS::GPSSetClick() {
  if (TTarvikSerialGPS *gps = Windows.Main ? Windows.Main->gpsPort() : nullptr)
    Model.GPSSetClick(*gps);
}

void TFGPS::SensorSetClick() {
  if (TTarvikSerialGPS *sounder = Windows.Main ? Windows.Main->sounderPort() : nullptr)
    Model.SensorSetClick(*sounder);
}

void TFGPS::cSBESMessageChange() {
  Model.Values.cSBESMessage = cSBESMessage->currentText();
  Model.cSBESMessageChange();
  showValues();
}

void TFGPS::trimMonitor(QPlainTextEdit *memo) {
  // No rolling window: past the limit the memo starts again empty.
  if (memo->blockCount() > monitorLineLimit)
    memo->clear();
}

void TFGPS::MemoGPSChange() { trimMonitor(MemoGPS); }

void TFGPS::MemoSensorChange() { trimMonitor(MemoSensor); }

void TFGPS::MemoGPSMouseDown() {
  if (Windows.Main)
    Windows.Main->setMonitorEcho(false);
}

void TFGPS::MemoGPSMouseUp() {
  if (Windows.Main)
    Windows.Main->setMonitorEcho(true);
}

void TFGPS::AddMonitorLine(QPlainTextEdit *memo, const std::string &line) {
  memo->appendPlainText(platform::fromAnsi(line));
}

void TFGPS::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (event->spontaneous())
    return;
  // Centred on the screen when it first appears; later showings keep where the user put it.
  if (!Centred) {
    Centred = true;
    if (const QScreen *screen = this->screen())
      move(screen->availableGeometry().center() - rect().center());
  }
  platform::guarded([this] { FormShow(); })();
}

void TFGPS::closeEvent(QCloseEvent *event) {
  platform::closeQuery(event, [this](bool &canClose) { FormCloseQuery(canClose); });
}

bool TFGPS::eventFilter(QObject *watched, QEvent *event) {
  const bool memo = (MemoGPS && watched == MemoGPS->viewport()) ||
                    (MemoSensor && watched == MemoSensor->viewport());
  if (memo) {
    if (event->type() == QEvent::MouseButtonPress)
      MemoGPSMouseDown();
    else if (event->type() == QEvent::MouseButtonRelease)
      MemoGPSMouseUp();
  }
  return QWidget::eventFilter(watched, event);
}
